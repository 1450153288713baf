// Image handles and sprites: frame timing, pixel addresses, sprite rectangles, source rectangles,
// copies and drawing; pixel copies through the real OpenGL layer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TextureTestSupport.h"
#include "content/ImageWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "graphics/ImageHandle.h"
#include "graphics/ImageInfo.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/Sprite.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/Vertex.h"
#include "platform/SdlWindow.h"

using namespace lv::graphics;

namespace {

// Images on a 30 x 10 surface: "still" (one frame), "loop" and "once" (three frames of 100, 50,
// 100 ms), "zero" (delays all 0).
class CAnimations
{
public:
    CAnimations()
    {
        std::vector<u8> png;
        EXPECT_TRUE(lv::content::EncodePngArgb(30, 10, std::vector<u32>(300, 0xFF000000u), false, png));
        m_Content.Write("s.png", png);
        const std::string grid = "path=\"s.png\" cols=\"3\" rows=\"1\" ";
        const std::string xml = "<?xml version=\"1.0\"?>\n<r><surfaces><surface path=\"s.png\"/></surfaces><group id=\"g\">"
                                "<image id=\"still\" path=\"s.png\" cols=\"1\" rows=\"1\"/>"
                                "<image id=\"loop\" " + grid + "anim_type=\"loop\" frame_delay=\"100 50 100\"/>"
                                "<image id=\"once\" " + grid + "anim_type=\"once\" frame_delay=\"100 50 100\"/>"
                                "<image id=\"pingpong\" " + grid + "anim_type=\"pingpong\" frame_delay=\"10\"/>"
                                "<image id=\"zero\" " + grid + "anim_type=\"loop\" frame_delay=\"0\"/>"
                                "</group></r>";
        std::vector<u8> blob;
        lv::content::CompileTextureDeclarations(xml, blob);
        EXPECT_TRUE(m_Declarations.LoadBlob(blob.data(), static_cast<u32>(blob.size())));
        m_Manager.Init(&m_Declarations);
    }
    CImageHandle* operator[](const char* name) { return m_Manager.GetImage(name); }

private:
    CContentFolder m_Content;
    CTextureDeclarations m_Declarations;
    CTextureManager m_Manager;
};

class CHost final : public CRendererHost
{
public:
    HWND m_Window = nullptr;
    HWND GetWindowHandle() override { return m_Window; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = 1024;
        h = 768;
    }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        w = 1024;
        h = 768;
        return true;
    }
    bool SetScreenMode(bool, bool, s32, s32) override { return true; }
    void GetRequestedWindowSize(s32& w, s32& h) override { GetClientSize(w, h); }
    void SetScreenArea(const CFloatRect&, const CVector2&) override {}
};

std::vector<CVertex> Drawn(lv::platform::CRecordingLog& log)
{
    std::vector<CVertex> out;
    for (const auto& d : log.Draws) {
        const auto* v = reinterpret_cast<const CVertex*>(d.Vertices.data());
        out.insert(out.end(), v, v + d.Vertices.size() / sizeof(CVertex));
    }
    log.Draws.clear();
    return out;
}

} // namespace

TEST(ImageHandleTest, FrameForTime)
{
    CAnimations images;
    CImageHandle* loop = images["loop"];
    ASSERT_NE(loop, nullptr);
    EXPECT_TRUE(loop->IsMultiFrame());
    EXPECT_FALSE(images["still"]->IsMultiFrame());
    EXPECT_EQ(loop->GetInfo()->totalDuration, 250);
    const std::pair<s32, s32> loopTable[] = {{0, 0}, {99, 0}, {100, 1}, {149, 1}, {150, 2}, {249, 2},
                                             {250, 0}, {1000, 0}, {1100, 1}};
    for (const auto& [t, frame] : loopTable)
        EXPECT_EQ(loop->GetFrameForTime(t), frame) << t;
    EXPECT_EQ(images["once"]->GetFrameForTime(250), 2);
    EXPECT_EQ(images["once"]->GetFrameForTime(5000), 2);
    EXPECT_EQ(images["once"]->GetFrameForTime(120), 1);
    EXPECT_EQ(images["pingpong"]->GetFrameForTime(35), 1); // map 0, 1, 2, 1
    for (s32 t : {0, 10, 250})
        EXPECT_EQ(images["zero"]->GetFrameForTime(t), -1) << t;
    EXPECT_EQ(images["still"]->GetFrameForTime(12345), 0);
    EXPECT_EQ(loop->GetMapEntryStartTime(0), 0);
    EXPECT_EQ(loop->GetMapEntryStartTime(2), 150);
    EXPECT_EQ(loop->GetMapEntryStartTime(3), 0);
    CImageHandle empty;
    EXPECT_EQ(empty.GetFrameForTime(0), -1);
    EXPECT_FALSE(empty.IsMultiFrame());
}

