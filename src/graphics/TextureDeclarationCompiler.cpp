#include "graphics/TextureDeclarationCompiler.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/Log.h"
#include "core/XmlParser.h"
#include "graphics/ImageFiles.h"
#include "graphics/PvrContainer.h"

namespace lv::graphics {

namespace {

constexpr const char* kCompilerChannel = "texman";

bool Contains(const std::string& text, const char* what)
{
    return text.find(what) != std::string::npos;
}

// A name cut to its record's capacity - 1 characters, with a warning when it had to be cut.
template <class Name>
void AssignName(Name& name, const std::string& text, const char* what)
{
    // A name ends at its first zero character, as the stored record's terminator says.
    size_t length = std::min(text.size(), text.find('\0'));
    if (length > Name::kMaxLength) {
        core::CLog::Instance().Print(kCompilerChannel, 2, "%s \"%s\" is longer than %u characters and is cut", what,
                                     text.c_str(), static_cast<unsigned>(Name::kMaxLength));
        length = Name::kMaxLength;
    }
    name.AssignN(text.data(), length);
    name.UpdateHash();
}

std::string Cut(const std::string& text, size_t length)
{
    return text.size() > length ? text.substr(0, length) : text;
}

// Numbers separated by commas and/or white space; at most 32 are kept.
std::vector<s32> ParseList(const std::string& text, const char* what)
{
    std::vector<s32> values;
    size_t at = 0;
    bool cut = false;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == ',' || text[at] == ' ' || text[at] == '\t' || text[at] == '\r' ||
                                    text[at] == '\n'))
            ++at;
        if (at >= text.size())
            break;
        const size_t end = text.find_first_of(", \t\r\n", at);
        const std::string token = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end;
        if (values.size() >= CImageInfo::kMaxFrames) {
            cut = true;
            continue;
        }
        values.push_back(std::atoi(token.c_str()));
    }
    if (cut)
        core::CLog::Instance().Print(kCompilerChannel, 2, "%s \"%s\" has more than %u entries; the rest is ignored", what,
                                     text.c_str(), CImageInfo::kMaxFrames);
    return values;
}

bool EqualsIgnoringCase(const char* keyword, const std::string& value)
{
    // Over the value's own length, so a prefix selects the keyword.
    if (value.size() > std::strlen(keyword))
        return false;
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != keyword[i])
            return false;
    }
    return true;
}

u32 AnimType(const std::string& value)
{
    static const char* const kTypes[] = {"once", "loop", "pingpong", "backward loop", "backward pingpong"};
    for (u32 i = 0; i < 5; ++i)
        if (EqualsIgnoringCase(kTypes[i], value))
            return i + 1;
    return 0;
}

std::string TokenText(const core::XmlToken& token)
{
    return std::string(token.start, std::min<u32>(token.length, 1023));
}

} // namespace

void CTextureDeclarationCompiler::OnElementStart(void* user, core::XmlFrame* frames, int depth)
{
    static_cast<CTextureDeclarationCompiler*>(user)->StartElement(frames[depth].name, depth);
}

void CTextureDeclarationCompiler::OnAttribute(void* user, core::XmlFrame*, int, const core::XmlToken* name,
                                              const core::XmlToken* value, bool)
{
    static_cast<CTextureDeclarationCompiler*>(user)->Attribute(TokenText(*name), TokenText(*value));
}

void CTextureDeclarationCompiler::OnElementEnd(void* user, core::XmlFrame*, int depth)
{
    static_cast<CTextureDeclarationCompiler*>(user)->EndElement(depth);
}

bool CTextureDeclarationCompiler::Compile(const char* text, size_t length, std::vector<u8>& blob)
{
    const bool parsed =
        core::ParseXml(text, length, this, &OnElementStart, &OnAttribute, nullptr, &OnElementEnd, nullptr) != 0;
    // Elements still open when the document ended early are finished as if closed.
    for (int depth = m_CurrentDepth; depth >= 0; --depth)
        EndElement(depth);
    SortSurfaces();
    Assemble(blob);
    return parsed;
}

