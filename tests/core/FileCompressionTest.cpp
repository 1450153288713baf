#include "core/FileCompression.h"

#include "TempFolder.h"
#include "core/TextConvert.h"

#include <cstdlib>
#include <filesystem>

using namespace lv::core;

namespace {

WString WideText(const std::string& s)
{
    return Utf8ToWide(s);
}

bool HaveGzipTool()
{
    return std::system("gzip --version >/dev/null 2>&1") == 0;
}

} // namespace

TEST(FileCompression, RoundTrips)
{
    CTempFolder tmp;
    std::string big;
    for (int i = 0; i < 100000; ++i)
        big += static_cast<char>((i * 7919) % 251);
    struct
    {
        const char* Name;
        std::string Bytes;
    } cases[] = {{"empty", ""}, {"small", "hello\n"}, {"big", big}};
    for (const auto& c : cases) {
        const std::string name = c.Name;
        tmp.Write(name, c.Bytes);
        ASSERT_TRUE(GzipFile(WideText(tmp / name).c_str(), WideText(tmp / (name + ".gz")).c_str())) << name;
        ASSERT_TRUE(GunzipFile(WideText(tmp / (name + ".gz")).c_str(), WideText(tmp / (name + ".out")).c_str()))
            << name;
        EXPECT_EQ(tmp.Read(name + ".out"), c.Bytes) << name;
        if (HaveGzipTool()) {
            EXPECT_EQ(std::system(("gzip -t '" + tmp / (name + ".gz") + "'").c_str()), 0) << name;
        }
    }
}

TEST(FileCompression, FailuresAreReported)
{
    CTempFolder tmp;
    tmp.Write("src", std::string(70000, 'a'));
    tmp.Write("empty", "");
    tmp.Write("plain", "not gzip data at all");
    ASSERT_TRUE(GzipFile(WideText(tmp / "src").c_str(), WideText(tmp / "src.gz").c_str()));
    const std::string gz = tmp.Read("src.gz");
    tmp.Write("cut.gz", gz.substr(0, gz.size() - 6));
    std::string badCrc = gz;
    badCrc[badCrc.size() - 6] ^= 0x55;
    tmp.Write("crc.gz", badCrc);

    const WString out = WideText(tmp / "out");
    EXPECT_FALSE(GzipFile(WideText(tmp / "missing").c_str(), out.c_str()));
    EXPECT_FALSE(GzipFile(WideText(tmp / "src").c_str(), WideText(tmp / "no/such/folder.gz").c_str()));
    EXPECT_FALSE(GunzipFile(WideText(tmp / "missing").c_str(), out.c_str()));
    EXPECT_FALSE(GunzipFile(WideText(tmp / "src.gz").c_str(), WideText(tmp / "no/such/folder").c_str()));
    for (const char* bad : {"cut.gz", "crc.gz", "plain", "empty"})
        EXPECT_FALSE(GunzipFile(WideText(tmp / bad).c_str(), out.c_str())) << bad;

    // A device that refuses every write: the failure shows only when the data is flushed.
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(GzipFile(WideText(tmp / "src").c_str(), u"/dev/full"));
        EXPECT_FALSE(GunzipFile(WideText(tmp / "src.gz").c_str(), u"/dev/full"));
    }
}
