#pragma once
// Turns a content source folder into the folder the game reads: the demo's media made from the
// recipe "content.xml" (drawn images, images painted from text descriptions, bitmap fonts
// rendered from a TrueType font, tones, videos), the binary image of every property file
// (strings, texture declarations, opacity masks, fonts, clips, particles, sounds), language
// copies from "!langs/<code>/", and "game.pack" holding it all. Each output remembers what it
// was made from; a second build remakes only the outputs whose inputs (or whose recipe entry)
// changed, and the pack when any of its files did.
#include "core/Types.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace lv::content {

struct CContentBuildOptions
{
    std::filesystem::path source;
    std::filesystem::path output;
    // Where "game.pack" goes; empty: into the output folder.
    std::filesystem::path pack;
    // The TrueType file fonts are rendered from; empty: DejaVu Sans.
    std::string fontFile;
    // Outputs older than this are remade (the builder's own program time, so that a changed
    // writer remakes what it wrote).
    std::filesystem::file_time_type toolTime = std::filesystem::file_time_type::min();
};

// Compiles "properties/quest.xml" into its binary image; false with a message on failure.
using CQuestCompiler =
    std::function<bool(const std::filesystem::path& xml, const std::filesystem::path& image, std::string* error)>;

class CContentBuilder
{
public:
    explicit CContentBuilder(CContentBuildOptions options);

    // Without a compiler the quest XML is packed as it stands and the game compiles it itself.
    void SetQuestCompiler(CQuestCompiler compiler) { m_QuestCompiler = std::move(compiler); }

    // False, with a message, at the first step that fails.
    bool Build(std::string* error);

    // Outputs this build (re)made, as paths relative to the output folder ("game.pack" for the
    // pack), in the order they were made.
    const std::vector<std::string>& GetRebuilt() const { return m_Rebuilt; }

private:
    bool BuildMedia(std::string* error);
    bool BuildProperties(const std::filesystem::path& sourceFolder, const std::string& outputPrefix,
                         std::string* error);
    bool BuildMasks(std::string* error);
    bool CopyLooseFiles(std::string* error);
    bool BuildPack(std::string* error);
    // True when the output must be made: missing, older than an input or the tool, or made
    // from another recipe text.
    bool IsStale(const std::string& output, const std::vector<std::filesystem::path>& inputs,
                 const std::string& recipe = std::string()) const;
    void MarkBuilt(const std::string& output, const std::string& recipe = std::string());

    CContentBuildOptions m_Options;
    CQuestCompiler m_QuestCompiler;
    std::vector<std::string> m_Rebuilt;
    std::vector<std::string> m_Outputs;
    // Recipe images that give an opacity mask: (mask name, output path).
    std::vector<std::pair<std::string, std::string>> m_MaskImages;
    // Painting descriptions the recipe used (relative to the source folder): not content themselves.
    std::vector<std::string> m_PaintingSources;
};

} // namespace lv::content
