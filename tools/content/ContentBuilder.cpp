#include "content/ContentBuilder.h"

#include "content/ClipImageWriter.h"
#include "content/FontImageWriter.h"
#include "content/FontRasterizer.h"
#include "content/ImagePainter.h"
#include "content/ImageWriter.h"
#include "content/OggVorbisWriter.h"
#include "content/PackWriter.h"
#include "content/ParticleImageWriter.h"
#include "content/SoundDeclarationsWriter.h"
#include "content/StringTableWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "content/TexturesAlphaWriter.h"
#include "content/TheoraWriter.h"
#include "content/WebMWriter.h"
#include "core/Settings.h"
#include "core/SettingsGroup.h"
#include "core/TextConvert.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace lv::content {

namespace fs = std::filesystem;

namespace {

// Where each output's recipe text is kept, below the output folder; never packed.
const char kRecipeFolder[] = ".recipes";
const char kRecipeFile[] = "content.xml";

std::string ReadText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WriteText(const fs::path& file, const std::string& text)
{
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    return bool(out.flush());
}

bool WriteBytes(const fs::path& file, const std::vector<u8>& data, std::string* error)
{
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    if (WriteDiskFile(file, data))
        return true;
    *error = "cannot write " + file.string();
    return false;
}

// An element's name and attributes as one line: what its outputs are made from.
std::string RecipeText(const core::CSettingsGroup& element)
{
    std::string text = element.GetName().GetText();
    for (const core::CSettingsGroup::CAttribute& attribute : element.GetAttributes())
        text += std::string(" ") + attribute.Name->GetText() + "=\"" + attribute.Value.c_str() + "\"";
    return text;
}

u32 Number(const core::CSettingsGroup& element, const char* name, u32 fallback)
{
    u32 value = fallback;
    element.ReadUInt(name, value);
    return value;
}

// "AARRGGBB" in hexadecimal.
u32 Colour(const core::CSettingsGroup& element, const char* name, u32 fallback)
{
    const std::string& text = element.GetAttribute(name);
    return text.empty() ? fallback : u32(std::strtoul(text.c_str(), nullptr, 16));
}

u32 Mix(u32 a, u32 b, float t)
{
    u32 out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float ca = float((a >> shift) & 255), cb = float((b >> shift) & 255);
        out |= u32(std::lround(ca + (cb - ca) * t)) << shift;
    }
    return out;
}

// The pictures the recipe can draw: "gradient" (colour to colour2 from top to bottom), "disc"
// (a soft-edged disc of colour on transparent), "checker" (cells of colour and colour2).
bool DrawImage(const core::CSettingsGroup& element, u32& width, u32& height, std::vector<u32>& pixels,
               std::string* error)
{
    width = Number(element, "width", 64);
    height = Number(element, "height", 64);
    if (width == 0 || height == 0 || width > 4096 || height > 4096) {
        *error = "image size out of range";
        return false;
    }
    const std::string& pattern = element.GetAttribute("pattern");
    const u32 colour = Colour(element, "color", 0xFFFFFFFF), colour2 = Colour(element, "color2", 0xFF000000);
    pixels.assign(size_t(width) * height, 0);
    for (u32 y = 0; y < height; ++y) {
        for (u32 x = 0; x < width; ++x) {
            u32& pixel = pixels[size_t(y) * width + x];
            if (pattern == "gradient") {
                pixel = Mix(colour, colour2, height > 1 ? float(y) / float(height - 1) : 0.0f);
            } else if (pattern == "disc") {
                const float dx = (float(x) + 0.5f) / float(width) * 2 - 1, dy = (float(y) + 0.5f) / float(height) * 2 - 1;
                const float edge = std::clamp((1.0f - std::sqrt(dx * dx + dy * dy)) * 8.0f, 0.0f, 1.0f);
                pixel = (colour & 0x00FFFFFF) | u32(std::lround(float(colour >> 24) * edge)) << 24;
            } else if (pattern == "checker") {
                const u32 cell = std::max<u32>(1, Number(element, "cell", 8));
                pixel = ((x / cell + y / cell) & 1) ? colour2 : colour;
            } else {
                *error = "unknown image pattern '" + pattern + "'";
                return false;
            }
        }
    }
    return true;
}