void CTextureDeclarationCompiler::StartElement(const core::XmlToken& token, int depth)
{
    const std::string name(token.start, token.length);
    m_Current = EElement::Other;
    m_CurrentDepth = depth;
    if (depth == 0)
        return;
    if (name == "surfaces" && depth == 1) {
        if (m_SurfacesClosed && (!m_Groups.empty() || !m_Images.empty())) {
            core::CLog::Instance().Print(kCompilerChannel, 2, "Surfaces after the first group are ignored");
            return;
        }
        m_Current = EElement::Surfaces;
        m_SurfacesDepth = depth;
    } else if (name == "surface" && m_SurfacesDepth >= 0 && depth == m_SurfacesDepth + 1) {
        const u64 size = CTextureDeclarations::kHeaderSize + (m_Surfaces.size() + 1) * sizeof(CSurfaceRecord);
        if (size > kMaxBlobSize) {
            core::CLog::Instance().Print(kCompilerChannel, 3, "Too many surfaces; the rest is ignored");
            return;
        }
        m_Current = EElement::Surface;
        m_SurfaceDepth = depth;
        m_Surfaces.push_back(CSurface{});
        m_Surfaces.back().record.format = 1;
    } else if (name == "group" && m_ImageDepth < 0) {
        CGroup group{};
        group.parent = m_OpenGroups.empty() ? -1 : m_OpenGroups.back().first;
        m_Groups.push_back(group);
        m_OpenGroups.emplace_back(static_cast<s32>(m_Groups.size() - 1), depth);
        m_Current = EElement::Group;
    } else if (name == "image" && m_ImageDepth < 0 && !m_OpenGroups.empty()) {
        m_Current = EElement::Image;
        m_ImageDepth = depth;
        StartImage();
    } else if (name == "image" && m_ImageDepth < 0) {
        core::CLog::Instance().Print(kCompilerChannel, 2, "An image outside every group is ignored");
    } else if (name == "part" && m_ImageDepth >= 0 && depth == m_ImageDepth + 1) {
        if (m_PartCount >= kMaxParts) {
            m_PartsCut = true;
            return;
        }
        m_Current = EElement::Part;
        ++m_PartCount;
    }
}

void CTextureDeclarationCompiler::Attribute(const std::string& name, const std::string& value)
{
    switch (m_Current) {
    case EElement::Surface: {
        CSurfaceRecord& record = m_Surfaces.back().record;
        if (name == "path") {
            AssignName(record.path, value, "Surface path");
            record.flags = Contains(value, "!nearest") ? CSurfaceRecord::kNearest : 0;
        } else if (name == "width") {
            record.width = static_cast<u16>(std::atoi(value.c_str()));
        } else if (name == "height") {
            record.height = static_cast<u16>(std::atoi(value.c_str()));
        }
        break;
    }
    case EElement::Group: {
        CImageGroupRecord& record = m_Groups.back().record;
        if (name == "id")
            AssignName(record.id, value, "Group id");
        else if (name == "flags")
            record.flags = Contains(value, "load_on_demand") ? CImageGroupRecord::kLoadOnDemand : 0;
        break;
    }
    case EElement::Image:
        if (name == "id")
            m_ImageId = value;
        else if (name == "path")
            m_ImagePath = value;
        else if (name == "anim_type")
            m_AnimType = AnimType(value);
        else if (name == "cols")
            m_Cols = static_cast<u8>(std::atoi(value.c_str()));
        else if (name == "rows")
            m_Rows = static_cast<u8>(std::atoi(value.c_str()));
        else if (name == "frame_map")
            m_Map = ParseList(value, "frame_map");
        else if (name == "frame_delay")
            m_Delays = ParseList(value, "frame_delay");
        break;
    case EElement::Part: {
        CPart& part = m_Parts[m_PartCount - 1];
        const s16 number = static_cast<s16>(std::atoi(value.c_str()));
        if (name == "rect_x")
            part.x = number;
        else if (name == "rect_y")
            part.y = number;
        else if (name == "rect_w")
            part.w = number;
        else if (name == "rect_h")
            part.h = number;
        break;
    }
    default:
        break;
    }
}

