#include "ContentTestSupport.h"
#include "core/ByteOrder.h"
#include "core/MappedFile.h"
#include "core/ResourcePack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

using lv::core::PutU32;

using namespace lv::core;
using lv::content::CPackWriter;

namespace {

std::string Text(const u8* data, u32 size)
{
    return data ? std::string(reinterpret_cast<const char*>(data), size) : std::string("<null>");
}

std::string Get(const CResourcePack& pack, const char* path)
{
    u32 size = 0;
    const u8* data = pack.GetData(path, &size);
    return Text(data, size);
}

} // namespace

TEST(ResourcePack, LanguageCopyWinsOnlyWhileTheFlagIsOn)
{
    CTempFolder tmp;
    CPackWriter writer;
    writer.AddFile("a.txt", "plain a");
    writer.AddFile("b.txt", "plain b");
    writer.AddLanguageFile("de", "a.txt", {'d', 'e', ' ', 'a'});
    writer.AddLanguageFile("en", "b.txt", {'e', 'n', ' ', 'b'});
    const std::string path = WritePack(tmp, "game.pack", writer);

    CResourcePack de(path.c_str(), "de", true);
    ASSERT_TRUE(de.IsOpen());
    EXPECT_EQ(Get(de, "a.txt"), "de a");
    EXPECT_EQ(Get(de, "b.txt"), "plain b");
    EXPECT_TRUE(de.ContainsLocalized("a.txt"));
    EXPECT_FALSE(de.ContainsLocalized("b.txt"));
    EXPECT_TRUE(de.Contains("b.txt"));
    EXPECT_FALSE(de.Contains("c.txt"));

    CResourcePack off(path.c_str(), "de", false);
    EXPECT_EQ(Get(off, "a.txt"), "plain a");
    EXPECT_FALSE(off.ContainsLocalized("a.txt"));

    CResourcePack fr(path.c_str(), "fr", true); // no entry under !langs/fr/
    EXPECT_EQ(Get(fr, "a.txt"), "plain a");
    EXPECT_FALSE(fr.ContainsLocalized("a.txt"));
}

TEST(ResourcePack, LanguageCopyNamesLongerThan110AreNotLookedUp)
{
    CTempFolder tmp;
    CPackWriter writer;
    const std::string fits(100, 'f');  // "!langs/de/" + 100 = 110 characters
    const std::string tooLong(101, 'g'); // 111 characters: storable, but not looked up
    for (const std::string& name : {fits, tooLong}) {
        ASSERT_TRUE(writer.AddFile(name, "plain"));
        ASSERT_TRUE(writer.AddLanguageFile("de", name, {'d', 'e'}));
    }
    const std::string path = WritePack(tmp, "game.pack", writer);
    CResourcePack pack(path.c_str(), "de", true);
    EXPECT_EQ(Get(pack, fits.c_str()), "de");
    EXPECT_EQ(Get(pack, tooLong.c_str()), "plain");
    EXPECT_EQ(Get(pack, std::string(112, 'x').c_str()), "<null>");
}

TEST(ResourcePack, DamagedPacksAreNotOpenedAndLogged)
{
    CTempFolder tmp;
    CPackWriter writer;
    writer.AddFile("a.txt", "alpha");
    writer.AddFile("b.txt", "beta");
    const std::vector<u8> good = writer.Build();
    const size_t entry1 = PackHeaderSize + PackEntrySize;

    struct Case
    {
        const char* what;
        void (*damage)(std::vector<u8>&);
    };
    const Case cases[] = {
        {"total size off by one", [](std::vector<u8>& p) { PutU32(p, 8, static_cast<u32>(p.size() + 1)); }},
        {"directory past the end", [](std::vector<u8>& p) { PutU32(p, 4, 50); }},
        {"entry past the end", [](std::vector<u8>& p) { PutU32(p, PackHeaderSize + PackEntrySize + 120, 0x7FFFFFFF); }},
        {"name without NUL", [](std::vector<u8>& p) {
             std::memset(p.data() + PackHeaderSize + PackEntrySize + PackNameOffset, 'x', PackNameCapacity);
         }},
        {"wrong magic", [](std::vector<u8>& p) { p[0] = 'X'; }},
        {"eight bytes", [](std::vector<u8>& p) { p.resize(8); }},
        {"directory out of order", [](std::vector<u8>& p) {
             std::swap_ranges(p.begin() + PackHeaderSize, p.begin() + PackHeaderSize + 120,
                              p.begin() + PackHeaderSize + PackEntrySize);
         }},
        {"stored hash wrong", [](std::vector<u8>& p) { p[PackHeaderSize + PackEntrySize + 4] ^= 1; }},
    };
    (void)entry1;
    for (const Case& c : cases) {
        std::vector<u8> bad = good;
        c.damage(bad);
        const std::string path = WriteBytes(tmp, "damaged.pack", bad);
        CLogCapture log(tmp);
        CResourcePack pack(path.c_str(), "de", true);
        EXPECT_FALSE(pack.IsOpen()) << c.what;
        EXPECT_EQ(pack.GetData("a.txt"), nullptr) << c.what;
        EXPECT_FALSE(pack.Contains("a.txt")) << c.what;
        EXPECT_TRUE(log.Contains("[gamepack][3]: game.pack is invalid\r\n")) << c.what;
    }

    CLogCapture log(tmp);
    CResourcePack missing((tmp / "missing.pack").c_str(), "", false);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_FALSE(log.Contains("invalid"));
}

