// The texture manager over generated declarations: textures and image handles from the blob,
// the memory budget with least-recently-used eviction, device loss, preloading and pixel copies.
#include <algorithm>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "TextureTestSupport.h"
#include "content/ImageWriter.h"
#include "content/PvrWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "core/TimeSystem.h"
#include "graphics/ImageHandle.h"
#include "graphics/ImageInfo.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureFactory.h"

using namespace lv::graphics;

namespace {

constexpr u32 kMiB = 1024 * 1024;

std::string Document(const std::string& body)
{
    return "<?xml version=\"1.0\"?>\n<resources>" + body + "</resources>";
}

std::string SurfaceElement(const std::string& path)
{
    return "<surface path=\"" + path + "\"/>";
}

std::string Image(const std::string& id, const std::string& path, const std::string& extra = "")
{
    return "<image id=\"" + id + "\" path=\"" + path + "\" cols=\"1\" rows=\"1\" " + extra + "/>";
}

void WritePng(const CContentFolder& content, const std::string& path, u32 w, u32 h, u32 colour)
{
    std::vector<u8> file;
    ASSERT_TRUE(lv::content::EncodePngArgb(w, h, std::vector<u32>(w * h, colour), true, file));
    content.Write(path, file);
}

// Declarations compiled from the body, loaded from memory (optionally patched first).
void Declare(CTextureDeclarations& declarations, const std::string& body,
             void (*patch)(std::vector<u8>&) = nullptr)
{
    std::vector<u8> blob;
    lv::content::CompileTextureDeclarations(Document(body), blob);
    if (patch)
        patch(blob);
    ASSERT_TRUE(declarations.LoadBlob(blob.data(), static_cast<u32>(blob.size())));
}

// A clock the test moves by hand.
struct CManualClock
{
    double now = 0;
    lv::core::CTimeSource::Clock Get()
    {
        return [this] { return now; };
    }
};

} // namespace

TEST(TextureManagerTest, DeclarationsBecomeTexturesAndImages)
{
    CContentFolder content;
    WritePng(content, "gfx/a.png", 32, 16, 0xFF00FF00u);
    WritePng(content, "gfx/b.png", 8, 8, 0xFFFF0000u);
    CTextureDeclarations declarations;
    Declare(declarations, "<surfaces>" + SurfaceElement("gfx/a.png") + SurfaceElement("gfx/b.png") + "</surfaces><group id=\"g\">" +
                              Image("one", "gfx/a.png") + Image("two", "gfx/b.png") + Image("three", "gfx/a.png") +
                              "</group>");
    CTextureManager manager;
    EXPECT_EQ(manager.GetImage("one"), nullptr); // before Init
    CScratchLogCapture log;
    manager.Init(&declarations);
    EXPECT_TRUE(log.Contains("[texman][0]: Texture information created in "));
    EXPECT_EQ(manager.GetFactory().GetCount(), 2u);
    EXPECT_EQ(manager.GetImageCount(), 3u);
    CImageHandle* one = manager.GetImage("one");
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(manager.GetImage("one"), one);
    EXPECT_EQ(manager.GetImage(CFixedString("one")), one);
    EXPECT_EQ(manager.GetImage("three")->GetTexture(), one->GetTexture());
    EXPECT_NE(manager.GetImage("two")->GetTexture(), one->GetTexture());
    EXPECT_EQ(one->GetWidth(), 32);
    EXPECT_STREQ(manager.GetImageName(one), "one");
    EXPECT_STREQ(manager.GetTexturePath(one->GetTexture()), "gfx/a.png");
    EXPECT_EQ(manager.GetSurfaceRecord(one), &declarations.GetSurfaces()[0]);
    EXPECT_EQ(one->GetTexture()->GetRefCount(), 2);
    EXPECT_EQ(one->GetTexture()->GetFlags(), CTexture::kReloadable | CTexture::kPixelsNotLoaded);
    for (const char* missing : {"", "on", "four"})
        EXPECT_EQ(manager.GetImage(missing), nullptr) << missing;
    EXPECT_EQ(manager.GetImage(static_cast<const char*>(nullptr)), nullptr);
    // A second Init changes nothing.
    manager.Init(&declarations);
    EXPECT_EQ(manager.GetImage("one"), one);
    EXPECT_EQ(manager.GetFactory().GetCount(), 2u);
    EXPECT_EQ(manager.GetFactory().FindByPath("gfx/b.png"), manager.GetImage("two")->GetTexture());
    EXPECT_EQ(manager.GetFactory().FindByPath(""), nullptr);
}