// Frame `index` of a recipe video: a bright bar sweeping across a dark field; the alpha video
// is a soft disc that grows and shrinks.
CYuvFrame DrawVideoFrame(u32 width, u32 height, u32 index, u32 frames, bool alpha)
{
    CYuvFrame frame(width, height, 16, 128, 128);
    const float phase = frames ? float(index) / float(frames) : 0.0f;
    for (u32 y = 0; y < height; ++y) {
        for (u32 x = 0; x < width; ++x) {
            if (alpha) {
                const float dx = float(x) / float(width) * 2 - 1, dy = float(y) / float(height) * 2 - 1;
                const float radius = 0.6f + 0.3f * std::sin(phase * 6.2831853f);
                const float inside = std::clamp((radius - std::sqrt(dx * dx + dy * dy)) * 6.0f, 0.0f, 1.0f);
                frame.Y(x, y) = u8(16 + std::lround(219 * inside));
            } else {
                const float bar = std::fabs(float(x) / float(width) - phase);
                frame.Y(x, y) = u8(bar < 0.1f ? 220 : 40 + (y * 60) / height);
            }
        }
    }
    if (!alpha)
        for (u32 y = 0; y < frame.ChromaHeight(); ++y)
            for (u32 x = 0; x < frame.ChromaWidth(); ++x)
                frame.U(x, y) = u8(96 + (x * 64) / frame.ChromaWidth());
    return frame;
}

bool WriteVideo(const core::CSettingsGroup& element, const fs::path& file, bool alpha, std::string* error)
{
    const u32 width = Number(element, "width", 128), height = Number(element, "height", 128);
    const u32 frames = Number(element, "frames", 25), frameMs = std::max<u32>(1, Number(element, "frame_ms", 40));
    if (width == 0 || height == 0 || width > 1920 || height > 1088 || frames == 0 || frames > 1000) {
        *error = "video size or length out of range";
        return false;
    }
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    bool ok = true;
    if (file.extension() == ".ogv" || file.extension() == ".ogg") {
        CTheoraWriterOptions options;
        options.width = width;
        options.height = height;
        options.fpsNumerator = 1000;
        options.fpsDenominator = frameMs;
        CTheoraWriter writer(options);
        for (u32 i = 0; i < frames && ok; ++i)
            ok = writer.AddFrame(DrawVideoFrame(width, height, i, frames, alpha));
        ok = ok && writer.WriteFile(file);
    } else {
        CWebMWriterOptions options;
        options.width = width;
        options.height = height;
        options.frameMs = frameMs;
        options.bitrate = 1000;
        CWebMWriter writer(options);
        for (u32 i = 0; i < frames && ok; ++i)
            ok = writer.AddFrame(DrawVideoFrame(width, height, i, frames, alpha));
        ok = ok && writer.WriteFile(file);
    }
    if (!ok)
        *error = "cannot encode " + file.string();
    return ok;
}

fs::file_time_type ModifiedTime(const fs::path& file)
{
    std::error_code ec;
    const fs::file_time_type time = fs::last_write_time(file, ec);
    return ec ? fs::file_time_type::min() : time;
}

// Restores the working folder when it goes: the texture declaration compiler probes surface
// files relative to it.
class CWorkingFolder
{
public:
    explicit CWorkingFolder(const fs::path& folder, std::error_code& ec) : m_Previous(fs::current_path())
    {
        fs::current_path(folder, ec);
    }
    ~CWorkingFolder()
    {
        std::error_code ec;
        fs::current_path(m_Previous, ec);
    }

private:
    fs::path m_Previous;
};

} // namespace

CContentBuilder::CContentBuilder(CContentBuildOptions options) : m_Options(std::move(options))
{
    // The texture declarations are compiled in the output folder, so no path may stay relative.
    m_Options.source = fs::absolute(m_Options.source);
    m_Options.output = fs::absolute(m_Options.output);
    m_Options.pack = m_Options.pack.empty() ? m_Options.output / "game.pack" : fs::absolute(m_Options.pack);
}

