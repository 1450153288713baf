#include "RecordingRenderer.h"
#include "RecordingWindow.h"
#include "support/RecordingSystemIntegration.h"

#include "gui/CursorManager.h"
#include "gui/InputDispatcher.h"
#include "gui/InputReplayer.h"
#include "gui/Widget.h"

#include <gtest/gtest.h>

using lv::gui::CBaseWidget;
using lv::gui::CCursorManager;
using lv::gui::CInputDispatcher;

namespace {

class InputDispatcher : public testing::Test
{
protected:
    void SetUp() override
    {
        lv::gui::CInputReplayer::Instance().Stop();
        CCursorManager::Instance().SetHidden(false);
        CCursorManager::Instance().SetCursor(CCursorManager::kPointer);
    }

    boost::intrusive_ptr<CRecordingWindow> MakeRoot(const char* name = "root")
    {
        boost::intrusive_ptr<CRecordingWindow> w(new CRecordingWindow(name, Log));
        w->SetSize(2000, 2000);
        return w;
    }

    // A root in place, with the log cleared.
    boost::intrusive_ptr<CRecordingWindow> Installed()
    {
        auto root = MakeRoot();
        Dispatcher.SetRoot(root);
        Dispatcher.Update();
        Log.clear();
        Platform.Calls.clear();
        return root;
    }

    std::vector<std::string> Log;
    CRecordingSystemIntegration Platform;
    CInputDispatcher Dispatcher;
};

} // namespace

TEST_F(InputDispatcher, RootSwitchesAtTheNextUpdateOnly)
{
    auto a = MakeRoot("a"), b = MakeRoot("b"), c = MakeRoot("c");
    Dispatcher.SetRoot(a);
    EXPECT_EQ(Dispatcher.GetRoot(), nullptr);
    Dispatcher.Update();
    EXPECT_EQ(Dispatcher.GetRoot(), a);
    // Set twice before the next frame: only the second becomes the root.
    Dispatcher.SetRoot(b);
    Dispatcher.SetRoot(c);
    Dispatcher.Update();
    EXPECT_EQ(Dispatcher.GetRoot(), c);
    const std::vector<std::string> expected = {"a activate", "a update", "a deactivate", "c activate",
                                               "c update"};
    EXPECT_EQ(Log, expected);
}

TEST_F(InputDispatcher, DisabledRootNeitherUpdatesNorDrawsAndClosedRootIsDropped)
{
    CRecordingRenderer recording;
    auto Target = [&]() -> lv::graphics::CRenderer& { return *recording.Renderer; };
    auto root = Installed();
    root->SetFlags(CBaseWidget::Hidden);
    Dispatcher.Update();
    Dispatcher.Render(Target());
    root->SetFlags(CBaseWidget::Disabled);
    Dispatcher.Update();
    Dispatcher.Render(Target());
    root->SetFlags(CBaseWidget::Closed);
    Dispatcher.Render(Target());
    Dispatcher.Update();
    EXPECT_EQ(Dispatcher.GetRoot(), nullptr);
    // A hidden root (flag 1) still updates and is asked to draw; it draws no children itself.
    const std::vector<std::string> expected = {"root update", "root draw"};
    EXPECT_EQ(Log, expected);
}

TEST_F(InputDispatcher, ReleaseDropsCurrentAndPendingRoots)
{
    Installed();
    Dispatcher.SetRoot(MakeRoot("next"));
    Dispatcher.Release();
    Dispatcher.Update();
    EXPECT_EQ(Dispatcher.GetRoot(), nullptr);
    EXPECT_TRUE(Log.empty());
}

TEST_F(InputDispatcher, MouseEventsGoThroughTwoPassesKeysThroughOne)
{
    EXPECT_EQ(Dispatcher.DispatchMouseDown(CPoint2i(1, 2), 0, 0, 0), -1);
    EXPECT_EQ(Dispatcher.DispatchKeyDown('A', 0, 0), -1);
    auto root = Installed();
    EXPECT_EQ(Dispatcher.DispatchMouseDown(CPoint2i(1, 2), 1, 2, 0), 0);
    root->Handles = true;
    EXPECT_EQ(Dispatcher.DispatchKeyDown('A', 4, 9), 1);
    EXPECT_EQ(Dispatcher.DispatchMouseWheel(CPoint2i(3, 4), -2, 0), 1);
    const std::vector<std::string> expected = {
        "root down 1,2 pass0 arg1 flags2", "root down 1,2 pass1 arg1 flags2",
        "root keydown 65 flags4 data9 pass0", "root wheel 3,4 pass0 arg-2 flags0",
        "root wheel 3,4 pass1 arg-2 flags0"};
    EXPECT_EQ(Log, expected);
}

