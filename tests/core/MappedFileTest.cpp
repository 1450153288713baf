#include "core/MappedFile.h"

#include "TempFolder.h"
#include "core/TextConvert.h"

#include <cstring>
#include <vector>

using namespace lv::core;

TEST(MappedFile, MapsWholeFilesReadOnly)
{
    CTempFolder tmp;
    tmp.Write("a.txt", "hello");
    tmp.Write("empty", "");
    u32 size = 0;
    const void* a = MapFileReadOnly(Utf8ToWide(tmp / "a.txt").c_str(), &size);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(std::memcmp(a, "hello", 5), 0);
    EXPECT_EQ(GetMappedFileSize(a), 5u);
    EXPECT_EQ(GetMappedFileSize(static_cast<const char*>(a) + 1), 0u);

    size = 77;
    EXPECT_EQ(MapFileReadOnlyA((tmp / "empty").c_str(), &size), nullptr);
    EXPECT_EQ(MapFileReadOnlyA((tmp / "missing").c_str(), &size), nullptr);
    EXPECT_EQ(MapFileReadOnlyA(tmp.Path().c_str(), &size), nullptr);
    EXPECT_EQ(size, 77u);

    const void* b = MapFileReadOnlyA((tmp.Path().string() + "\\a.txt").c_str(), nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    UnmapFile(a);
    EXPECT_EQ(GetMappedFileSize(a), 0u);
    UnmapFile(a); // no longer held: ignored
    UnmapFile(nullptr);
    UnmapFile(b);
}

TEST(MappedFile, TableHolds256Mappings)
{
    CTempFolder tmp;
    tmp.Write("f", "x");
    const std::string path = tmp / "f";
    std::vector<const void*> views;
    for (size_t i = 0; i < kMaxMappedFiles; ++i) {
        views.push_back(MapFileReadOnlyA(path.c_str(), nullptr));
        ASSERT_NE(views.back(), nullptr) << i;
    }
    EXPECT_EQ(MapFileReadOnlyA(path.c_str(), nullptr), nullptr);
    UnmapFile(views[100]);
    views[100] = MapFileReadOnlyA(path.c_str(), nullptr);
    EXPECT_NE(views[100], nullptr);
    EXPECT_EQ(MapFileReadOnlyA(path.c_str(), nullptr), nullptr);
    for (const void* v : views)
        UnmapFile(v);
    const void* again = MapFileReadOnlyA(path.c_str(), nullptr);
    EXPECT_NE(again, nullptr);
    UnmapFile(again);
}