void CTextureDeclarationCompiler::EndElement(int depth)
{
    if (depth == m_SurfaceDepth) {
        FinishSurface();
        m_SurfaceDepth = -1;
    }
    if (depth == m_ImageDepth) {
        FinishImage();
        m_ImageDepth = -1;
    }
    if (depth == m_SurfacesDepth) {
        SortSurfaces();
        m_SurfacesDepth = -1;
        m_SurfacesClosed = true;
    }
    if (!m_OpenGroups.empty() && m_OpenGroups.back().second == depth)
        m_OpenGroups.pop_back();
    m_Current = EElement::Other;
    m_CurrentDepth = depth - 1;
}

void CTextureDeclarationCompiler::FinishSurface()
{
    CSurfaceRecord& record = m_Surfaces.back().record;
    u8 format = 0;
    if (std::strstr(record.path.GetText(), ".pvr") && ReadPvrHeader(record.path.GetText(), nullptr, nullptr, &format))
        record.format = format;
}

void CTextureDeclarationCompiler::SortSurfaces()
{
    std::stable_sort(m_Surfaces.begin(), m_Surfaces.end(), [](const CSurface& a, const CSurface& b) {
        return FixedStringCompareText(a.record.path.GetText(), b.record.path.GetText()) < 0;
    });
}

void CTextureDeclarationCompiler::StartImage()
{
    m_ImageId.clear();
    m_ImagePath.clear();
    m_AnimType = 0;
    m_Cols = 0;
    m_Rows = 0;
    m_Delays.clear();
    m_Map.clear();
    m_PartCount = 0;
    m_PartsCut = false;
}

void CTextureDeclarationCompiler::ProbeSurface(CSurface& surface)
{
    if (surface.probed)
        return;
    surface.probed = true;
    CSurfaceRecord& record = surface.record;
    const char* path = record.path.GetText();
    u32 width = 0, height = 0;
    u8 format = 1;
    bool ok;
    if (std::strstr(path, ".pvr")) {
        ok = ReadPvrHeader(path, &width, &height, &format);
    } else {
        s32 w = 0, h = 0;
        ok = misc::imagelib::ReadImageFileSize(path, &w, &h);
        width = static_cast<u32>(w);
        height = static_cast<u32>(h);
    }
    if (!ok || width > 0xFFFF || height > 0xFFFF) {
        core::CLog::Instance().Print(kCompilerChannel, 3, "Cannot load surface dimensions: \"%s\"", path);
        width = height = 0;
        surface.probeFailed = true;
    } else {
        record.format = format;
    }
    record.width = static_cast<u16>(width);
    record.height = static_cast<u16>(height);
    record.flags = std::strstr(path, "!nearest") ? CSurfaceRecord::kNearest : 0;
}

