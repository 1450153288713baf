#include "content/PackWriter.h"
#include "core/ByteOrder.h"
#include "core/PackDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using lv::core::PutU32;

using namespace lv::core;
using lv::content::CPackWriter;

namespace {

std::vector<u8> MakePack(const std::vector<std::string>& names)
{
    CPackWriter writer;
    for (const auto& n : names)
        EXPECT_TRUE(writer.AddFile(n, "data of " + n));
    return writer.Build();
}

size_t EntryAt(u32 index)
{
    return PackHeaderSize + index * PackEntrySize;
}

std::string DataOf(const std::vector<u8>& image, const CPackEntry* e)
{
    return std::string(reinterpret_cast<const char*>(image.data()) + e->GetDataOffset(), e->GetDataSize());
}

std::vector<std::string> Range(const std::vector<u8>& image, const char* prefix)
{
    std::vector<std::string> names;
    FindPackRange(image.data(), prefix, [](void* user, const char* name) {
        static_cast<std::vector<std::string>*>(user)->push_back(name);
    }, &names, nullptr, nullptr);
    return names;
}

} // namespace

TEST(PackDirectory, WriterOutputIsSortedHashedAndFound)
{
    // Inserted out of order; '!' sorts before letters, and bytes compare unsigned (0xE9 last).
    const std::vector<std::string> names = {"z.txt", "caf\xC3\xA9.png", "a/b.txt", "!langs/de/z.txt", "a.txt", "B.txt"};
    const std::vector<u8> image = MakePack(names);
    CPackCheckResult check;
    ASSERT_TRUE(CheckPackImage(image.data(), image.size(), &check)) << check.m_Problem;
    EXPECT_EQ(check.m_BlobLengthMismatches, 0u);
    ASSERT_EQ(GetPackEntryCount(image.data()), names.size());

    const CPackEntry* dir = GetPackDirectory(image.data());
    const char* expectedOrder[] = {"!langs/de/z.txt", "B.txt", "a.txt", "a/b.txt", "caf\xC3\xA9.png", "z.txt"};
    for (u32 i = 0; i < names.size(); ++i) {
        EXPECT_STREQ(dir[i].GetName(), expectedOrder[i]);
        EXPECT_EQ(dir[i].GetNameLength(), std::strlen(expectedOrder[i]));
        EXPECT_NE(dir[i].GetNameHash(), 0);
        EXPECT_EQ(dir[i].GetDataOffset() % 4, 0u);
    }
    for (const auto& n : names) {
        const CPackEntry* e = FindPackEntry(n.c_str(), dir, GetPackDirectoryEnd(image.data()));
        ASSERT_NE(e, nullptr) << n;
        EXPECT_EQ(DataOf(image, e), "data of " + n);
    }
    for (const char* missing : {"", "a", "a.tx", "a.txt2", "b.txt", "zz", "\xFF"})
        EXPECT_EQ(FindPackEntry(missing, dir, GetPackDirectoryEnd(image.data())), nullptr) << missing;
}

TEST(PackDirectory, SmallDirectoriesAndLongNames)
{
    const std::vector<u8> empty = MakePack({});
    ASSERT_TRUE(CheckPackImage(empty.data(), empty.size()));
    EXPECT_EQ(FindPackEntry("a", GetPackDirectory(empty.data()), GetPackDirectoryEnd(empty.data())), nullptr);
    EXPECT_EQ(Range(empty, "").size(), 0u);

    const std::vector<u8> one = MakePack({"only"});
    EXPECT_NE(FindPackEntry("only", GetPackDirectory(one.data()), GetPackDirectoryEnd(one.data())), nullptr);

    const std::string longest(111, 'x');
    CPackWriter writer;
    EXPECT_TRUE(writer.AddFile(longest, "x"));
    EXPECT_FALSE(writer.AddFile(std::string(112, 'y'), "y"));
    EXPECT_FALSE(writer.AddFile(longest, "again"));
    const std::vector<u8> image = writer.Build();
    ASSERT_TRUE(CheckPackImage(image.data(), image.size()));
    const CPackEntry* first = GetPackDirectory(image.data());
    EXPECT_NE(FindPackEntry(longest.c_str(), first, first + 1), nullptr);
    EXPECT_EQ(FindPackEntry((longest + "x").c_str(), first, first + 1), nullptr);
}

TEST(PackDirectory, StoredLengthAndHashMustAgree)
{
    std::vector<u8> image = MakePack({"a.txt"});
    const CPackEntry* dir = GetPackDirectory(image.data());
    image[EntryAt(0) + 4] ^= 1; // damaged hash: the name no longer matches
    EXPECT_EQ(FindPackEntry("a.txt", dir, dir + 1), nullptr);
}