TEST(TextureManagerTest, ProbedHalfSizeSurfaceGivesHalfSizeImages)
{
    CContentFolder content;
    WritePng(content, "gfx/big_2!.png", 65, 33, 0xFF000000u);
    CTextureDeclarations declarations;
    // The size is taken from the file at start (flag 0x20 of the surface record).
    Declare(declarations, "<surfaces>" + SurfaceElement("gfx/big_2!.png") + "</surfaces><group id=\"g\">" +
                              Image("big", "gfx/big_2!.png") + "</group>",
            [](std::vector<u8>& blob) { blob[16 + 134] = CSurfaceRecord::kSizeFromFile; });
    CTextureManager manager;
    manager.Init(&declarations);
    CImageHandle* big = manager.GetImage("big");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->GetTexture()->GetWidth(), 65);
    EXPECT_EQ(big->GetWidth(), 32);
    EXPECT_EQ(big->GetHeight(), 16);
    EXPECT_STREQ(manager.GetImageName(big), "big");
    EXPECT_FALSE(big->GetInfo()->flags & CImageInfo::kFlagShared);
}

class TextureBudgetTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // Five 4096 x 2048 ARGB 8888 surfaces of 32 MiB: one file under five names.
        const std::vector<u8> pvr = lv::content::BuildPvr(4096, 2048, 5, 0, std::vector<u8>(32 * kMiB, 0x5A));
        m_Content.Write("big/s0.pvr", pvr);
        std::string surfaces, images;
        for (int i = 0; i < 5; ++i) {
            const std::string path = "big/s" + std::to_string(i) + ".pvr";
            if (i > 0)
                std::filesystem::create_hard_link(m_Content.Tmp() / "big/s0.pvr", m_Content.Tmp() / path);
            surfaces += SurfaceElement(path);
            images += Image("s" + std::to_string(i), path);
        }
        Declare(m_Declarations, "<surfaces>" + surfaces + "</surfaces><group id=\"g\">" + images + "</group>");
    }

    // Uses the image's texture on a new tick.
    IDirect3DTexture9* Use(CTextureManager& manager, int i)
    {
        m_Clock.now += 16;
        m_Time.Tick();
        return manager.GetImage(("s" + std::to_string(i)).c_str())->GetTexture()->GetDeviceTexture();
    }
    bool Loaded(CTextureManager& manager, int i)
    {
        return manager.GetImage(("s" + std::to_string(i)).c_str())->GetTexture()->PeekDeviceTexture() != nullptr;
    }

    CContentFolder m_Content;
    CTextureDeclarations m_Declarations;
    CManualClock m_Clock;
    lv::core::CTimeSystem m_Time{m_Clock.Get()};
    CRecordingDeviceScope m_Device;
};

