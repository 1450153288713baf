#pragma once
// The quest script image "QSC" version 1: the tag, then quest records up to the end. Checked
// once when it is taken into use: every quest, scene and block record, list, command set,
// argument array and command node must lie inside its parent, sizes must add up exactly and
// every name must end within its 88 bytes. The record views then read without checks.
#include "core/FixedString.h"
#include "core/Types.h"
#include "qe/ScriptRecords.h"

#include <string>

namespace qe::scripts {

class CScriptImage
{
public:
    // "QSC" and version 1 read as one little-endian value.
    static constexpr u32 kTag = 0x01435351;

    // False, with the reason in error, for an image that is not sound.
    static bool Validate(const u8* data, size_t size, std::string* error = nullptr);

    // The first quest record after the tag; invalid when the image holds none.
    static CQuestRecord GetFirstQuest(const u8* data, size_t size);
    // The next quest record; invalid past the end.
    static CQuestRecord GetNextQuest(const u8* data, size_t size, CQuestRecord quest);
    // The first quest record of that id; invalid when none.
    static CQuestRecord FindQuest(const u8* data, size_t size, const CFixedString& id);
};

} // namespace qe::scripts