TEST(ImageHandleTest, PixelAddressesFollowTheFrame)
{
    CRecordingDeviceScope device;
    CAnimations images;
    CImageHandle* loop = images["loop"];
    EXPECT_EQ(loop->GetPixelAddress(0, 0, 0), nullptr); // no copy yet
    loop->EnsurePixelCopy();
    u32* copy = loop->GetTexture()->GetPixelCopy();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(loop->GetPixelAddress(0, 0, -1), copy);
    EXPECT_EQ(loop->GetPixelAddress(3, 2, 1), copy + 2 * 30 + 10 + 3);
    EXPECT_EQ(loop->GetPixelAddress(9, 9, 2), copy + 9 * 30 + 29);
    EXPECT_EQ(loop->GetPixelAddress(10, 0, 0), nullptr);
    EXPECT_EQ(loop->GetPixelAddress(0, 10, 0), nullptr);
    EXPECT_EQ(loop->GetPixelAddress(0, 0, 7), copy); // past the frames: frame 0
    loop->FreePixelCopy();
    EXPECT_EQ(loop->GetPixelAddress(0, 0, 0), nullptr);
}

TEST(SpriteTest, RectanglesSourceRectsAndCopies)
{
    CRecordingDeviceScope device;
    CAnimations images;
    CSprite still(images["still"]);
    EXPECT_FALSE(still.HasTimer());
    EXPECT_EQ(still.GetRect(), CFloatRect(0, 0, 30, 10));
    still.SetRect(CFloatRect(5, 6, 0, 7));
    EXPECT_EQ(still.GetRect(), CFloatRect(5, 6, 30, 7));
    still.SetRect(CFloatRect(5, 6, 12, 0));
    EXPECT_EQ(still.GetRect(), CFloatRect(5, 6, 12, 10));
    EXPECT_EQ(still.GetSourceRect().width, 30); // the whole frame
    still.SetSourceRect(CIntRect(1, 2, 3, 4));
    ASSERT_TRUE(still.HasSourceRect());
    EXPECT_EQ(still.GetSourceRect().x, 1);
    CSprite copy(still);
    copy.SetSourceRect(CIntRect(9, 9, 9, 9));
    EXPECT_EQ(still.GetSourceRect().x, 1);
    EXPECT_EQ(copy.GetSourceRect().x, 9);
    still.SetSourceRect(CIntRect(0, 0, -1, 5));
    EXPECT_FALSE(still.HasSourceRect());
    copy = still;
    EXPECT_FALSE(copy.HasSourceRect());

    CSprite animated(images["loop"]);
    ASSERT_TRUE(animated.HasTimer());
    animated.SetSourceRect(CIntRect(1, 1, 2, 2));
    EXPECT_FALSE(animated.HasSourceRect());
    animated.SeekToMapEntry(2);
    EXPECT_EQ(animated.GetAnimationTime(), 150);
    CSprite twin(animated);
    ASSERT_TRUE(twin.HasTimer());
    twin.SeekToMapEntry(1);
    EXPECT_EQ(animated.GetAnimationTime(), 150);
    EXPECT_EQ(twin.GetAnimationTime(), 100);
    animated.SetImage(images["still"], true);
    EXPECT_FALSE(animated.HasTimer());
    EXPECT_EQ(animated.GetAnimationSpeed(), 1.0f);
}