TEST_F(InputDispatcher, RootClosedOrDisabledInTheFirstPassGetsNoSecond)
{
    for (u32 flag : {u32(CBaseWidget::Closed), u32(CBaseWidget::Disabled)}) {
        auto root = Installed();
        root->DuringPass = [&](u8) { root->AddFlags(flag); };
        Dispatcher.DispatchMouseUp(CPoint2i(5, 5), 0, 0, 0);
        EXPECT_EQ(Log, std::vector<std::string>{"root up 5,5 pass0 arg0 flags0"}) << flag;
        Log.clear();
        EXPECT_EQ(Dispatcher.DispatchMouseUp(CPoint2i(5, 5), 0, 0, 0), 0);
        EXPECT_EQ(Dispatcher.DispatchChar('x', 0, 0), 0);
        EXPECT_TRUE(Log.empty());
    }
}

TEST_F(InputDispatcher, ZeroScaleIgnoresMouseMessages)
{
    // A minimised window reports a zero scale; the conversion must not divide by it.
    Installed();
    Dispatcher.SetScreenArea(CFloatRect(0, 0, 0, 0), CVector2(0, 0.5f));
    Dispatcher.HandleMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));
    Dispatcher.HandleMessage(nullptr, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    Dispatcher.HandleMessage(nullptr, WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
    Dispatcher.HandleMessage(nullptr, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(10, 20));
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(Platform.Count("SetCapture"), 0u);
    // Keys still arrive.
    Dispatcher.HandleMessage(nullptr, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(Log.size(), 1u);
}

namespace {

class CRecordingRecognizer : public lv::gui::CGestureRecognizer
{
public:
    CRecordingRecognizer(std::vector<std::string>& log) : CGestureRecognizer(7), m_Log(log) {}
    void TouchesBegan(const CPoints& p, s32 t) override { Add("began", p, t); }
    void TouchesMoved(const CPoints& p, s32 t) override { Add("moved", p, t); }
    void TouchesEnded(const CPoints& p, s32 t) override
    {
        Add("ended", p, t);
        m_State = 3;
    }
    void Update() override { m_Log.push_back("rec update"); }
    void Reset() override
    {
        m_Log.push_back("rec reset");
        m_State = 0;
    }

private:
    void Add(const char* what, const CPoints& p, s32 t)
    {
        m_Log.push_back(std::string("rec ") + what + " " + std::to_string(p.at(0).X) + "," +
                        std::to_string(p.at(0).Y) + " t" + std::to_string(t));
    }
    std::vector<std::string>& m_Log;
};

} // namespace

TEST_F(InputDispatcher, GestureRecognizersWatchTheMouse)
{
    auto root = Installed();
    Dispatcher.SetScreenArea(CFloatRect(10, 0, 100, 100), CVector2(2, 2));
    auto& list = Dispatcher.GetGestureRecognizers();
    auto recognizer = boost::shared_ptr<lv::gui::CGestureRecognizer>(new CRecordingRecognizer(Log));
    list.Add(recognizer);
    list.Add(recognizer);
    EXPECT_EQ(list.GetCount(), 1u);
    EXPECT_TRUE(list.Contains(recognizer));
    EXPECT_EQ(Platform.Calls, std::vector<std::string>{"SetGestureEnabled 7 1"});
    Dispatcher.DispatchMouseDown(CPoint2i(1, 2), 0, 0, 5);
    Dispatcher.DispatchMouseMove(CPoint2i(3, 4), 0, 6);
    Dispatcher.DispatchMouseUp(CPoint2i(3, 4), 0, 0, 7);
    // Finished: no moves and no update until the next press resets it.
    Dispatcher.DispatchMouseMove(CPoint2i(3, 4), 0, 8);
    Dispatcher.Update();
    Log.erase(
        std::remove_if(Log.begin(), Log.end(), [](const std::string& l) { return l.rfind("root", 0) == 0; }),
        Log.end());
    Dispatcher.DispatchMouseDown(CPoint2i(0, 0), 0, 0, 9);
    Log.resize(5);
    const std::vector<std::string> expected = {"rec began 12,4 t5", "rec moved 16,8 t6", "rec ended 16,8 t7",
                                               "rec reset", "rec began 10,0 t9"};
    EXPECT_EQ(Log, expected);
    list.Remove(recognizer);
    EXPECT_FALSE(list.Contains(recognizer));
}

TEST_F(InputDispatcher, MessagesTranslateIntoDispatchCalls)
{
    Installed();
    Dispatcher.SetScreenArea(CFloatRect(0, 0, 1366, 768), CVector2(1, 1));
    const LPARAM at = MAKELPARAM(10, 20);
    struct Case
    {
        u32 message;
        WPARAM wParam;
        LPARAM lParam;
        std::vector<std::string> log;
    } cases[] = {
        {WM_LBUTTONDOWN, 0, at, {"root down 10,20 pass0 arg0 flags0", "root down 10,20 pass1 arg0 flags0"}},
        {WM_LBUTTONUP, MK_SHIFT, at, {"root up 10,20 pass0 arg0 flags1", "root up 10,20 pass1 arg0 flags1"}},
        {WM_LBUTTONDBLCLK,
         MK_CONTROL,
         at,
         {"root dblclk 10,20 pass0 arg0 flags2", "root dblclk 10,20 pass1 arg0 flags2"}},
        {WM_RBUTTONDOWN, 0, at, {"root down 10,20 pass0 arg1 flags0", "root down 10,20 pass1 arg1 flags0"}},
        {WM_RBUTTONUP, 0, at, {"root up 10,20 pass0 arg1 flags0", "root up 10,20 pass1 arg1 flags0"}},
        // A right double click is a second press, not a double click.
        {WM_RBUTTONDBLCLK, 0, at, {"root down 10,20 pass0 arg1 flags0", "root down 10,20 pass1 arg1 flags0"}},
        {WM_MBUTTONDOWN, 0, at, {"root down 10,20 pass0 arg2 flags0", "root down 10,20 pass1 arg2 flags0"}},
        {WM_MBUTTONUP, 0, at, {"root up 10,20 pass0 arg2 flags0", "root up 10,20 pass1 arg2 flags0"}},
        {WM_MBUTTONDBLCLK, 0, at, {}},
        {WM_MOUSEMOVE, 0, at, {"root move 10,20 pass0 arg0 flags0", "root move 10,20 pass1 arg0 flags0"}},
        // The wheel carries a screen position; the client area starts at (100, 50).
        {WM_MOUSEWHEEL,
         MAKEWPARAM(0, 120),
         MAKELPARAM(110, 70),
         {"root wheel 10,20 pass0 arg1 flags0", "root wheel 10,20 pass1 arg1 flags0"}},
        {WM_MOUSEWHEEL,
         MAKEWPARAM(0, 60),
         MAKELPARAM(110, 70),
         {"root wheel 10,20 pass0 arg0 flags0", "root wheel 10,20 pass1 arg0 flags0"}},
        {WM_MOUSEWHEEL,
         MAKEWPARAM(MK_SHIFT, -240),
         MAKELPARAM(110, 70),
         {"root wheel 10,20 pass0 arg-2 flags1", "root wheel 10,20 pass1 arg-2 flags1"}},
        {WM_KEYDOWN, VK_LEFT, 7, {"root keydown 10000 flags0 data7 pass0"}},
        {WM_SYSKEYDOWN, VK_F12, 7, {"root keydown 10026 flags0 data7 pass0"}},
        {WM_KEYUP, 'Q', 7, {"root keyup 81 flags0 data7 pass0"}},
        {WM_SYSKEYUP, VK_SHIFT, 7, {"root keyup 0 flags0 data7 pass0"}},
        {WM_CHAR, 0x10436, 7, {"root char 1078 flags0 data7 pass0"}},
        {WM_DEADCHAR, '^', 7, {}},
        {WM_SIZE, 0, 0, {}},
    };
    for (const Case& c : cases) {
        Log.clear();
        Dispatcher.HandleMessage(nullptr, c.message, c.wParam, c.lParam);
        EXPECT_EQ(Log, c.log) << std::hex << c.message;
    }
}

TEST_F(InputDispatcher, ModifierBits)
{
    Installed();
    Platform.KeysDown = {VK_MENU};
    Dispatcher.HandleMessage(nullptr, WM_LBUTTONDOWN, MK_SHIFT | MK_CONTROL, 0);
    Platform.KeysDown = {VK_SHIFT, VK_CONTROL};
    Dispatcher.HandleMessage(nullptr, WM_KEYDOWN, 'A', 0);
    ASSERT_EQ(Log.size(), 3u);
    EXPECT_EQ(Log[0], "root down 0,0 pass0 arg0 flags7");
    EXPECT_EQ(Log[2], "root keydown 65 flags3 data0 pass0");
}

TEST_F(InputDispatcher, KeyTranslation)
{
    const std::pair<s32, s32> cases[] = {
        {'0', '0'},           {'9', '9'},        {'A', 'A'},
        {'Z', 'Z'},           {VK_RIGHT, 10001}, {VK_UP, 10002},
        {VK_DOWN, 10003},     {VK_HOME, 10004},  {VK_END, 10005},
        {VK_PRIOR, 10006},    {VK_NEXT, 10007},  {VK_INSERT, 10008},
        {VK_DELETE, 10009},   {VK_SPACE, 10010}, {VK_BACK, 10011},
        {VK_RETURN, 10012},   {VK_TAB, 10013},   {VK_ESCAPE, 10014},
        {VK_F1, 10015},       {VK_OEM_2, 10027}, {VK_OEM_MINUS, 10029},
        {VK_OEM_PLUS, 10030}, {'a', 0},          {0x60, 0},
        {VK_CONTROL, 0},
    };
    for (const auto& [vk, key] : cases)
        EXPECT_EQ(CInputDispatcher::TranslateKey(vk), key) << vk;
}

TEST_F(InputDispatcher, ClientPointsMapThroughThePictureAreaIntoTheRoot)
{
    auto root = Installed();
    Dispatcher.SetScreenArea(CFloatRect(100, 50, 683, 384), CVector2(0.5f, 0.5f));
    Dispatcher.HandleMessage(nullptr, WM_LBUTTONDOWN, 0, MAKELPARAM(441, 242));
    EXPECT_EQ(Log.front(), "root down 682,384 pass0 arg0 flags0");
    EXPECT_EQ(Dispatcher.RootToScreen(CPoint2i(682, 384)), CPoint2i(441, 242));
    // The root's own position moves its local coordinates.
    root->SetPosition(2.5f, 0);
    EXPECT_EQ(Dispatcher.ScreenToRoot(CPoint2i(441, 242)), CPoint2i(680, 384));
}

TEST_F(InputDispatcher, MouseMovesStayInsideThePicture)
{
    Installed();
    Dispatcher.SetScreenArea(CFloatRect(0, 100, 800, 450), CVector2(1, 1));
    // Windowed: a point over the bar is clamped onto the picture's edge and delivered.
    Dispatcher.HandleMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(30, 20));
    EXPECT_EQ(Log.front(), "root move 30,0 pass0 arg0 flags0");
    EXPECT_EQ(CCursorManager::Instance().GetMousePosition(), CPoint2i(30, 0));
    // Full screen: the cursor is put back on the edge and no move is sent.
    Log.clear();
    Platform.Calls.clear();
    Dispatcher.SetFullscreen(true);
    Dispatcher.HandleMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(30, 20));
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(Platform.Calls, std::vector<std::string>{"SetCursorPos 130 150"});
    // The edge itself counts as inside.
    Dispatcher.HandleMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(800, 550));
    EXPECT_EQ(Log.front(), "root move 800,450 pass0 arg0 flags0");
}