TEST_F(TextureBudgetTest, OldestReloadableTexturesAreEvictedAndReloadOnUse)
{
    CTextureManager manager;
    manager.SetTimeSystem(&m_Time);
    manager.Init(&m_Declarations);
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(Use(manager, i), nullptr);
    EXPECT_EQ(manager.GetUsedBytes(), 128 * kMiB);
    ASSERT_NE(Use(manager, 4), nullptr);
    EXPECT_EQ(manager.GetUsedBytes(), 96 * kMiB);
    EXPECT_FALSE(Loaded(manager, 0));
    EXPECT_FALSE(Loaded(manager, 1));
    EXPECT_TRUE(Loaded(manager, 2) && Loaded(manager, 3) && Loaded(manager, 4));
    EXPECT_TRUE(manager.GetImage("s0")->GetTexture()->GetFlags() & CTexture::kPixelsNotLoaded);
    EXPECT_EQ(manager.GetFileLoadCount(), 5u);
    // Used again, the evicted one reads its file again.
    ASSERT_NE(Use(manager, 0), nullptr);
    EXPECT_EQ(manager.GetFileLoadCount(), 6u);
    EXPECT_EQ(manager.GetUsedBytes(), 128 * kMiB);
    EXPECT_EQ(DeviceTexels(manager.GetImage("s0")->GetTexture(), 4).at(12345), 0x5A);
    // EvictAll drops every reloadable texture with a file.
    manager.EvictAll();
    EXPECT_EQ(manager.GetUsedBytes(), 0u);
}

TEST_F(TextureBudgetTest, NothingIsEvictedWithOnDemandOff)
{
    CTextureManager manager;
    manager.SetTimeSystem(&m_Time);
    manager.SetAllOnDemand(0);
    manager.Init(&m_Declarations);
    for (int i = 0; i < 5; ++i)
        ASSERT_NE(Use(manager, i), nullptr);
    EXPECT_EQ(manager.GetUsedBytes(), 160 * kMiB);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(Loaded(manager, i)) << i;
}

TEST(TextureManagerTest, RunTimeTexturesAreNeverEvictedAndRepeatedUsesKeepTheirPlace)
{
    CRecordingDeviceScope device;
    CManualClock clock;
    lv::core::CTimeSystem time(clock.Get());
    CTextureManager manager;
    manager.SetTimeSystem(&time);
    manager.SetMemoryLimit(kMiB);
    manager.SetMemoryTarget(kMiB / 2);
    std::vector<CTexture*> textures;
    for (int i = 0; i < 6; ++i) {
        CTexture* t = manager.CreateTexture(256, 256); // 256 KiB each
        ASSERT_NE(t, nullptr);
        t->SetFlags(CTexture::kReloadable);
        clock.now += 16;
        time.Tick();
        t->GetDeviceTexture();
        textures.push_back(t);
    }
    EXPECT_EQ(manager.GetUsedBytes(), 6 * 256 * 1024u);
    for (CTexture* t : textures)
        EXPECT_NE(t->PeekDeviceTexture(), nullptr);
    // Within one tick: a, b, a leaves a older than b.
    clock.now += 16;
    time.Tick();
    textures[0]->GetDeviceTexture();
    textures[1]->GetDeviceTexture();
    textures[0]->GetDeviceTexture();
    CTexture* newest = manager.GetOldest();
    while (newest->GetNewer())
        newest = newest->GetNewer();
    EXPECT_EQ(newest, textures[1]);
    EXPECT_EQ(newest->GetOlder(), textures[0]);
}

TEST(TextureManagerTest, UnknownFormatDrawsNothingAndChargesNothing)
{
    CRecordingDeviceScope device;
    CTextureManager manager;
    CTexture* texture = manager.GetFactory().Create(16, 16, 0);
    texture->SetFormat(4);
    CScratchLogCapture log;
    EXPECT_EQ(texture->GetDeviceTexture(), nullptr);
    EXPECT_EQ(manager.GetUsedBytes(), 0u);
    EXPECT_EQ(texture->GetByteSize(), 0u);
    EXPECT_TRUE(log.Contains("[texman][3]: unknown format for windows texture: 4"));
    // One failed load logs once and stops; the next use tries again.
    EXPECT_EQ(CountOf(log.Text(), "[texman][3]: Can't create surface"), 1u);
    EXPECT_EQ(texture->GetDeviceTexture(), nullptr);
    EXPECT_EQ(CountOf(log.Text(), "[texman][3]: Can't create surface"), 2u);
}

