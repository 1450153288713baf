#include "platform/SingleInstance.h"

#include "platform/ChildProcess.h"
#include "platform/Clock.h"
#include "platform/SystemInfo.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace lv::platform;

namespace {

// Points the lock folder at a fresh folder for one test.
class SingleInstance : public testing::Test
{
protected:
    void SetUp() override
    {
        const char* root = std::getenv("GAME_TEST_TMP");
        std::filesystem::path base = root && *root ? root : testing::TempDir();
        m_Folder = base / ("instance-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(m_Folder);
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        m_HadOld = old != nullptr;
        m_Old = old ? old : "";
        SetEnvironmentValue("XDG_RUNTIME_DIR", m_Folder.c_str());
    }
    void TearDown() override
    {
        if (m_HadOld)
            SetEnvironmentValue("XDG_RUNTIME_DIR", m_Old.c_str());
        else
            SetEnvironmentValue("XDG_RUNTIME_DIR", nullptr);
        std::error_code ec;
        std::filesystem::remove_all(m_Folder, ec);
    }

    bool WaitForFile(const std::filesystem::path& path)
    {
        for (int i = 0; i < 1000 && !std::filesystem::exists(path); ++i)
            SleepUs(5000);
        return std::filesystem::exists(path);
    }

    std::filesystem::path m_Folder;
    bool m_HadOld = false;
    std::string m_Old;
};

struct SFirstInstance
{
    const char* Product;
    std::string ReadyFile;
    bool WaitForNotification;
};

// The first instance: takes the lock, says so through a file, then waits for the second
// instance's notification (exit 7) or just keeps the lock until it is killed.
s32 RunFirstInstance(void* context)
{
    auto* first = static_cast<SFirstInstance*>(context);
    CSingleInstance instance;
    if (!instance.Acquire(first->Product) || !instance.IsHeld())
        return 2;
    std::ofstream(first->ReadyFile) << "ready";
    for (int i = 0; i < 2000; ++i) {
        if (first->WaitForNotification && instance.TakeNotification())
            return 7;
        SleepUs(5000);
    }
    return 3;
}

} // namespace

TEST_F(SingleInstance, SecondProcessIsRefusedAndNotifiesTheFirst)
{
    SFirstInstance first{"Mystery Manor", (m_Folder / "ready").string(), true};
    CChildProcess child;
    ASSERT_TRUE(child.Start(&RunFirstInstance, &first));
    ASSERT_TRUE(WaitForFile(first.ReadyFile));

    CSingleInstance second;
    EXPECT_FALSE(second.Acquire("Mystery Manor"));
    EXPECT_FALSE(second.IsHeld());

    SChildExit exit;
    ASSERT_TRUE(child.Wait(10000, exit));
    EXPECT_TRUE(exit.Exited);
    EXPECT_EQ(exit.Code, 7) << "the first instance got no notification";

    // The first one ended normally and gave the lock back.
    EXPECT_TRUE(second.Acquire("Mystery Manor"));
    EXPECT_TRUE(second.IsHeld());
}

TEST_F(SingleInstance, KilledHolderReleasesTheLockAndItsStaleSocketIsReplaced)
{
    SFirstInstance first{"Game", (m_Folder / "ready").string(), false};
    CChildProcess child;
    ASSERT_TRUE(child.Start(&RunFirstInstance, &first));
    ASSERT_TRUE(WaitForFile(first.ReadyFile));
    CSingleInstance blocked;
    EXPECT_FALSE(blocked.Acquire("Game"));

    child.Kill();
    SChildExit exit;
    ASSERT_TRUE(child.Wait(10000, exit));
    EXPECT_TRUE(exit.Signalled);
    EXPECT_EQ(exit.Signal, KillSignalNumber());

    CSingleInstance next;
    ASSERT_TRUE(next.Acquire("Game"));
    // The new holder listens where the killed one did.
    CSingleInstance third;
    EXPECT_FALSE(third.Acquire("Game"));
    bool notified = false;
    for (int i = 0; i < 200 && !notified; ++i) {
        notified = next.TakeNotification();
        if (!notified)
            SleepUs(5000);
    }
    EXPECT_TRUE(notified);
    EXPECT_FALSE(next.TakeNotification()) << "one notification is taken once";
}

TEST_F(SingleInstance, ProductsAreIndependentAndNamesStaySafe)
{
    CSingleInstance a, b, c;
    EXPECT_TRUE(a.Acquire("Game"));
    EXPECT_TRUE(b.Acquire("Other Game"));
    // Separators in the product never leave the lock folder.
    EXPECT_TRUE(c.Acquire("../evil/name"));
    for (const auto& entry : std::filesystem::directory_iterator(m_Folder))
        EXPECT_EQ(entry.path().parent_path(), m_Folder);
    EXPECT_EQ(CSingleInstance::LockPath("a/b").find("a/b"), std::string::npos);

    // A long product gets a short, stable name.
    const std::string longName(300, 'x');
    EXPECT_EQ(CSingleInstance::LockPath(longName.c_str()), CSingleInstance::LockPath(longName.c_str()));
    EXPECT_LT(CSingleInstance::LockPath(longName.c_str()).size(), m_Folder.string().size() + 100);

    // Giving the lock back lets the same process take it again.
    a.Release();
    EXPECT_FALSE(a.IsHeld());
    CSingleInstance again;
    EXPECT_TRUE(again.Acquire("Game"));
}

TEST_F(SingleInstance, TemporaryFolderNamesCarryTheUser)
{
    SetEnvironmentValue("XDG_RUNTIME_DIR", nullptr);
    const std::string path = CSingleInstance::LockPath("Game");
    EXPECT_EQ(path.rfind("GameMutexLV-", path.rfind('/') + 1), path.rfind('/') + 1);
    EXPECT_EQ(path.substr(path.size() - 5), ".lock");
    SetEnvironmentValue("XDG_RUNTIME_DIR", m_Folder.c_str());
    EXPECT_EQ(CSingleInstance::LockPath("Game"), (m_Folder / "GameMutexLV.lock").string());
    EXPECT_EQ(CSingleInstance::SocketPath("Game"), (m_Folder / "NotifyGame.sock").string());
}