TEST_F(InputDispatcher, MouseMoveResetsTheCursorAndAppliesIt)
{
    Installed();
    Dispatcher.SetScreenArea(CFloatRect(0, 0, 800, 600), CVector2(1, 1));
    CCursorManager::Instance().SetCursor(CCursorManager::kHand);
    Dispatcher.HandleMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(CCursorManager::Instance().GetCursor(), CCursorManager::kPointer);
    EXPECT_EQ(Platform.Calls, (std::vector<std::string>{"SetCursorInfo 32512 1", "ShowSystemCursor 1"}));
}

TEST_F(InputDispatcher, CaptureFollowsHeldButtons)
{
    Installed();
    Dispatcher.HandleMessage(nullptr, WM_LBUTTONUP, 0, 0); // pressed outside the window
    Dispatcher.HandleMessage(nullptr, WM_LBUTTONDOWN, 0, 0);
    Dispatcher.HandleMessage(nullptr, WM_RBUTTONDOWN, 0, 0);
    Dispatcher.HandleMessage(nullptr, WM_RBUTTONUP, 0, 0);
    EXPECT_TRUE(Platform.HasCapture);
    Dispatcher.HandleMessage(nullptr, WM_LBUTTONUP, 0, 0);
    EXPECT_FALSE(Platform.HasCapture);
    EXPECT_EQ(Platform.Count("SetCapture"), 1u);
    EXPECT_EQ(Platform.Count("ReleaseCapture"), 1u);
}

