#pragma once
// Compiles the script parts of quest.xml into the quest script image: for every quest of
// "Structure" its scenes (the children of "group" elements count as scenes too), for every scene
// the blocks of its "scene_content"/"scripts", kind by kind. A block that does not fit the
// image's fields (16-bit counts and offsets, a command larger than the work buffer, command trees
// nested deeper than 256 levels) is reported and left out; the others are compiled.
#include "core/Types.h"

#include <vector>

namespace lv::core {
class CSettingsGroup;
}

namespace qe {

class CScriptCompiler
{
public:
    // root: the document's root element.
    static void Compile(const lv::core::CSettingsGroup& root, std::vector<u8>& image);
};

} // namespace qe
