#pragma once
// Compiles "resources.xml" into the texture-declaration blob (see TextureDeclarations.h). Grid
// images probe their surface file's header for its size. Whatever would not fit the format (more
// than 32 frames, delays or map entries, names beyond their records, a blob over 16 MiB, images
// without rows, columns, surface or group) is cut or skipped with a log line.
#include <map>
#include <string>
#include <vector>

#include "core/Types.h"
#include "graphics/ImageInfo.h"
#include "graphics/TextureDeclarations.h"

namespace lv::core {
struct XmlFrame;
struct XmlToken;
} // namespace lv::core

namespace lv::graphics {

class CTextureDeclarationCompiler
{
public:
    static constexpr u32 kMaxBlobSize = 0x1000000;
    static constexpr u32 kMaxParts = 512;

    // Always leaves a well-formed blob (possibly empty); false when the XML was rejected.
    bool Compile(const char* text, size_t length, std::vector<u8>& blob);

private:
    enum class EElement { Other, Surfaces, Surface, Group, Image, Part };
    struct CSurface
    {
        CSurfaceRecord record;
        bool probed;
        bool probeFailed;
    };
    struct CGroup
    {
        CImageGroupRecord record;
        s32 parent;
    };
    struct CPart
    {
        s16 x, y, w, h;
    };
    struct CImage
    {
        std::vector<u8> block;
        s32 group;
        u32 surface;
    };

    static void OnElementStart(void* user, core::XmlFrame* frames, int depth);
    static void OnAttribute(void* user, core::XmlFrame* frames, int depth, const core::XmlToken* name,
                            const core::XmlToken* value, bool utf8);
    static void OnElementEnd(void* user, core::XmlFrame* frames, int depth);

    void StartElement(const core::XmlToken& name, int depth);
    void Attribute(const std::string& name, const std::string& value);
    void EndElement(int depth);
    void StartImage();
    void FinishSurface();
    void FinishImage();
    void ProbeSurface(CSurface& surface);
    void SortSurfaces();
    void Assemble(std::vector<u8>& blob) const;

    std::vector<CSurface> m_Surfaces;
    std::vector<CGroup> m_Groups;
    std::map<std::string, CImage> m_Images;
    std::vector<std::pair<s32, int>> m_OpenGroups; // group index, element depth
    EElement m_Current = EElement::Other;
    int m_CurrentDepth = -1;
    int m_ImageDepth = -1;
    int m_SurfacesDepth = -1;
    int m_SurfaceDepth = -1;
    bool m_SurfacesClosed = false;

    // The image being read.
    std::string m_ImageId;
    std::string m_ImagePath;
    u32 m_AnimType = 0;
    u8 m_Cols = 0;
    u8 m_Rows = 0;
    std::vector<s32> m_Delays;
    std::vector<s32> m_Map;
    u32 m_PartCount = 0;
    bool m_PartsCut = false;
    // Kept from image to image: a part attribute not given keeps the value of the part at the
    // same position of an earlier image.
    CPart m_Parts[kMaxParts] = {};
};

} // namespace lv::graphics
