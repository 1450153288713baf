#pragma once
// Compiles a font description (font XML) into the font image "<file>.bindump" that the game
// reads in its place, with the game's own compiler, so both give the same bytes. Texture
// coordinates need the size of the font's texture.
#include "core/Types.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lv::content {

std::vector<u8> CompileFontImage(std::string_view xml, u16 textureWidth, u16 textureHeight);
bool WriteFontImage(const std::filesystem::path& xmlFile, u16 textureWidth, u16 textureHeight,
                    const std::filesystem::path& output, std::string* error = nullptr);
// The pixel size from a PNG file's header; false when it is not a PNG.
bool ReadPngSize(const std::filesystem::path& file, u32& width, u32& height);

} // namespace lv::content
