#pragma once
// The root of one settings tree and the loader that reads XML files into it. Each load appends
// the document's root element as a new top-level child, so several files can share one tree.
#include "core/SettingsGroup.h"
#include "core/Types.h"

#include <cstddef>
#include <string>

namespace lv::core {

class CSettings : public CSettingsGroup
{
public:
    CSettings();
    ~CSettings() override;

    // Reads the file through the virtual file system (packs, language copies, then disk). False,
    // with a line in the log and the tree as it was, when the file is missing or rejected.
    bool LoadXml(const char* path);
    // Reads a file from disk only (the player's files in the user folder); a relative path is
    // taken from the working folder.
    bool LoadXml(const WChar* path);

    // Parses an XML document in memory into the tree. A rejected document leaves the tree as
    // it was.
    bool ParseXmlText(const char* text, size_t length);
    bool LoadXmlText(const std::string& text);

    // Loads every file that matches the mask, or when none does, every file that matches the
    // fallback mask; returns the number of files listed.
    s32 LoadMatchingFiles(const WChar* mask, const WChar* fallbackMask);

    // Loads the files of mask A (falling back to mask B) or the other way round into a
    // temporary tree and appends to target one new group named groupName holding copies of the
    // children of every top-level element named rootName.
    static bool MergeFiles(CSettingsGroup& target, const WChar* maskA, const WChar* maskB,
                           const CFixedString& groupName, const CFixedString& rootName, bool aFirst);
};

// A relative path joined to the working folder; an absolute path unchanged.
WString MakeAbsolutePath(const WChar* path);

} // namespace lv::core