TEST(SpriteTest, DrawingTruncatesWithFlagTwoAndUndeclaredNamesDrawNothing)
{
    auto log = lv::platform::InstallRecordingDirect3D();
    GetGraphicsDevice().Release(false);
    CHost host;
    {
        CRenderer renderer;
        renderer.SetHost(&host);
        renderer.SetSourceSize(1024, 768);
        ASSERT_TRUE(renderer.SetMode(false, true, 1024, 768));
        CAnimations images;
        ASSERT_TRUE(renderer.BeginFrame());
        log->Draws.clear();
        CSprite sprite(images["still"]);
        sprite.SetFlags(CSprite::kWholePixels);
        sprite.SetRect(CFloatRect(10.7f, 5.2f, 99.9f, 20.5f));
        sprite.Draw(renderer);
        renderer.Flush();
        const std::vector<CVertex> truncated = Drawn(*log);
        renderer.DrawImageUv(images["still"], CFloatRect(10, 5, 99, 20), CFloatRect(0, 0, 1, 1), CColor(0xFFFFFFFFu));
        renderer.Flush();
        const std::vector<CVertex> whole = Drawn(*log);
        ASSERT_FALSE(truncated.empty());
        ASSERT_EQ(truncated.size(), whole.size());
        for (size_t i = 0; i < whole.size(); ++i) {
            EXPECT_FLOAT_EQ(truncated[i].x, whole[i].x) << i;
            EXPECT_FLOAT_EQ(truncated[i].y, whole[i].y) << i;
        }

        CSprite nothing(CFixedString("not_declared"));
        EXPECT_EQ(nothing.GetImage(), nullptr);
        EXPECT_EQ(nothing.GetImageSize().X, 0);
        EXPECT_EQ(nothing.GetImageSize().Y, 0);
        nothing.Draw(renderer);
        nothing.DrawAt(renderer, 1, 1);
        renderer.Flush();
        EXPECT_TRUE(log->Draws.empty());
        renderer.EndFrame();
    }
    CTextureManager::Instance().ReleaseAllDeviceTextures();
    GetGraphicsDevice().Release(false);
    lv::platform::SetDirect3DFactory(nullptr);
}

TEST(ImageHandleTest, PixelCopiesThroughOpenGl)
{
    HWND window = lv::platform::CreateSdlWindow("texture test", 64, 64, false);
    ASSERT_NE(window, nullptr);
    lv::platform::SetDirect3DFactory(nullptr);
    GetGraphicsDevice().Release(false);
    ASSERT_TRUE(GetGraphicsDevice().CreateOrReset(window, 64, 64, false));
    {
        CTextureManager manager;
        std::vector<u32> pixels(8 * 4);
        for (u32 i = 0; i < pixels.size(); ++i)
            pixels[i] = 0xFF000000u | i * 0x010203u;
        CTexture* texture = manager.CreateTexture(8, 4);
        ASSERT_NE(texture, nullptr);
        ASSERT_TRUE(texture->UploadArgb(pixels.data()));
        CImageHandle image;
        image.BindTexture(texture);
        image.EnsurePixelCopy();
        image.ReadPixels();
        for (u32 y = 0; y < 4; ++y)
            for (u32 x = 0; x < 8; ++x) {
                const u32* p = image.GetPixelAddress(x, y, -1);
                ASSERT_NE(p, nullptr);
                EXPECT_EQ(*p, pixels[y * 8 + x]) << x << "," << y;
            }
        CTexture* clone = manager.CloneTexture(texture);
        ASSERT_NE(clone, nullptr);
        EXPECT_EQ(clone->GetPixelCopy(), nullptr); // its temporary copy is gone
        clone->AllocPixelCopy();
        clone->ReadBack();
        EXPECT_EQ(std::memcmp(clone->GetPixelCopy(), pixels.data(), pixels.size() * 4), 0);
        CImageHandle duplicate;
        ASSERT_TRUE(manager.DuplicateImage(&image, &duplicate));
        EXPECT_NE(duplicate.GetTexture(), texture);
        EXPECT_EQ(duplicate.GetWidth(), 8);
        image.Release();
        duplicate.Release();
        manager.ReleaseAllDeviceTextures();
    }
    GetGraphicsDevice().Release(false);
    lv::platform::DestroySdlWindow(window);
}