TEST(PackDirectory, RejectsDamagedImages)
{
    const std::vector<u8> good = MakePack({"a.txt", "b.txt"});
    const u32 dirEnd = PackHeaderSize + 2 * PackEntrySize;
    struct Case
    {
        const char* what;
        void (*damage)(std::vector<u8>&, u32 dirEnd);
    };
    const Case cases[] = {
        {"total size one too large", [](std::vector<u8>& p, u32) { PutU32(p, 8, static_cast<u32>(p.size() + 1)); }},
        {"total size one too small", [](std::vector<u8>& p, u32) { PutU32(p, 8, static_cast<u32>(p.size() - 1)); }},
        {"file one byte short", [](std::vector<u8>& p, u32) {
             p.pop_back();
             PutU32(p, 8, static_cast<u32>(p.size()));
         }},
        {"wrong magic", [](std::vector<u8>& p, u32) { p[3] = 2; }},
        {"header only", [](std::vector<u8>& p, u32) { p.resize(8); }},
        {"directory past the end", [](std::vector<u8>& p, u32) { PutU32(p, 4, 1000); }},
        {"huge entry count", [](std::vector<u8>& p, u32) { PutU32(p, 4, 0xFFFFFFFF); }},
        {"entry past the end", [](std::vector<u8>& p, u32) { PutU32(p, EntryAt(1) + 120, 1000); }},
        {"offset and size wrap", [](std::vector<u8>& p, u32) {
             PutU32(p, EntryAt(1) + 124, 0xFFFFFFF0);
             PutU32(p, EntryAt(1) + 120, 0x20);
         }},
        {"offset past the end", [](std::vector<u8>& p, u32) { PutU32(p, EntryAt(0) + 124, static_cast<u32>(p.size() + 1)); }},
        {"data inside the directory", [](std::vector<u8>& p, u32) { PutU32(p, EntryAt(1) + 124, 20); }},
        {"length word inside the directory", [](std::vector<u8>& p, u32 end) { PutU32(p, EntryAt(0) + 124, end); }},
        {"name without NUL", [](std::vector<u8>& p, u32) {
             std::memset(p.data() + EntryAt(1) + PackNameOffset, 'n', PackNameCapacity);
         }},
        {"name length 112", [](std::vector<u8>& p, u32) { p[EntryAt(0)] = 112; }},
        // Damage that would hide entries from the sorted search.
        {"names out of order", [](std::vector<u8>& p, u32) {
             std::swap_ranges(p.begin() + EntryAt(0), p.begin() + EntryAt(0) + 120, p.begin() + EntryAt(1));
         }},
        {"same name twice", [](std::vector<u8>& p, u32) {
             std::copy(p.begin() + EntryAt(0), p.begin() + EntryAt(0) + 120, p.begin() + EntryAt(1));
         }},
        {"stored hash wrong", [](std::vector<u8>& p, u32) { p[EntryAt(1) + 4] ^= 1; }},
        {"stored hash zero", [](std::vector<u8>& p, u32) { p[EntryAt(1) + 4] = p[EntryAt(1) + 5] = 0; }},
        {"stored length short", [](std::vector<u8>& p, u32) { p[EntryAt(1)] = 4; }},
    };
    for (const Case& c : cases) {
        std::vector<u8> bad = good;
        c.damage(bad, dirEnd);
        CPackCheckResult check;
        EXPECT_FALSE(CheckPackImage(bad.data(), bad.size(), &check)) << c.what;
        EXPECT_NE(check.m_Problem, nullptr) << c.what;
    }
    EXPECT_FALSE(CheckPackImage(nullptr, 0));
}

TEST(PackDirectory, ToleratesBlobLengthWordThatDiffersFromEntrySize)
{
    std::vector<u8> image = MakePack({"a.txt", "b.txt"});
    const CPackEntry* dir = GetPackDirectory(image.data());
    PutU32(image, dir[1].GetDataOffset() - 4, 12345);
    CPackCheckResult check;
    EXPECT_TRUE(CheckPackImage(image.data(), image.size(), &check));
    EXPECT_EQ(check.m_BlobLengthMismatches, 1u);
    EXPECT_EQ(check.m_FirstBlobLengthMismatch, 1u);
}

TEST(PackDirectory, RangeIsTheRunOfNamesThatBeginWithThePrefix)
{
    const std::vector<u8> image = MakePack({"!langs/de/a.txt", "!langs/de/b/c.txt", "!langs/en/a.txt", "a.txt",
                                            "music/sounds/x.ogg", "sounds.xml", "sounds/a.ogg", "sounds/b.ogg",
                                            "sounds/z/c.ogg", "sounds0", "voice/sounds/y.ogg"});
    EXPECT_EQ(Range(image, "sounds/"), (std::vector<std::string>{"sounds/a.ogg", "sounds/b.ogg", "sounds/z/c.ogg"}));
    EXPECT_EQ(Range(image, "sounds"),
              (std::vector<std::string>{"sounds.xml", "sounds/a.ogg", "sounds/b.ogg", "sounds/z/c.ogg", "sounds0"}));
    EXPECT_EQ(Range(image, "!langs/de/"), (std::vector<std::string>{"!langs/de/a.txt", "!langs/de/b/c.txt"}));
    EXPECT_EQ(Range(image, "").size(), 11u);
    EXPECT_TRUE(Range(image, "ounds/").empty());
    EXPECT_TRUE(Range(image, "zzz").empty());

    const CPackEntry* first = nullptr;
    const CPackEntry* end = nullptr;
    EXPECT_EQ(FindPackRange(image.data(), "!langs/en/", nullptr, nullptr, &first, &end), 1u);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(end - first, 1);
    EXPECT_STREQ(first->GetName(), "!langs/en/a.txt");

    const CPackEntry* untouched = first;
    EXPECT_EQ(FindPackRange(image.data(), "!langs/fr/", nullptr, nullptr, &first, &end), 0u);
    EXPECT_EQ(first, untouched);
}