bool CContentBuilder::IsStale(const std::string& output, const std::vector<fs::path>& inputs,
                              const std::string& recipe) const
{
    const fs::path file = m_Options.output / output;
    std::error_code ec;
    if (!fs::exists(file, ec))
        return true;
    const fs::file_time_type made = ModifiedTime(file);
    if (made < m_Options.toolTime)
        return true;
    for (const fs::path& input : inputs)
        if (ModifiedTime(input) > made)
            return true;
    return ReadText(m_Options.output / kRecipeFolder / (output + ".txt")) != recipe;
}

void CContentBuilder::MarkBuilt(const std::string& output, const std::string& recipe)
{
    WriteText(m_Options.output / kRecipeFolder / (output + ".txt"), recipe);
    m_Rebuilt.push_back(output);
}

bool CContentBuilder::Build(std::string* error)
{
    std::string message;
    std::string* out = error ? error : &message;
    m_Rebuilt.clear();
    m_Outputs.clear();
    m_MaskImages.clear();
    m_PaintingSources.clear();
    std::error_code ec;
    fs::create_directories(m_Options.output, ec);
    if (ec) {
        *out = "cannot make " + m_Options.output.string();
        return false;
    }
    if (!BuildMedia(out) || !BuildProperties(m_Options.source / "properties", "properties/", out) || !BuildMasks(out))
        return false;
    // Language copies: "!langs/<code>/properties/..." compiled the same way.
    const fs::path languages = m_Options.source / "!langs";
    if (fs::is_directory(languages, ec)) {
        std::vector<fs::path> codes;
        for (const fs::directory_entry& entry : fs::directory_iterator(languages, ec))
            if (entry.is_directory())
                codes.push_back(entry.path());
        std::sort(codes.begin(), codes.end());
        for (const fs::path& code : codes)
            if (!BuildProperties(code / "properties", "!langs/" + code.filename().string() + "/properties/", out))
                return false;
    }
    return CopyLooseFiles(out) && BuildPack(out);
}

