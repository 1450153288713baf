#pragma once
// "resources.bindump" from "resources.xml": the same compiler the game runs when the bindump is
// missing, so both give the same bytes. Surface paths are probed relative to the working folder
// (the game's content root).
#include <string>
#include <vector>

#include "core/Types.h"

namespace lv::content {

bool CompileTextureDeclarations(const std::string& xmlText, std::vector<u8>& blob);

} // namespace lv::content
