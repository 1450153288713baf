#include "platform/SdlEventTranslator.h"

#include "platform/SyntheticInput.h"
#include "platform/Utf16.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lv::platform;

namespace {

HWND const kWindow = reinterpret_cast<HWND>(0x1000);

class SdlEventTranslator : public testing::Test
{
protected:
    SdlEventTranslator()
    {
        m_Translator.SetMainWindow(kWindow, 0);
        m_Translator.SetClientSize(1366, 768);
        m_Translator.SetDesktopMode(1920, 1080, 32);
    }

    std::vector<CWindowMessage> Feed(std::initializer_list<SSyntheticEvent> events)
    {
        std::vector<CWindowMessage> out;
        for (const SSyntheticEvent& e : events)
            TranslateSyntheticEvent(m_Translator, e, out);
        return out;
    }
    static std::vector<u32> Codes(const std::vector<CWindowMessage>& messages)
    {
        std::vector<u32> codes;
        for (const CWindowMessage& m : messages)
            codes.push_back(m.Message);
        return codes;
    }
    bool Held(s32 vk) const { return (m_Translator.GetAsyncKeyState(vk) & 0x8000) != 0; }

    CSdlEventTranslator m_Translator;
};

SSyntheticEvent Key(ESyntheticEvent type, const char* name)
{
    SSyntheticEvent e;
    e.Type = type;
    e.Key = name;
    return e;
}
SSyntheticEvent Down(const char* name)
{
    return Key(ESyntheticEvent::KeyDown, name);
}
SSyntheticEvent Up(const char* name)
{
    return Key(ESyntheticEvent::KeyUp, name);
}
SSyntheticEvent Button(ESyntheticEvent type, s32 button, s32 clicks, s32 x, s32 y, u32 time = 0)
{
    SSyntheticEvent e;
    e.Type = type;
    e.Button = button;
    e.Clicks = clicks;
    e.X = x;
    e.Y = y;
    e.Time = time;
    return e;
}
SSyntheticEvent Window(ESyntheticEvent type)
{
    SSyntheticEvent e;
    e.Type = type;
    return e;
}

} // namespace

TEST_F(SdlEventTranslator, DoubleClickArrivesAsDownUpDoubleClickUp)
{
    const auto messages = Feed({Button(ESyntheticEvent::ButtonDown, 1, 1, 10, 20, 100),
                                Button(ESyntheticEvent::ButtonUp, 1, 1, 10, 20, 150),
                                Button(ESyntheticEvent::ButtonDown, 1, 2, 11, 21, 200),
                                Button(ESyntheticEvent::ButtonUp, 1, 2, 11, 21, 250)});
    EXPECT_EQ(Codes(messages), (std::vector<u32>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
    // Button state while held, position and the event's time travel with every message.
    EXPECT_EQ(messages[0].WParam, MK_LBUTTON);
    EXPECT_EQ(messages[1].WParam, 0u);
    EXPECT_EQ(GET_X_LPARAM(messages[2].LParam), 11);
    EXPECT_EQ(GET_Y_LPARAM(messages[2].LParam), 21);
    EXPECT_EQ(messages[2].Time, 200u);
    EXPECT_EQ(messages[3].Window, kWindow);

    // Right and middle buttons, and a third press of a series is a plain press again.
    const auto others = Feed({Button(ESyntheticEvent::ButtonDown, 3, 2, 0, 0), Button(ESyntheticEvent::ButtonUp, 3, 2, 0, 0),
                              Button(ESyntheticEvent::ButtonDown, 2, 1, 0, 0), Button(ESyntheticEvent::ButtonDown, 1, 3, 0, 0)});
    EXPECT_EQ(Codes(others), (std::vector<u32>{WM_RBUTTONDBLCLK, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_LBUTTONDOWN}));
    EXPECT_EQ(others[3].WParam, MK_MBUTTON | MK_LBUTTON);
}

TEST_F(SdlEventTranslator, CtrlAltPIsAPlainKeyDownWithBothModifiersHeld)
{
    const auto messages = Feed({Down("Left Ctrl"), Down("Left Alt"), Down("P")});
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].Message, WM_KEYDOWN);
    EXPECT_EQ(messages[0].WParam, static_cast<WPARAM>(VK_CONTROL));
    EXPECT_EQ(messages[2].Message, WM_KEYDOWN);
    EXPECT_EQ(messages[2].WParam, static_cast<WPARAM>('P'));
    EXPECT_TRUE(Held(VK_CONTROL));
    EXPECT_TRUE(Held(VK_MENU));
    EXPECT_TRUE(Held('P'));

    Feed({Up("P"), Up("Left Alt"), Up("Left Ctrl")});
    EXPECT_FALSE(Held(VK_CONTROL));
    EXPECT_FALSE(Held(VK_MENU));
    EXPECT_FALSE(Held('P'));
}