bool CContentBuilder::BuildMedia(std::string* error)
{
    const fs::path recipeFile = m_Options.source / kRecipeFile;
    std::error_code ec;
    if (!fs::exists(recipeFile, ec))
        return true;
    core::CSettings recipe;
    if (!recipe.LoadXmlText(ReadText(recipeFile))) {
        *error = recipeFile.string() + ": not a well-formed XML document";
        return false;
    }
    const core::CSettingsGroup* root = recipe.FindFirstChild();
    if (!root)
        return true;
    const std::string fontFile = m_Options.fontFile.empty() ? DefaultFontFile() : m_Options.fontFile;
    for (const core::CSettingsGroup::Ptr& child : root->GetChildren()) {
        const core::CSettingsGroup& element = *child;
        const std::string kind = element.GetName().GetText();
        const std::string name = element.GetAttribute("file");
        if (name.empty() || name.find("..") != std::string::npos) {
            *error = recipeFile.string() + ": <" + kind + "> needs a \"file\" inside the content folder";
            return false;
        }
        const std::string text = RecipeText(element);
        const fs::path file = m_Options.output / name;
        std::string failure;
        if (kind == "image") {
            if (!element.GetAttribute("mask").empty())
                m_MaskImages.emplace_back(element.GetAttribute("mask"), name);
            m_Outputs.push_back(name);
            if (!IsStale(name, {}, text))
                continue;
            u32 width = 0, height = 0;
            std::vector<u32> pixels;
            std::vector<u8> png;
            if (!DrawImage(element, width, height, pixels, &failure) ||
                !EncodePngArgb(width, height, pixels, true, png) || !WriteBytes(file, png, &failure)) {
                *error = name + ": " + (failure.empty() ? "cannot encode the image" : failure);
                return false;
            }
            MarkBuilt(name, text);
        } else if (kind == "painting") {
            // An image painted from a description kept beside the recipe.
            const std::string sourceName = element.GetAttribute("source");
            if (sourceName.empty() || sourceName.find("..") != std::string::npos) {
                *error = recipeFile.string() + ": <painting> needs a \"source\" inside the content folder";
                return false;
            }
            const fs::path source = m_Options.source / sourceName;
            m_PaintingSources.push_back(fs::path(sourceName).lexically_normal().generic_string());
            if (!element.GetAttribute("mask").empty())
                m_MaskImages.emplace_back(element.GetAttribute("mask"), name);
            m_Outputs.push_back(name);
            if (!IsStale(name, {source}, text))
                continue;
            CImagePainter painter;
            if (!painter.PaintFile(source, error) || !painter.WritePng(file, error))
                return false;
            MarkBuilt(name, text);
        } else if (kind == "font") {
            // "fonts/sans16" gives fonts/sans16.xml, .png and .xml.bindump.
            const std::string xmlName = name + ".xml", pngName = name + ".png", imageName = xmlName + ".bindump";
            m_Outputs.insert(m_Outputs.end(), {xmlName, pngName, imageName});
            if (!IsStale(imageName, {fontFile}, text) && !IsStale(pngName, {fontFile}, text))
                continue;
            CRasterizeOptions options;
            options.pixelSize = Number(element, "size", 16);
            options.textureWidth = Number(element, "texture_width", 256);
            if (element.HasAttribute("chars"))
                options.characters = Utf8ToWide(element.GetAttribute("chars"));
            CRasterizedFont font;
            std::vector<u8> png;
            if (!RasterizeFont(fontFile, options, font, &failure) ||
                !EncodePngArgb(font.width, font.height, font.pixels, true, png)) {
                *error = name + ": " + (failure.empty() ? "cannot encode the glyph texture" : failure);
                return false;
            }
            if (font.width > 65535 || font.height > 65535) {
                *error = name + ": glyph texture too large";
                return false;
            }
            const std::vector<u8> image = CompileFontImage(font.xml, u16(font.width), u16(font.height));
            if (!WriteBytes(m_Options.output / xmlName, std::vector<u8>(font.xml.begin(), font.xml.end()), error) ||
                !WriteBytes(m_Options.output / pngName, png, error) ||
                !WriteBytes(m_Options.output / imageName, image, error))
                return false;
            MarkBuilt(xmlName, text);
            MarkBuilt(pngName, text);
            MarkBuilt(imageName, text);
        } else if (kind == "tone") {
            m_Outputs.push_back(name);
            if (!IsStale(name, {}, text))
                continue;
            float seconds = 1, frequency = 440, amplitude = 0.5f;
            element.ReadFloat("seconds", seconds);
            element.ReadFloat("frequency", frequency);
            element.ReadFloat("amplitude", amplitude);
            const COggVorbisSource source = MakeTone(s32(Number(element, "channels", 2)), s32(Number(element, "rate", 44100)),
                                                     seconds, frequency, amplitude);
            const std::vector<u8> ogg = EncodeOggVorbis(source);
            if (ogg.empty()) {
                *error = name + ": the Vorbis encoder refused the tone";
                return false;
            }
            if (!WriteBytes(file, ogg, error))
                return false;
            MarkBuilt(name, text);
        } else if (kind == "video") {
            const std::string alphaName = element.GetAttribute("alpha_file");
            m_Outputs.push_back(name);
            if (!alphaName.empty())
                m_Outputs.push_back(alphaName);
            if (IsStale(name, {}, text)) {
                if (!WriteVideo(element, file, false, error))
                    return false;
                MarkBuilt(name, text);
            }
            if (!alphaName.empty() && IsStale(alphaName, {}, text)) {
                if (!WriteVideo(element, m_Options.output / alphaName, true, error))
                    return false;
                MarkBuilt(alphaName, text);
            }
        } else {
            *error = recipeFile.string() + ": unknown element <" + kind + ">";
            return false;
        }
    }
    return true;
}

