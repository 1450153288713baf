#pragma once
// The root of the tree of resource declarations (bitmap fonts are declared this way), filled from
// declaration files at start-up and walked by the managers that build the resources. This cut is
// the application's empty set; the groups, declarations and the file reader come with the fonts.
#include <memory>

namespace lv::graphics {

class CDeclarationSet
{
public:
    // The application's set: an empty root group.
    static std::unique_ptr<CDeclarationSet> Create();

    bool IsEmpty() const { return true; }

private:
    CDeclarationSet() = default;
};

} // namespace lv::graphics