void CTextureDeclarationCompiler::FinishImage()
{
    core::CLog& log = core::CLog::Instance();
    if (m_PartsCut)
        log.Print(kCompilerChannel, 2, "Image \"%s\" has more than %u parts; the rest is ignored", m_ImageId.c_str(), kMaxParts);
    const std::string path = Cut(m_ImagePath, CLongFixedString::kMaxLength);
    u32 surfaceIndex = 0;
    while (surfaceIndex < m_Surfaces.size() && path != m_Surfaces[surfaceIndex].record.path.GetText())
        ++surfaceIndex;
    if (surfaceIndex == m_Surfaces.size()) {
        log.Print(kCompilerChannel, 2, "Image \"%s\" names no declared surface \"%s\" and is skipped", m_ImageId.c_str(),
                  m_ImagePath.c_str());
        return;
    }
    CSurface& surface = m_Surfaces[surfaceIndex];
    const bool partsMode = m_PartCount > 0 && m_Parts[0].w != 0 && m_Parts[0].h != 0;

    std::vector<CFloatRect> frames;
    u16 width = 0, height = 0;
    u32 W = 0, H = 0;
    if (partsMode) {
        W = surface.record.width;
        H = surface.record.height;
        const float fw = W ? static_cast<float>(W) : 1.0f;
        const float fh = H ? static_cast<float>(H) : 1.0f;
        for (u32 i = 0; i < m_PartCount; ++i) {
            const CPart& p = m_Parts[i];
            frames.emplace_back(p.x / fw, p.y / fh, (p.x + p.w) / fw, (p.y + p.h) / fh);
        }
        width = static_cast<u16>(m_Parts[0].w);
        height = static_cast<u16>(m_Parts[0].h);
    } else {
        ProbeSurface(surface);
        W = surface.record.width;
        H = surface.record.height;
        if (m_Cols == 0 || m_Rows == 0) {
            log.Print(kCompilerChannel, 2, "Image \"%s\" has no rows or columns and is skipped", m_ImageId.c_str());
            return;
        }
        width = static_cast<u16>(W / m_Cols);
        height = static_cast<u16>(H / m_Rows);
    }

    u32 n = static_cast<u32>(m_Cols) * m_Rows;
    std::vector<s32> delays;
    std::vector<s32> map;
    const bool animated = n > 1 && m_AnimType != 0;
    if (animated) {
        if (n > CImageInfo::kMaxFrames) {
            log.Print(kCompilerChannel, 2, "Image \"%s\" has %u frames; only the first %u animate", m_ImageId.c_str(), n,
                      CImageInfo::kMaxFrames);
            n = CImageInfo::kMaxFrames;
        }
        if (!partsMode) {
            const u32 cw = W / m_Cols;
            const u32 ch = H / m_Rows;
            const float fw = W ? static_cast<float>(W) : 1.0f;
            const float fh = H ? static_cast<float>(H) : 1.0f;
            for (u32 i = 0; i < n; ++i) {
                const u32 r = i / m_Cols, c = i % m_Cols;
                frames.emplace_back((c * cw) / fw, (r * ch) / fh, (c * cw + cw) / fw, (r * ch + ch) / fh);
            }
        }
        // A declared -1 ends the delay list; later frames take the last declared delay.
        s32 last = 0;
        bool ended = false;
        for (u32 i = 0; i < n; ++i) {
            if (!ended && i < m_Delays.size() && m_Delays[i] != -1)
                last = m_Delays[i];
            else
                ended = true;
            delays.push_back(last);
        }
        if (!m_Map.empty()) {
            for (s32 entry : m_Map) {
                if ((entry & 0xFF) == 0xFF)
                    break;
                if (entry < 0 || entry >= static_cast<s32>(CImageInfo::kMaxFrames)) {
                    log.Print(kCompilerChannel, 2, "Image \"%s\": frame_map entry %d is no frame and is ignored",
                              m_ImageId.c_str(), entry);
                    continue;
                }
                map.push_back(entry);
            }
        } else if (m_AnimType == 3 && n > 2) {
            for (u32 i = 0; i < n; ++i)
                map.push_back(static_cast<s32>(i));
            for (u32 i = n - 2; i >= 1; --i)
                map.push_back(static_cast<s32>(i));
        } else if (m_AnimType == 5 && n > 2) {
            for (u32 i = n; i-- > 0;)
                map.push_back(static_cast<s32>(i));
            for (u32 i = 1; i <= n - 2; ++i)
                map.push_back(static_cast<s32>(i));
        } else {
            for (u32 i = 0; i < n; ++i)
                map.push_back(static_cast<s32>(m_AnimType == 4 ? n - 1 - i : i));
        }
        if (map.size() > CImageInfo::kMaxFrames) {
            log.Print(kCompilerChannel, 2, "Image \"%s\": the frame map has %zu entries; only the first %u are kept",
                      m_ImageId.c_str(), map.size(), CImageInfo::kMaxFrames);
            map.resize(CImageInfo::kMaxFrames);
        }
    } else {
        if (!partsMode)
            frames.emplace_back(0.0f, 0.0f, 1.0f, 1.0f);
        delays.push_back(0);
        map.push_back(0);
    }

    CImage image;
    image.block.assign(CImageInfo::BlockSize(static_cast<u32>(frames.size())), 0);
    CImageInfo head{};
    AssignName(head.name, m_ImageId, "Image id");
    head.animationType = m_AnimType;
    head.flags = m_Groups[m_OpenGroups.back().first].record.flags | CImageInfo::kFlagShared;
    head.frameWidth = width;
    head.frameHeight = height;
    for (size_t i = 0; i < delays.size(); ++i)
        head.delays[i] = static_cast<s16>(delays[i]);
    if (delays.size() < CImageInfo::kMaxFrames)
        head.delays[delays.size()] = -1;
    s32 total = 0;
    for (size_t i = 0; i < map.size(); ++i) {
        head.frameMap[i] = static_cast<u8>(map[i]);
        total += head.delays[map[i]];
    }
    if (map.size() < CImageInfo::kMaxFrames)
        head.frameMap[map.size()] = 0xFF;
    if (total > 32767 || total < -32768) {
        log.Print(kCompilerChannel, 2, "Image \"%s\": the animation lasts %d ms, more than 32767", m_ImageId.c_str(), total);
        total = total > 0 ? 32767 : -32768;
    }
    head.gridColumns = m_Cols;
    head.gridRows = m_Rows;
    head.delayCount = static_cast<u8>(delays.size());
    head.mapCount = static_cast<u8>(map.size());
    head.totalDuration = static_cast<s16>(total);
    head.frameCount = static_cast<u16>(frames.size());
    std::memcpy(image.block.data(), &head, sizeof(head));
    if (!frames.empty())
        std::memcpy(image.block.data() + sizeof(head), frames.data(), frames.size() * sizeof(CFloatRect));
    image.group = m_OpenGroups.back().first;
    image.surface = surfaceIndex;
    m_Images[std::string(head.name.GetText(), head.name.GetLength())] = std::move(image);
}