TEST(TextureManagerTest, DeviceLossReleasesAndReloads)
{
    CContentFolder content;
    WritePng(content, "gfx/a.png", 4, 4, 0xFF112233u);
    CTextureDeclarations declarations;
    Declare(declarations, "<surfaces>" + SurfaceElement("gfx/a.png") + "</surfaces><group id=\"g\">" +
                              Image("a", "gfx/a.png") + "</group>");
    CRecordingDeviceScope device;
    CTextureManager manager;
    manager.Init(&declarations);
    CTexture* declared = manager.GetImage("a")->GetTexture();
    ASSERT_NE(declared->GetDeviceTexture(), nullptr);
    CTexture* target = manager.CreateRenderTarget(4, 4);
    CTexture* plain = manager.CreateTexture(4, 4);
    CTexture* picture = manager.CreateTexture(4, 4);
    ASSERT_TRUE(target && plain && picture);
    const std::vector<u32> pixels(16, 0xFFABCDEFu);
    plain->UploadArgb(pixels.data());
    picture->SetFlags(CTexture::kReloadable); // as the front end marks its pictures
    picture->UploadArgb(pixels.data());

    manager.ReleaseRenderTargets();
    EXPECT_EQ(target->PeekDeviceTexture(), nullptr);
    EXPECT_NE(plain->PeekDeviceTexture(), nullptr);
    EXPECT_NE(declared->PeekDeviceTexture(), nullptr);

    manager.ReleaseAllDeviceTextures();
    for (CTexture* t : {declared, target, plain, picture})
        EXPECT_EQ(t->PeekDeviceTexture(), nullptr);
    EXPECT_EQ(manager.GetUsedBytes(), 0u);
    const u32 loads = manager.GetFileLoadCount();
    ASSERT_NE(declared->GetDeviceTexture(), nullptr);
    EXPECT_EQ(manager.GetFileLoadCount(), loads + 1);
    std::vector<u8> expected;
    for (int i = 0; i < 16; ++i)
        expected.insert(expected.end(), {0x33, 0x22, 0x11, 0xFF});
    EXPECT_EQ(DeviceTexels(declared, 4), expected);
    ASSERT_NE(plain->GetDeviceTexture(), nullptr);
    EXPECT_EQ(DeviceTexels(plain, 4), std::vector<u8>(64, 0)); // refilled by its owner
    // A reloadable run-time picture has no file: it comes back from its own copy.
    ASSERT_NE(picture->GetDeviceTexture(), nullptr);
    EXPECT_EQ(DeviceTexels(picture, 4), std::vector<u8>(reinterpret_cast<const u8*>(pixels.data()),
                                                        reinterpret_cast<const u8*>(pixels.data()) + 64));
    // Nor is it evicted: EvictAll and the budget leave it alone.
    manager.EvictAll();
    EXPECT_NE(picture->PeekDeviceTexture(), nullptr);
    EXPECT_EQ(declared->PeekDeviceTexture(), nullptr);
    manager.RestoreAll();
    EXPECT_NE(target->PeekDeviceTexture(), nullptr);
    EXPECT_EQ(declared->PeekDeviceTexture(), nullptr); // evicted: back on its next use
}