bool CContentBuilder::BuildProperties(const fs::path& sourceFolder, const std::string& outputPrefix,
                                      std::string* error)
{
    std::error_code ec;
    if (!fs::is_directory(sourceFolder, ec))
        return true;
    fs::create_directories(m_Options.output / outputPrefix, ec);
    auto input = [&](const char* name) { return sourceFolder / name; };
    auto has = [&](const char* name) { return fs::exists(input(name), ec); };
    auto fail = [&](const fs::path& file, const std::string& what) {
        *error = file.string() + ": " + what;
        return false;
    };

    if (has("strings.xml")) {
        const std::string name = outputPrefix + "strings.bindump";
        m_Outputs.push_back(name);
        if (IsStale(name, {input("strings.xml")})) {
            CStringTableWriter writer;
            std::string failure;
            if (!writer.AddXmlFile(input("strings.xml"), nullptr, &failure) ||
                !writer.WriteBindump(m_Options.output / name, &failure))
                return fail(input("strings.xml"), failure);
            MarkBuilt(name);
        }
    }
    if (has("resources.xml")) {
        // Surface sizes are probed from the made images, so every image is an input too.
        const std::string name = outputPrefix + "resources.bindump";
        std::vector<fs::path> inputs = {input("resources.xml")};
        for (const std::string& made : m_Outputs)
            if (fs::path(made).extension() == ".png")
                inputs.push_back(m_Options.output / made);
        m_Outputs.push_back(name);
        if (IsStale(name, inputs)) {
            std::vector<u8> blob;
            {
                CWorkingFolder folder(m_Options.output, ec);
                if (ec)
                    return fail(m_Options.output, "cannot enter");
                CompileTextureDeclarations(ReadText(input("resources.xml")), blob);
            }
            if (!WriteBytes(m_Options.output / name, blob, error))
                return false;
            MarkBuilt(name);
        }
    }
    if (has("clips.xml")) {
        const std::string name = outputPrefix + "clips.bindump";
        m_Outputs.push_back(name);
        if (IsStale(name, {input("clips.xml")})) {
            CClipImageWriter writer;
            std::string failure;
            if (!writer.AddXmlFile(input("clips.xml"), &failure) || !writer.WriteFile(m_Options.output / name, &failure))
                return fail(input("clips.xml"), failure);
            MarkBuilt(name);
        }
    }
    // "particle.xml", else every file of "particles/", as the game reads them.
    std::vector<fs::path> particles;
    if (has("particle.xml")) {
        particles.push_back(input("particle.xml"));
    } else if (fs::is_directory(input("particles"), ec)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(input("particles"), ec))
            if (entry.path().extension() == ".xml")
                particles.push_back(entry.path());
        std::sort(particles.begin(), particles.end());
    }
    if (!particles.empty()) {
        const std::string name = outputPrefix + "particles.bindump";
        m_Outputs.push_back(name);
        if (IsStale(name, particles)) {
            CParticleImageWriter writer;
            std::string failure;
            for (const fs::path& file : particles)
                if (!writer.AddXmlFile(file, &failure))
                    return fail(file, failure);
            if (!writer.WriteFile(m_Options.output / name, &failure))
                return fail(m_Options.output / name, failure);
            MarkBuilt(name);
        }
    }
    if (has("sounds.xml")) {
        const std::string name = outputPrefix + "sounds.bindump";
        m_Outputs.push_back(name);
        if (IsStale(name, {input("sounds.xml")})) {
            CSoundDeclarationsWriter writer;
            std::string failure;
            if (!writer.AddXmlFile(input("sounds.xml"), &failure) || !writer.WriteBindump(m_Options.output / name, &failure))
                return fail(input("sounds.xml"), failure);
            MarkBuilt(name);
        }
    }
    // The quest: compiled by the quest compiler once one is set, else packed as it stands.
    if (has("quest.xml")) {
        const bool compiled = bool(m_QuestCompiler);
        const std::string name = outputPrefix + (compiled ? "quest.bindump" : "quest.xml");
        m_Outputs.push_back(name);
        if (IsStale(name, {input("quest.xml")})) {
            std::string failure;
            std::error_code copyError;
            fs::create_directories((m_Options.output / name).parent_path(), copyError);
            if (compiled ? !m_QuestCompiler(input("quest.xml"), m_Options.output / name, &failure)
                         : !fs::copy_file(input("quest.xml"), m_Options.output / name,
                                          fs::copy_options::overwrite_existing, copyError))
                return fail(input("quest.xml"), failure.empty() ? "cannot copy" : failure);
            MarkBuilt(name);
        }
        // A compiler that also makes the script image leaves it beside the data image; it is
        // packed with it.
        const std::string scripts = outputPrefix + "quest_script.bindump";
        std::error_code existsError;
        if (compiled && fs::exists(m_Options.output / scripts, existsError))
            m_Outputs.push_back(scripts);
    }
    return true;
}

