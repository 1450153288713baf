#pragma once
// Turns particle XML into the particle definitions image (see ParticleManager.h for its
// layout). Shared by the game's XML path and the particle image writer of the content tools,
// so both give the same bytes.
//
// Every element named "particle", at any depth, is one definition filled from its attributes;
// other elements and unknown attributes are ignored. Definitions of the same name are all kept.
#include "anim/ParticleDefinition.h"
#include "core/Types.h"

#include <cstddef>
#include <vector>

namespace lv::core {
struct XmlFrame;
struct XmlToken;
} // namespace lv::core

namespace lv::misc::anim {

class CParticlesBuilder
{
public:
    // Attribute values longer than kValueBufferSize - 1 bytes are cut.
    static constexpr u32 kValueBufferSize = 256;

    // Reads one particle XML document. Returns the parser's verdict; definitions read before a
    // rejection are kept.
    bool AddXml(const char* text, size_t length);

    size_t GetCount() const { return m_Definitions.size(); }
    // The definitions image: magic, count, the records sorted by name in byte order.
    std::vector<u8> Build() const;

private:
    static void OnElementStart(void* user, core::XmlFrame* frames, int depth);
    static void OnAttribute(void* user, core::XmlFrame* frames, int depth, const core::XmlToken* name,
                            const core::XmlToken* value, bool utf8);
    void SetAttribute(ParticleDefinition& definition, const char* name, size_t nameLength, const char* value);

    std::vector<ParticleDefinition> m_Definitions;
    bool m_Current = false; // the last definition is open for attributes
    char m_Value[kValueBufferSize] = {};
};

} // namespace lv::misc::anim
