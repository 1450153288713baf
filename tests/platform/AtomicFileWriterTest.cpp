#include "core/TempFolder.h"

#include "platform/AtomicFile.h"
#include "platform/AtomicFileWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using lv::platform::CAtomicFileWriter;
using lv::platform::EAtomicWriteFault;

std::string AtomicFileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t AtomicFileCount(const std::filesystem::path& folder)
{
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += entry.is_regular_file() ? 1 : 0;
    return count;
}

class AtomicFileWriter : public testing::Test
{
protected:
    void TearDown() override
    {
        lv::platform::SetAtomicWriteFault(EAtomicWriteFault::None);
        lv::platform::SetAtomicWriteFailAfter(-1);
    }
    CTempFolder Folder;
};

TEST_F(AtomicFileWriter, TheTargetChangesOnlyAtCommit)
{
    const std::filesystem::path target = Folder.Path() / "save";
    std::ofstream(target) << "old";
    CAtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(target.string().c_str()));
    ASSERT_TRUE(writer.Write("new ", 4));
    ASSERT_TRUE(writer.Write("bytes", 5));
    ASSERT_TRUE(writer.Finish());
    EXPECT_EQ(AtomicFileText(target), "old");
    EXPECT_EQ(AtomicFileCount(Folder.Path()), 2u);
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(AtomicFileText(target), "new bytes");
    EXPECT_EQ(AtomicFileCount(Folder.Path()), 1u);

    // Dropped before the commit: nothing stays behind.
    {
        CAtomicFileWriter dropped;
        ASSERT_TRUE(dropped.Open(target.string().c_str()));
        ASSERT_TRUE(dropped.Write("x", 1));
    }
    EXPECT_EQ(AtomicFileText(target), "new bytes");
    EXPECT_EQ(AtomicFileCount(Folder.Path()), 1u);
}

TEST_F(AtomicFileWriter, EachFaultLeavesTheTargetAndNoTemporaryFile)
{
    const std::filesystem::path target = Folder.Path() / "save";
    const struct
    {
        s64 failAfter;
        EAtomicWriteFault fault;
    } rows[] = {{0, EAtomicWriteFault::None}, {3, EAtomicWriteFault::None}, {-1, EAtomicWriteFault::Sync},
                {-1, EAtomicWriteFault::Rename}};
    for (const auto& row : rows)
    {
        std::ofstream(target, std::ios::trunc) << "old";
        lv::platform::SetAtomicWriteFailAfter(row.failAfter);
        lv::platform::SetAtomicWriteFault(row.fault);
        EXPECT_EQ(lv::platform::WriteFileAtomically(target.string().c_str(), "replacement", 11),
                  lv::platform::EAtomicWriteResult::WriteFailed);
        EXPECT_EQ(AtomicFileText(target), "old");
        EXPECT_EQ(AtomicFileCount(Folder.Path()), 1u);
    }
    lv::platform::SetAtomicWriteFailAfter(-1);
    lv::platform::SetAtomicWriteFault(EAtomicWriteFault::None);
    EXPECT_EQ(lv::platform::WriteFileAtomically(target.string().c_str(), "replacement", 11),
              lv::platform::EAtomicWriteResult::Ok);
    EXPECT_EQ(AtomicFileText(target), "replacement");
}

TEST_F(AtomicFileWriter, ALinkGivesTheFileASecondNameAndLeavesNoTemporaryName)
{
    const std::filesystem::path save = Folder.Path() / "save";
    const std::filesystem::path backup = Folder.Path() / "save.bp";
    std::ofstream(save) << "first";
    std::ofstream(backup) << "older";
    ASSERT_TRUE(lv::platform::LinkFileOver(save.string().c_str(), backup.string().c_str()));
    EXPECT_EQ(AtomicFileText(backup), "first");
    EXPECT_EQ(AtomicFileCount(Folder.Path()), 2u);
    // Both already name one file: the rename does nothing, which must not leave its temporary name.
    ASSERT_TRUE(lv::platform::LinkFileOver(save.string().c_str(), backup.string().c_str()));
    EXPECT_EQ(AtomicFileCount(Folder.Path()), 2u);
    // Replacing the save keeps the second name's content.
    ASSERT_EQ(lv::platform::WriteFileAtomically(save.string().c_str(), "second", 6), lv::platform::EAtomicWriteResult::Ok);
    EXPECT_EQ(AtomicFileText(backup), "first");

    lv::platform::SetAtomicWriteFault(EAtomicWriteFault::Rename);
    EXPECT_FALSE(lv::platform::LinkFileOver(save.string().c_str(), backup.string().c_str()));
    EXPECT_EQ(AtomicFileText(backup), "first");
    EXPECT_FALSE(lv::platform::LinkFileOver((Folder.Path() / "missing").string().c_str(), backup.string().c_str()));
    EXPECT_EQ(AtomicFileCount(Folder.Path()), 2u);
}

} // namespace