TEST(ResourcePack, DifferentBlobLengthWordOnlyWarns)
{
    CTempFolder tmp;
    CPackWriter writer;
    writer.AddFile("a.txt", "alpha");
    std::vector<u8> image = writer.Build();
    const u32 offset = GetPackDirectory(image.data())[0].GetDataOffset();
    PutU32(image, offset - 4, 1000); // more than the rest of the file
    const std::string path = WriteBytes(tmp, "game.pack", image);

    CLogCapture log(tmp);
    CResourcePack pack(path.c_str(), "", false);
    ASSERT_TRUE(pack.IsOpen());
    EXPECT_TRUE(log.Contains("[gamepack][2]:"));
    u32 size = 0;
    const u8* data = pack.GetData("a.txt", &size);
    EXPECT_EQ(Text(data, size), "alpha");
    // The stored word is reported, but never beyond the end of the mapping.
    EXPECT_EQ(pack.GetBlobSize(data), static_cast<u32>(image.size() - offset));
}

TEST(ResourcePack, EmptyAndSingleEntryPacks)
{
    CTempFolder tmp;
    const std::string emptyPath = WritePack(tmp, "empty.pack", CPackWriter());
    CResourcePack empty(emptyPath.c_str(), "de", true);
    ASSERT_TRUE(empty.IsOpen());
    EXPECT_FALSE(empty.Contains("a"));
    EXPECT_EQ(empty.FindEntry("a"), nullptr);
    u32 size = 0;
    EXPECT_EQ(empty.GetOffset("a", size), -1);
    std::vector<std::string> names;
    auto collect = [](void* user, const char* name) { static_cast<std::vector<std::string>*>(user)->push_back(name); };
    empty.Enumerate("", collect, &names);
    empty.Enumerate("a", collect, &names);
    EXPECT_TRUE(names.empty());

    CPackWriter one;
    one.AddFile("only.bin", "1");
    const std::string onePath = WritePack(tmp, "one.pack", one);
    CResourcePack single(onePath.c_str(), "", false);
    EXPECT_EQ(Get(single, "only.bin"), "1");
}

TEST(ResourcePack, PointersOffsetsStreamsAndEnumeration)
{
    CTempFolder tmp;
    CPackWriter writer;
    for (const char* n : {"sounds/a.ogg", "sounds/b.ogg", "music/sounds/c.ogg", "sounds.xml", "z.txt"})
        writer.AddFile(n, std::string("data:") + n);
    const std::string path = WritePack(tmp, "game.pack", writer);
    CResourcePack pack(path.c_str(), "", false);
    ASSERT_TRUE(pack.IsOpen());

    u32 size = 0;
    const u8* data = pack.GetData("z.txt", &size);
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(pack.OwnsPointer(data));
    EXPECT_FALSE(pack.OwnsPointer(pack.GetBase()));
    EXPECT_FALSE(pack.OwnsPointer(pack.GetBase() + pack.GetMappedSize()));
    EXPECT_EQ(pack.GetBlobSize(data), size);
    EXPECT_EQ(pack.GetBlobSize(pack.GetBase() + 1), 0u); // would read before the mapping
    EXPECT_EQ(pack.GetBlobSize(&size), 0u);

    s64 offset = 0;
    FILE* stream = pack.OpenStream("sounds/b.ogg", offset, size);
    ASSERT_NE(stream, nullptr);
    std::string read(size, '\0');
    ASSERT_EQ(std::fseek(stream, static_cast<long>(offset), SEEK_SET), 0);
    ASSERT_EQ(std::fread(read.data(), 1, size, stream), size);
    std::fclose(stream);
    EXPECT_EQ(read, "data:sounds/b.ogg");
    EXPECT_EQ(pack.OpenStream("nope", offset, size), nullptr);

    std::vector<std::string> names;
    auto collect = [](void* user, const char* name) { static_cast<std::vector<std::string>*>(user)->push_back(name); };
    pack.Enumerate("sounds/", collect, &names);
    EXPECT_EQ(names, (std::vector<std::string>{"sounds/a.ogg", "sounds/b.ogg"}));
    names.clear();
    pack.Enumerate("", collect, &names);
    EXPECT_EQ(names.size(), 5u);
}

TEST(ResourcePack, DestroyingAPackWaitsForItsPrefetch)
{
    CTempFolder tmp;
    CPackWriter writer;
    writer.AddFile("big.bin", std::vector<u8>(16u << 20, 7));
    const std::string path = WritePack(tmp, "game.pack", writer);
    {
        CResourcePack pack(path.c_str(), "", false);
        ASSERT_TRUE(pack.IsOpen());
        pack.Prefetch();
        // Destroyed at once: unmapping while the thread still reads would fault.
    }
    CResourcePack again(path.c_str(), "", false);
    again.Prefetch(); // only one prefetch thread in the life of the process; nothing starts
}
