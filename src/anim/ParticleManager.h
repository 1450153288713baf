#pragma once
// Every particle definition of the game in one flat block of fixed records, sorted by name:
//
//   u32 magic 0x01524150 ("PAR", format 1) | u32 count n | n ParticleDefinition records (384).
//
// The block is "properties/particles.bindump" used in place, or, when that file is missing,
// built from "properties/particle.xml" or else every "properties/particles/*.xml" (read from
// disk only). Particle systems copy the record they use, so a reload leaves them unchanged.
#include "core/Types.h"

#include <vector>

namespace lv::core {
class CFileSystem;
}

namespace lv::misc::anim {

struct ParticleDefinition;

class CParticleManager
{
public:
    static constexpr u32 kMagic = 0x01524150;
    static constexpr u32 kFormatVersion = 1;

    // The process-wide manager, created empty on first use and never destroyed.
    static CParticleManager& Instance();

    CParticleManager() = default;
    ~CParticleManager();
    CParticleManager(const CParticleManager&) = delete;
    CParticleManager& operator=(const CParticleManager&) = delete;

    // Loads the block through the process-wide file system, or builds it from the XML files.
    // Always true: a bad bindump is reported and leaves the manager without definitions.
    bool Load();
    bool Load(core::CFileSystem& fileSystem);
    // Takes a copy of a block held in memory, checked as a loaded bindump is; false (reported)
    // when it is rejected, leaving the manager without definitions.
    bool LoadImage(const u8* data, u32 size);

    // The definition of that name (compared case-sensitively), or null. Valid until the next
    // Load or Release.
    const ParticleDefinition* FindParticle(const char* name) const;

    // Writes the block to "properties/particles.bindump"; false, writing nothing, when the block
    // was not built from XML or the file cannot be opened.
    bool Save() const;
    void Release();

    const u8* GetBlob() const { return m_Blob; }
    u32 GetSize() const { return m_Size; }
    u32 GetCount() const;
    bool OwnsBlob() const { return m_OwnsBlob; }

private:
    bool Adopt(const u8* data, u32 size, core::CFileSystem* fileSystem);
    void BuildFromXml();

    u32 m_Size = 0;
    const u8* m_Blob = nullptr;
    bool m_OwnsBlob = false;
    std::vector<u8> m_Owned;
    core::CFileSystem* m_FileSystem = nullptr; // gives back a bindump used in place
};

} // namespace lv::misc::anim