TEST_F(InputDispatcher, LiveMessagesAreIgnoredWhileRecordedInputPlays)
{
    Installed();
    auto& replayer = lv::gui::CInputReplayer::Instance();
    replayer.Start();
    ASSERT_TRUE(replayer.IsPlaying());
    EXPECT_EQ(Dispatcher.HandleMessage(nullptr, WM_LBUTTONDOWN, 0, 0), 0);
    EXPECT_EQ(Dispatcher.HandleMessage(nullptr, WM_KEYDOWN, 'A', 0), 0);
    replayer.Stop();
    EXPECT_TRUE(Log.empty());
}

namespace {

// A child that asks for gestures 3 and 5 and logs them in its own coordinates.
class CGestureChild final : public lv::gui::CWidget
{
public:
    explicit CGestureChild(std::vector<std::string>& log)
        : CWidget(CFixedString("child"), 0, 2048 | 8192), m_Log(log)
    {
    }
    bool OnGesture3(const CPoint2i& p, s32 value, u8 pass) override
    {
        m_Log.push_back("g3 " + std::to_string(p.X) + "," + std::to_string(p.Y) + " v" + std::to_string(value) +
                        " pass" + std::to_string(pass));
        return true;
    }
    bool OnGesture5(const CPoint2i& p, float a, float b, s32 value, u8 pass) override
    {
        m_Log.push_back("g5 " + std::to_string(p.X) + "," + std::to_string(p.Y) + " " + std::to_string(a + b) +
                        " v" + std::to_string(value) + " pass" + std::to_string(pass));
        return false;
    }

private:
    std::vector<std::string>& m_Log;
};

} // namespace