TEST_F(SdlEventTranslator, AltWithoutCtrlMakesSystemKeys)
{
    const auto messages = Feed({Down("Left Alt"), Down("F4"), Up("F4"), Up("Left Alt"), Down("F10"), Down("Right Alt")});
    EXPECT_EQ(Codes(messages),
              (std::vector<u32>{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSKEYUP, WM_SYSKEYDOWN, WM_SYSKEYDOWN}));
    EXPECT_EQ(messages[1].WParam, static_cast<WPARAM>(VK_F4));
    // The context bit says Alt is down; a release has the transition and previous-state bits.
    EXPECT_NE(messages[1].LParam & (1 << 29), 0);
    EXPECT_EQ(static_cast<u64>(messages[2].LParam) & 0xC0000000u, 0xC0000000u);
    EXPECT_GE(messages[2].LParam, 0) << "the key-up bits stay inside the low 32 bits";
    EXPECT_EQ(messages[4].WParam, static_cast<WPARAM>(VK_F10));
}

TEST_F(SdlEventTranslator, KeysRepeatAndProduceControlCharacters)
{
    SSyntheticEvent repeat = Down("A");
    repeat.Repeat = true;
    const auto messages = Feed({Down("A"), repeat, Down("Return"), Down("Backspace"), Down("Escape")});
    EXPECT_EQ(Codes(messages), (std::vector<u32>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYDOWN, WM_CHAR, WM_KEYDOWN, WM_CHAR,
                                                 WM_KEYDOWN, WM_CHAR}));
    EXPECT_EQ(messages[0].LParam & (1 << 30), 0);
    EXPECT_NE(messages[1].LParam & (1 << 30), 0);
    EXPECT_EQ(messages[3].WParam, 0x0Du);
    EXPECT_EQ(messages[5].WParam, 0x08u);
    EXPECT_EQ(messages[7].WParam, 0x1Bu);
    // Keys the framework has no code for make no message.
    EXPECT_TRUE(Feed({Down("Menu")}).empty());
}

TEST_F(SdlEventTranslator, TextGivesOneCharPerUtf16Unit)
{
    SSyntheticEvent text;
    text.Type = ESyntheticEvent::Text;
    text.Key = "\xC3\xA9\xE2\x82\xAC";
    auto messages = Feed({text});
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].Message, WM_CHAR);
    EXPECT_EQ(messages[0].WParam, 0x00E9u);
    EXPECT_EQ(messages[1].WParam, 0x20ACu);

    // Outside the basic plane: a surrogate pair. Broken UTF-8: a replacement character each.
    text.Key = "\xF0\x9F\x98\x80";
    messages = Feed({text});
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].WParam, 0xD83Du);
    EXPECT_EQ(messages[1].WParam, 0xDE00u);
    text.Key = "\xC3" "a\xE2\x82";
    messages = Feed({text});
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].WParam, 0xFFFDu);
    EXPECT_EQ(messages[1].WParam, static_cast<WPARAM>('a'));
    EXPECT_EQ(messages[2].WParam, 0xFFFDu);

    // The text is decoded by the program's one codec, units and replacements alike.
    for (const char* bytes : {"\xC0\x80" "x", "\xED\xA0\x80", "\xF4\x90\x80\x80", "A\x80\xBF", "\xF8\x88\x80"}) {
        SCOPED_TRACE(bytes);
        text.Key = bytes;
        messages = Feed({text});
        const WString expected = Utf8ToUtf16(bytes);
        ASSERT_EQ(messages.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(messages[i].WParam, static_cast<WPARAM>(expected[i]));
    }
}