TEST(TextureManagerTest, PreloadLoadsQueuedTexturesWithinItsTimeBudget)
{
    CContentFolder content;
    std::string surfaces, images;
    for (int i = 0; i < 7; ++i) {
        const std::string path = "pre/p" + std::to_string(i) + ".png";
        WritePng(content, path, 2, 2, 0xFF000000u);
        surfaces += SurfaceElement(path);
        images += Image("p" + std::to_string(i), path);
    }
    WritePng(content, "other/o.png", 2, 2, 0xFF000000u);
    surfaces += SurfaceElement("other/o.png");
    images += Image("o", "other/o.png");
    CTextureDeclarations declarations;
    Declare(declarations, "<surfaces>" + surfaces + "</surfaces><group id=\"g\">" + images + "</group>");
    CRecordingDeviceScope device;
    // Every reading of the raw clock is 4 ms later than the one before.
    double now = 0;
    lv::core::CTimeSystem time([&now] { return now += 4; });
    CTextureManager manager;
    manager.SetTimeSystem(&time);
    manager.Init(&declarations);
    manager.QueuePreload("pre/");
    EXPECT_EQ(manager.GetPreloadRemaining(), 7u);
    manager.UpdatePreload();
    EXPECT_EQ(manager.GetPreloadRemaining(), 4u); // 0, 4, 8 ms: three loads, then 12 ms
    manager.UpdatePreload();
    EXPECT_EQ(manager.GetPreloadRemaining(), 1u);
    manager.UpdatePreload();
    EXPECT_EQ(manager.GetPreloadRemaining(), 0u);
    manager.UpdatePreload(); // nothing queued
    for (int i = 0; i < 7; ++i)
        EXPECT_NE(manager.GetImage(("p" + std::to_string(i)).c_str())->GetTexture()->PeekDeviceTexture(), nullptr);
    EXPECT_EQ(manager.GetImage("o")->GetTexture()->PeekDeviceTexture(), nullptr);
    manager.QueuePreload("nothing/");
    EXPECT_EQ(manager.GetPreloadRemaining(), 0u);
}

TEST(TextureManagerTest, CollectUnreferencedErasesUnusedTextures)
{
    CRecordingDeviceScope device;
    CTextureManager manager;
    CImageHandle held;
    held.BindTexture(manager.CreateTexture(2, 2));
    manager.CreateTexture(2, 2);
    ASSERT_EQ(manager.GetFactory().GetCount(), 2u);
    manager.CollectUnreferenced();
    EXPECT_EQ(manager.GetFactory().GetCount(), 1u);
    EXPECT_EQ(manager.GetUsedBytes(), 16u);
    held.Release();
}

TEST(TextureManagerTest, ResizeAveragesBlocksIntoTheTargetsCopy)
{
    CRecordingDeviceScope device;
    CTextureManager manager;
    CTexture* source = manager.GetFactory().Create(4, 2, CTexture::kRenderTarget);
    source->AllocPixelCopy();
    // Two 2x2 blocks: the left averages 0x10/0x30 per channel, the right is one colour.
    const u32 pixels[8] = {0x10101010, 0x30303030, 0x80FF0000, 0x80FF0000,
                           0x30303030, 0x10101010, 0x80FF0000, 0x80FF0001};
    std::copy(pixels, pixels + 8, source->GetPixelCopy());
    CTexture* target = manager.GetFactory().Create(2, 1, 0);
    EXPECT_FALSE(manager.GetFactory().Resize(source, target)); // no copy to receive the result
    target->AllocPixelCopy();
    ASSERT_TRUE(manager.GetFactory().Resize(source, target));
    EXPECT_EQ(target->GetPixelCopy()[0], 0x20202020u);
    EXPECT_EQ(target->GetPixelCopy()[1], 0x80FF0000u); // truncated: 1 / 4 is 0
    EXPECT_TRUE(target->GetFlags() & CTexture::kRenderTarget);
    ASSERT_NE(target->PeekDeviceTexture(), nullptr);
    // Enlarging repeats source pixels instead of reading past the last row or column.
    CTexture* big = manager.GetFactory().Create(8, 4, 0);
    big->AllocPixelCopy();
    ASSERT_TRUE(manager.GetFactory().Resize(source, big));
    EXPECT_EQ(big->GetPixelCopy()[0], 0x10101010u);
    EXPECT_EQ(big->GetPixelCopy()[8 * 4 - 1], 0x80FF0001u);
}