void CTextureDeclarationCompiler::Assemble(std::vector<u8>& blob) const
{
    const u32 S = static_cast<u32>(m_Surfaces.size());
    const u32 G = static_cast<u32>(m_Groups.size());
    const u32 groupsAt = CTextureDeclarations::kHeaderSize + S * static_cast<u32>(sizeof(CSurfaceRecord));
    const u32 indexAt = groupsAt + G * static_cast<u32>(sizeof(CImageGroupRecord));
    // As many images (in name order) as the 16 MiB allow.
    u32 N = 0;
    u64 total = indexAt;
    for (const auto& [name, image] : m_Images) {
        const u64 next = total + sizeof(CImageIndexEntry) + image.block.size();
        if (next > kMaxBlobSize) {
            core::CLog::Instance().Print(kCompilerChannel, 3, "Texture declarations exceed 16 MiB; %zu images are left out",
                                         m_Images.size() - N);
            break;
        }
        total = next;
        ++N;
    }
    if (indexAt > kMaxBlobSize) {
        core::CLog::Instance().Print(kCompilerChannel, 3, "Texture declarations exceed 16 MiB");
        blob.assign(CTextureDeclarations::kHeaderSize, 0);
        std::memcpy(blob.data(), &CTextureDeclarations::kMagic, 4);
        return;
    }
    blob.assign(total, 0);
    u8* out = blob.data();
    const u32 header[4] = {CTextureDeclarations::kMagic, S, G, N};
    std::memcpy(out, header, sizeof(header));
    for (u32 i = 0; i < S; ++i)
        std::memcpy(out + CTextureDeclarations::kHeaderSize + i * sizeof(CSurfaceRecord), &m_Surfaces[i].record,
                    sizeof(CSurfaceRecord));
    const auto groupOffset = [&](s32 g) { return g < 0 ? 0u : groupsAt + static_cast<u32>(g) * 104u; };
    for (u32 i = 0; i < G; ++i) {
        CImageGroupRecord record = m_Groups[i].record;
        record.parentOffset = groupOffset(m_Groups[i].parent);
        std::memcpy(out + groupOffset(static_cast<s32>(i)), &record, sizeof(record));
    }
    u32 j = 0;
    u32 blockAt = indexAt + N * static_cast<u32>(sizeof(CImageIndexEntry));
    for (const auto& [name, image] : m_Images) {
        if (j == N)
            break;
        CImageIndexEntry entry{};
        std::memcpy(&entry.id, image.block.data(), sizeof(CFixedString));
        entry.infoOffset = blockAt;
        entry.groupOffset = groupOffset(image.group);
        std::memcpy(out + indexAt + j * sizeof(CImageIndexEntry), &entry, sizeof(entry));
        u8* block = out + blockAt;
        std::memcpy(block, image.block.data(), image.block.size());
        const u32 surfaceOffset = CTextureDeclarations::kHeaderSize + image.surface * 136u;
        std::memcpy(block + 204, &entry.groupOffset, 4);
        std::memcpy(block + 208, &surfaceOffset, 4);
        blockAt += static_cast<u32>(image.block.size());
        ++j;
    }
}

} // namespace lv::graphics