TEST_F(SdlEventTranslator, WheelNotchIs120InScreenCoordinates)
{
    m_Translator.SetClientOrigin(100, 50);
    SSyntheticEvent wheel;
    wheel.Type = ESyntheticEvent::Wheel;
    wheel.Wheel = 1.0f;
    wheel.X = 5;
    wheel.Y = 6;
    auto messages = Feed({wheel});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Message, WM_MOUSEWHEEL);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(messages[0].WParam), 120);
    EXPECT_EQ(GET_X_LPARAM(messages[0].LParam), 105);
    EXPECT_EQ(GET_Y_LPARAM(messages[0].LParam), 56);

    wheel.Wheel = -2.0f;
    messages = Feed({Down("Left Ctrl"), wheel});
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(messages[1].WParam), -240);
    EXPECT_EQ(LOWORD(messages[1].WParam), MK_CONTROL);

    wheel.Wheel = 0.0f;
    EXPECT_TRUE(Feed({wheel}).empty());
}

TEST_F(SdlEventTranslator, WindowStateChangesBecomeSizeActivateAndClose)
{
    const auto messages =
        Feed({Window(ESyntheticEvent::Minimized), Window(ESyntheticEvent::Restored), Window(ESyntheticEvent::Maximized),
              Window(ESyntheticEvent::FocusLost), Window(ESyntheticEvent::FocusGained), Window(ESyntheticEvent::Close),
              Window(ESyntheticEvent::Quit), Window(ESyntheticEvent::DisplayChanged)});
    EXPECT_EQ(Codes(messages), (std::vector<u32>{WM_SIZE, WM_SIZE, WM_SIZE, WM_ACTIVATEAPP, WM_ACTIVATEAPP, WM_CLOSE,
                                                 WM_CLOSE, WM_DISPLAYCHANGE}));
    EXPECT_EQ(messages[0].WParam, SIZE_MINIMIZED);
    EXPECT_EQ(messages[1].WParam, SIZE_RESTORED);
    EXPECT_EQ(LOWORD(static_cast<u64>(messages[1].LParam)), 1366);
    EXPECT_EQ(HIWORD(static_cast<u64>(messages[1].LParam)), 768);
    EXPECT_EQ(messages[2].WParam, SIZE_MAXIMIZED);
    EXPECT_EQ(messages[3].WParam, 0u);
    EXPECT_EQ(messages[4].WParam, 1u);
    EXPECT_EQ(messages[7].WParam, 32u);
    EXPECT_EQ(LOWORD(static_cast<u64>(messages[7].LParam)), 1920);
    EXPECT_EQ(HIWORD(static_cast<u64>(messages[7].LParam)), 1080);
}

TEST_F(SdlEventTranslator, LosingFocusReleasesHeldKeys)
{
    // Alt+Tab: the release of Alt goes to the other window.
    Feed({Down("Left Alt"), Window(ESyntheticEvent::FocusLost)});
    EXPECT_FALSE(Held(VK_MENU));
    const auto messages = Feed({Window(ESyntheticEvent::FocusGained), Down("S")});
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].Message, WM_KEYDOWN);
}

TEST_F(SdlEventTranslator, MouseMoveCarriesButtonsAndModifiers)
{
    SSyntheticEvent move;
    move.Type = ESyntheticEvent::MouseMove;
    move.X = -3;
    move.Y = 700;
    const auto messages = Feed({Down("Left Shift"), Button(ESyntheticEvent::ButtonDown, 3, 1, 0, 0), move});
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2].Message, WM_MOUSEMOVE);
    EXPECT_EQ(messages[2].WParam, MK_SHIFT | MK_RBUTTON);
    EXPECT_EQ(GET_X_LPARAM(messages[2].LParam), -3);
    EXPECT_EQ(GET_Y_LPARAM(messages[2].LParam), 700);
}
