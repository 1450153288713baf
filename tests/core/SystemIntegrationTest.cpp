#include "support/RecordingSystemIntegration.h"

#include "core/WindowMessageStack.h"
#include "platform/WindowMessages.h"

#include <gtest/gtest.h>

using lv::core::CSystemIntegration;

namespace {

class CClientLog : public CSystemIntegration::CClient
{
public:
    explicit CClientLog(CRecordingSystemIntegration& platform) : m_Platform(platform) {}
    void UpdateFrame() override { m_Platform.Log("frame"); }
    void Render() override { m_Platform.Log("render"); }
    void HandleWindowMessage() override
    {
        CWindowMessage& m = m_Platform.GetCurrentMessage();
        m_Platform.Log("message 0x%x", m.Message);
        if (OnMessage)
            OnMessage(m);
    }
    std::function<void(CWindowMessage&)> OnMessage;

private:
    CRecordingSystemIntegration& m_Platform;
};

} // namespace

TEST(WindowMessages, ParameterWords)
{
    EXPECT_EQ(GET_X_LPARAM(MAKELPARAM(-5, 300)), -5);
    EXPECT_EQ(GET_Y_LPARAM(MAKELPARAM(-5, 300)), 300);
    EXPECT_EQ(GET_Y_LPARAM(MAKELPARAM(10, -32768)), -32768);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(MAKEWPARAM(MK_SHIFT, -120)), -120);
    EXPECT_EQ(LOWORD(MAKEWPARAM(MK_SHIFT, -120)), MK_SHIFT);
    EXPECT_EQ(HIWORD(0xABCD1234u), 0xABCD);
}

TEST(SystemIntegration, LatestLiveObjectIsCurrent)
{
    EXPECT_EQ(CSystemIntegration::Current(), nullptr);
    {
        CRecordingSystemIntegration first;
        EXPECT_EQ(CSystemIntegration::Current(), &first);
        {
            CRecordingSystemIntegration second;
            EXPECT_EQ(CSystemIntegration::Current(), &second);
        }
        // The older object is not brought back: only one platform layer exists in a process.
        EXPECT_EQ(CSystemIntegration::Current(), nullptr);
    }
    EXPECT_EQ(CSystemIntegration::Current(), nullptr);
}

TEST(SystemIntegration, BaseOperationsAreHarmless)
{
    CRecordingSystemIntegration platform;
    EXPECT_TRUE(platform.CSystemIntegration::ReservedOperation(5));
    platform.CSystemIntegration::SetGestureEnabled(1, true);
    CSystemIntegration::SetClient(nullptr);
    platform.OnFrame();
    platform.OnRender();
    platform.OnWindowMessage();
    EXPECT_TRUE(platform.Calls.empty());
}

TEST(SystemIntegration, LoopTakesOneMessagePerFrameAndStopsBeforeTheNextFrameOnQuit)
{
    CRecordingSystemIntegration platform;
    CClientLog client(platform);
    CSystemIntegration::SetClient(&client);
    client.OnMessage = [&](CWindowMessage& m) {
        if (m.Message == WM_CLOSE)
            platform.RequestQuit();
    };
    platform.PostMessage(nullptr, WM_KEYDOWN, 'A', 0);
    platform.PostMessage(nullptr, WM_CLOSE, 0, 0);
    platform.PostMessage(nullptr, WM_KEYUP, 'A', 0);
    platform.Calls.clear();
    platform.Run();
    CSystemIntegration::SetClient(nullptr);
    const std::vector<std::string> expected = {"Run",    "message 0x100", "frame",
                                               "render", "message 0x10",  "RequestQuit"};
    EXPECT_EQ(platform.Calls, expected);
    EXPECT_EQ(platform.Queue.size(), 1u);
}

TEST(WindowMessageStack, InnerMessageDoesNotOverwriteTheOuterRecord)
{
    CRecordingSystemIntegration platform;
    CClientLog client(platform);
    CSystemIntegration::SetClient(&client);
    std::vector<u32> seenAfterInner;
    client.OnMessage = [&](CWindowMessage& m) {
        if (m.Message == WM_CLOSE) {
            // A window call that sends a message synchronously while this one is handled.
            platform.Send(WM_SIZE, SIZE_MINIMIZED, 0);
            CWindowMessage& again = platform.GetCurrentMessage();
            seenAfterInner.push_back(again.Message);
            EXPECT_EQ(&again, &m);
            m.Result = 7;
        } else {
            m.Result = 3;
        }
    };
    EXPECT_EQ(platform.Send(WM_CLOSE), 7);
    CSystemIntegration::SetClient(nullptr);
    EXPECT_EQ(seenAfterInner, std::vector<u32>{WM_CLOSE});
    EXPECT_EQ(platform.Messages.GetDepth(), 0u);
    EXPECT_EQ(platform.GetCurrentMessage().Message, WM_NULL);
}

TEST(WindowMessageStack, EmptyStackGivesAFreshEmptyRecord)
{
    lv::core::CWindowMessageStack stack;
    stack.Top().Result = 99;
    EXPECT_EQ(stack.Top().Result, 0);
    EXPECT_EQ(stack.Pop(), 0);
    stack.Push(nullptr, WM_CHAR, 'x', 5, 42).Result = 11;
    EXPECT_EQ(stack.Top().Time, 42u);
    EXPECT_EQ(stack.Pop(), 11);
}
