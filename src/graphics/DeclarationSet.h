#pragma once
// The root of the tree of resource declarations (bitmap fonts are declared this way), filled from
// declaration files at start-up and walked by the managers that build the resources.
//
// A declaration file is XML: any root element holding "group" elements (attributes "id" and
// "flags") and "font" elements (see FontDeclaration), groups nesting further groups and fonts.
#include <memory>

#include "graphics/DeclarationGroup.h"

namespace lv::core {
class CFileSystem;
}

namespace lv::graphics {

class CDeclarationSet : public CDeclarationGroup
{
public:
    // The application's set: an empty root group.
    static std::unique_ptr<CDeclarationSet> Create();

    bool IsEmpty() const { return GetGroups().empty() && GetDeclarations().empty(); }

    // Loads the file through the file system (nothing happens when it is missing) and parses it
    // into the set, into the root or, with a group name, into the root's child group of that name
    // (created when missing).
    void LoadFile(const char* path, const char* groupName);
    void LoadFile(lv::core::CFileSystem& files, const char* path, const char* groupName);
    // Parses declaration XML into the set. A name declared twice in one document is reported and
    // the first declaration kept; across documents both stay.
    void LoadXml(const char* text, size_t length, const char* groupName);

private:
    CDeclarationSet() = default;
};

} // namespace lv::graphics