TEST_F(InputDispatcher, GesturesTakeClientPointsAndRouteLikeTheMouse)
{
    auto root = Installed();
    boost::intrusive_ptr<CGestureChild> child(new CGestureChild(Log));
    child->SetPosition(100, 100);
    child->SetSize(50, 50);
    root->AddChild(child);
    Dispatcher.Update();
    Log.clear();
    Dispatcher.SetScreenArea(CFloatRect(10, 0, 1000, 1000), CVector2(0.5f, 0.5f));
    // Client (70, 60) is root (120, 120): inside the child, which takes it in both passes.
    EXPECT_EQ(Dispatcher.DispatchGesture3(CPoint2i(70, 60), 7), 1);
    // Outside the child only the second pass reaches it, by its mask; it declines.
    EXPECT_EQ(Dispatcher.DispatchGesture5(CPoint2i(510, 500), 1.5f, 1.0f, 3), 0);
    // Nobody asked for gesture 1.
    EXPECT_EQ(Dispatcher.DispatchGesture1(CPoint2i(70, 60)), 0);
    const std::vector<std::string> expected = {"g3 20,20 v7 pass0", "g3 20,20 v7 pass1",
                                               "g5 900,900 2.500000 v3 pass1"};
    EXPECT_EQ(Log, expected);
}
