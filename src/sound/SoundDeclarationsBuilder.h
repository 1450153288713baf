#pragma once
// Builds the "SNDS" image from a sounds.xml document. Shared by the game's XML path and the
// content tools, so a compiled "sounds.bindump" holds the same bytes the game builds itself.
//
// Every "sound" element declares one sound from its attributes "id", "file" (stored lower-case
// with '/' separators), "group_template", "balance", "volume", "priority", "repeat",
// "max_concurrent_sound_play", "concurrent_sound_play_delay" and "speed". A "sound_group"
// element may nest; its "flags" containing "load_on_demand" sets bit 0 of the flags of the
// sounds directly inside it (the innermost group decides).
#include "sound/SoundDeclarationRecord.h"

#include <vector>

namespace lv::sound {

class CSoundDeclarationsBuilder
{
public:
    // Adds the declarations of the document. Returns the parser's result; the declarations read
    // before a rejection are kept.
    bool AddXml(const char* text, size_t length);
    void Add(const CSoundDeclarationRecord& record) { m_Records.push_back(record); }

    size_t GetCount() const { return m_Records.size(); }
    const CSoundDeclarationRecord& GetRecord(size_t index) const { return m_Records[index]; }
    // magic, count, then the records in declaration order.
    std::vector<u8> Build() const;

private:
    std::vector<CSoundDeclarationRecord> m_Records;
};

} // namespace lv::sound