bool CContentBuilder::BuildMasks(std::string* error)
{
    if (m_MaskImages.empty())
        return true;
    const std::string name = "properties/texturesalpha.bindump";
    std::vector<fs::path> inputs;
    std::string recipe;
    for (const auto& [mask, image] : m_MaskImages) {
        inputs.push_back(m_Options.output / image);
        recipe += mask + "=" + image + "\n";
    }
    m_Outputs.push_back(name);
    if (!IsStale(name, inputs, recipe))
        return true;
    CTexturesAlphaWriter writer;
    for (const auto& [mask, image] : m_MaskImages) {
        u32 width = 0, height = 0;
        std::vector<u32> pixels;
        if (!DecodeImageDiskFile((m_Options.output / image).string(), width, height, pixels)) {
            *error = "cannot decode " + image;
            return false;
        }
        writer.AddPixels(mask, width, height, pixels);
    }
    if (!WriteBytes(m_Options.output / name, writer.Build(), error))
        return false;
    MarkBuilt(name, recipe);
    return true;
}

bool CContentBuilder::CopyLooseFiles(std::string* error)
{
    // Everything else in the source folder goes into the content as it stands: the property
    // files no writer compiles (GUI templates and the like) and any ready-made media. The
    // product description stays beside the program and the recipe has been used up.
    std::error_code ec;
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(m_Options.source, ec), end; it != end; it.increment(ec))
        if (it->is_regular_file())
            files.push_back(it->path());
    std::sort(files.begin(), files.end());
    static const char* const compiled[] = {"strings.xml", "resources.xml", "clips.xml", "particle.xml",
                                           "sounds.xml",  "quest.xml"};
    for (const fs::path& file : files) {
        const fs::path relative = file.lexically_relative(m_Options.source);
        const std::string name = relative.generic_string();
        // The end-to-end run's input script becomes the "replay" beside the program by a rule of
        // its own; it is no content.
        if (name.rfind("e2e/", 0) == 0)
            continue;
        if (name == "game.xml" || name == kRecipeFile ||
            std::find(m_PaintingSources.begin(), m_PaintingSources.end(), name) != m_PaintingSources.end())
            continue;
        const std::string parent = relative.parent_path().filename().string();
        const std::string grandParent = relative.parent_path().parent_path().filename().string();
        if (parent == "properties" &&
            std::find(std::begin(compiled), std::end(compiled), relative.filename().string()) != std::end(compiled))
            continue;
        if (parent == "particles" && grandParent == "properties")
            continue;
        m_Outputs.push_back(name);
        if (!IsStale(name, {file}))
            continue;
        fs::create_directories((m_Options.output / relative).parent_path(), ec);
        if (!fs::copy_file(file, m_Options.output / relative, fs::copy_options::overwrite_existing, ec)) {
            *error = "cannot copy " + file.string();
            return false;
        }
        MarkBuilt(name);
    }
    return true;
}

bool CContentBuilder::BuildPack(std::string* error)
{
    // The pack holds exactly this build's outputs; a changed list (a file dropped from the
    // source) remakes it as well as a changed file.
    std::vector<std::string> names = m_Outputs;
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::string list;
    std::vector<fs::path> inputs;
    for (const std::string& name : names) {
        list += name + "\n";
        inputs.push_back(m_Options.output / name);
    }
    const fs::file_time_type packTime = ModifiedTime(m_Options.pack);
    bool stale = packTime == fs::file_time_type::min() || packTime < m_Options.toolTime ||
                 ReadText(m_Options.output / kRecipeFolder / "game.pack.txt") != list;
    for (const fs::path& input : inputs)
        stale = stale || ModifiedTime(input) > packTime;
    if (!stale)
        return true;
    CPackWriter writer;
    for (const std::string& name : names)
        if (!writer.AddDiskFile(name, m_Options.output / name, error))
            return false;
    std::error_code ec;
    fs::create_directories(m_Options.pack.parent_path(), ec);
    if (!writer.WriteFile(m_Options.pack, error))
        return false;
    WriteText(m_Options.output / kRecipeFolder / "game.pack.txt", list);
    m_Rebuilt.push_back("game.pack");
    return true;
}

} // namespace lv::content
