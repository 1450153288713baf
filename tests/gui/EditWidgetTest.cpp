#include "RecordingRenderer.h"
#include "WidgetTestSupport.h"

#include "gui/EditWidget.h"
#include "gui/InputDispatcher.h"
#include "gui/TextLocale.h"
#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

#include <stdexcept>

using lv::gui::CEditWidget;
using lv::gui::CInputDispatcher;

namespace {

// Glyphs 5 wide plus a symbol gap of 1: six pixels a character, lines 10 high.
const char* const kEditTemplates =
    "<scroll_template id=\"sb\" back_image=\"sb_back\" thumb_image=\"sb_thumb\" top_image=\"sb_arrow\" "
    "bottom_image=\"sb_arrow\"/>"
    "<scroll_template id=\"hsb\" vertical=\"false\" back_image=\"sb_back\" thumb_image=\"sb_thumb\" "
    "top_image=\"sb_arrow\" bottom_image=\"sb_arrow\"/>"
    "<edit_template id=\"et\" font=\"gui_font\" back_image=\"box\" cursor_image=\"cursor_icon\" "
    "color_text=\"-1\" color_selected_text=\"-16777216\" color_selection=\"-16776961\">"
    "<named_object name=\"insets\"><insets left=\"4\" top=\"4\" right=\"4\" bottom=\"4\"/></named_object>"
    "<named_object name=\"horizontal_scroll\"><scroll scroll_template=\"hsb\"/></named_object>"
    "<named_object name=\"vertical_scroll\"><scroll scroll_template=\"sb\"/></named_object>"
    "</edit_template>";

class EditWidget : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(guitest::DeclareGuiTestFont(), nullptr);
        lv::gui::CTextLocale::Set(std::locale::classic());
        lv::gui::CWidgetFactory::RegisterWidgetTypes();
        Root.reset(new CEventWindow(Events));
        Dispatcher.SetRoot(Root);
        Dispatcher.Update();
    }

    // At (100, 100), 200 x 32 unless the node says otherwise.
    CEditWidget::Ptr Load(const std::string& attributes = "")
    {
        const CTemplateXml xml(kEditTemplates, "<edit_widget id=\"ed\" edit_template=\"et\" x=\"100\" y=\"100\" "
                                               "width=\"200\" " + attributes + "/>");
        CEditWidget::Ptr edit(
            static_cast<CEditWidget*>(lv::gui::CWidgetFactory::Instance().CreateWidget("edit_widget")));
        Root->AddChild(edit);
        edit->LoadFromTemplate(xml.Node(), xml.Templates());
        Events.clear();
        return edit;
    }

    static void Type(CEditWidget& edit, const char16_t* text)
    {
        for (; *text; ++text)
            edit.OnChar(static_cast<u16>(*text), 0, 0, 0);
    }

    std::vector<std::string> Events;
    boost::intrusive_ptr<CEventWindow> Root;
    CInputDispatcher Dispatcher;
};

} // namespace

TEST_F(EditWidget, TypesLettersDigitsAndSpacesOnly)
{
    auto edit = Load();
    const struct
    {
        char16_t c;
        bool handled;
    } cases[] = {{u'a', true}, {u'Z', true}, {u'7', true}, {u' ', true}, {u'-', false}, {u'.', false},
                 {u'\r', false}, {u'\xE9', false}};
    for (const auto& c : cases)
        EXPECT_EQ(edit->OnChar(static_cast<u16>(c.c), 0, 0, 0), c.handled) << static_cast<int>(c.c);
    EXPECT_EQ(edit->GetText(), u"aZ7 ");
    EXPECT_EQ(edit->GetCaret(), 4);
    EXPECT_EQ(Events, std::vector<std::string>(4, "text_changed ed"));
}

TEST_F(EditWidget, MaximumLengthAndSelectionReplacement)
{
    auto edit = Load("max_chars=\"8\"");
    edit->SetText(u"abcdefgh");
    EXPECT_FALSE(edit->OnChar('x', 0, 0, 0));
    EXPECT_EQ(edit->GetText(), u"abcdefgh");
    edit->SetSelection(2, 4);
    EXPECT_TRUE(edit->OnChar('x', 0, 0, 0));
    EXPECT_EQ(edit->GetText(), u"abxefgh");
    EXPECT_EQ(edit->GetCaret(), 3);
    // SetText cuts to the limit.
    edit->SetText(u"abcdefghijk");
    EXPECT_EQ(edit->GetText(), u"abcdefgh");
}

TEST_F(EditWidget, WordDeletion)
{
    auto edit = Load();
    edit->SetText(u"aaaaa bbbbb");
    EXPECT_TRUE(edit->OnKeyDown(CInputDispatcher::KeyBackspace, CInputDispatcher::kCtrl, 0, 0));
    EXPECT_EQ(edit->GetText(), u"aaaaa");
    edit->SetText(u"aaaaa bbbbb");
    edit->SetCaret(0, true);
    EXPECT_TRUE(edit->OnKeyDown(CInputDispatcher::KeyDelete, CInputDispatcher::kCtrl, 0, 0));
    EXPECT_EQ(edit->GetText(), u" bbbbb");
    edit->OnKeyDown(CInputDispatcher::KeyDelete, 0, 0, 0);
    EXPECT_EQ(edit->GetText(), u"bbbbb");
    edit->SetCaret(5, true);
    edit->OnKeyDown(CInputDispatcher::KeyBackspace, 0, 0, 0);
    EXPECT_EQ(edit->GetText(), u"bbbb");
    EXPECT_EQ(edit->GetCaret(), 4);
}

TEST_F(EditWidget, UndoAndRedo)
{
    auto edit = Load();
    edit->SetText(u"a");
    Type(*edit, u"bc");
    const auto key = [&](char k) { return edit->OnKeyDown(k, CInputDispatcher::kCtrl, 0, 0); };
    EXPECT_TRUE(key('Z'));
    EXPECT_EQ(edit->GetText(), u"ab");
    key('Z');
    EXPECT_EQ(edit->GetText(), u"a");
    key('Z');
    EXPECT_EQ(edit->GetText(), u"a");
    key('Y');
    EXPECT_EQ(edit->GetText(), u"ab");
    key('Z');
    edit->SetCaret(1, false);
    Type(*edit, u"x");
    EXPECT_EQ(edit->GetText(), u"ax");
    key('Y');
    EXPECT_EQ(edit->GetText(), u"ax");
}

TEST_F(EditWidget, HistoryHoldsAtMostFortyOneEntries)
{
    lv::gui::CEditHistory history;
    for (int i = 0; i < 60; ++i)
        history.Push(WString(static_cast<size_t>(i + 1), u'a'));
    EXPECT_EQ(history.GetCount(), 41);
    history.Push(WString(60, u'a'));
    EXPECT_EQ(history.GetCount(), 41);
    int undos = 0;
    while (history.CanUndo()) {
        history.Undo();
        ++undos;
    }
    EXPECT_EQ(undos, 40);
    EXPECT_EQ(history.Redo(), WString(21, u'a'));
}

TEST_F(EditWidget, ShiftArrowsSelectAndHomeEndFollowLines)
{
    auto edit = Load();
    edit->SetText(u"abcdef");
    edit->SetCaret(2, true);
    edit->OnKeyDown(CInputDispatcher::KeyRight, CInputDispatcher::kShift, 0, 0);
    edit->OnKeyDown(CInputDispatcher::KeyRight, CInputDispatcher::kShift, 0, 0);
    EXPECT_EQ(std::make_pair(edit->GetSelectionStart(), edit->GetSelectionEnd()), std::make_pair(2, 4));
    edit->OnKeyDown(CInputDispatcher::KeyLeft, CInputDispatcher::kShift, 0, 0);
    EXPECT_EQ(std::make_pair(edit->GetSelectionStart(), edit->GetSelectionEnd()), std::make_pair(2, 3));
    edit->OnKeyDown(CInputDispatcher::KeyLeft, 0, 0, 0);
    EXPECT_EQ(edit->GetSelectionStart(), edit->GetSelectionEnd());
    EXPECT_TRUE(edit->OnKeyDown('A', CInputDispatcher::kCtrl, 0, 0));
    EXPECT_EQ(std::make_pair(edit->GetSelectionStart(), edit->GetSelectionEnd()), std::make_pair(0, 6));

    auto multi = Load("multiline=\"true\" height=\"60\"");
    multi->SetText(u"ab\ncdef\ngh");
    multi->SetCaret(5, true);
    multi->OnKeyDown(CInputDispatcher::KeyHome, 0, 0, 0);
    EXPECT_EQ(multi->GetCaret(), 3);
    multi->OnKeyDown(CInputDispatcher::KeyEnd, 0, 0, 0);
    EXPECT_EQ(multi->GetCaret(), 7);
    multi->OnKeyDown(CInputDispatcher::KeyUp, 0, 0, 0);
    EXPECT_EQ(multi->GetCaret(), 2);
    EXPECT_FALSE(Load()->OnKeyDown(CInputDispatcher::KeyHome, 0, 0, 0));
}

TEST_F(EditWidget, EnterAndVerticalKeysAtTheEnd)
{
    auto edit = Load();
    edit->SetText(u"ab");
    Events.clear();
    EXPECT_TRUE(edit->OnKeyDown(CInputDispatcher::KeyEnter, 0, 0, 0));
    EXPECT_EQ(edit->GetText(), u"ab");
    EXPECT_EQ(Root->GetFocusedWidget(), edit.get());
    EXPECT_EQ(Events, std::vector<std::string>{"got_focus ed"});

    auto multi = Load("multiline=\"true\" height=\"60\"");
    multi->SetText(u"ab");
    multi->OnKeyDown(CInputDispatcher::KeyEnter, 0, 0, 0);
    EXPECT_EQ(multi->GetText(), u"ab\n");
    for (s32 key : {CInputDispatcher::KeyUp, CInputDispatcher::KeyDown, CInputDispatcher::KeyDown}) {
        multi->SetCaret(3, true);
        multi->OnKeyDown(key, 0, 0, 0);
        EXPECT_EQ(multi->GetText(), u"ab\n");
    }
}

TEST_F(EditWidget, MousePlacesCaretSelectsAndFocuses)
{
    auto edit = Load();
    edit->SetText(u"abcdef");
    const CIntRect area = edit->GetTextRect();
    const s32 y = 100 + area.Y + 16;
    // Characters every six pixels from the text area's left edge, a press before the middle of one
    // puts the caret before it.
    Dispatcher.DispatchMouseDown(CPoint2i(100 + area.X + 13, y), 0, 0, 0);
    EXPECT_EQ(edit->GetCaret(), 2);
    EXPECT_EQ(Root->GetFocusedWidget(), edit.get());
    EXPECT_FALSE(edit->GetCaretImage()->GetFlags() & lv::gui::CBaseWidget::Hidden);
    Dispatcher.DispatchMouseMove(CPoint2i(100 + area.X + 25, y), 0, 0);
    Dispatcher.DispatchMouseUp(CPoint2i(100 + area.X + 25, y), 0, 0, 0);
    EXPECT_EQ(std::make_pair(edit->GetSelectionStart(), edit->GetSelectionEnd()), std::make_pair(2, 4));
    Dispatcher.DispatchMouseDown(CPoint2i(100 + area.X + 34, y), 0, CInputDispatcher::kShift, 0);
    Dispatcher.DispatchMouseUp(CPoint2i(100 + area.X + 34, y), 0, CInputDispatcher::kShift, 0);
    EXPECT_EQ(std::make_pair(edit->GetSelectionStart(), edit->GetSelectionEnd()), std::make_pair(2, 6));
    Root->SetFocus(nullptr);
    EXPECT_TRUE(edit->GetCaretImage()->GetFlags() & lv::gui::CBaseWidget::Hidden);
    EXPECT_EQ(Events.back(), "lost_focus ed");
    EXPECT_EQ(edit->GetSelectionStart(), edit->GetSelectionEnd());
}

TEST_F(EditWidget, LineBreakHitAfterItsMiddleKeepsTheLineEnd)
{
    auto multi = Load("multiline=\"true\" height=\"60\"");
    multi->SetText(u"ab\ncd");
    const CIntRect area = multi->GetTextRect();
    // Far right of the first line: the line break, after its middle.
    EXPECT_EQ(multi->HitIndex(CPoint2i(area.X + 150, area.Y + 5)), 2);
    EXPECT_EQ(multi->HitIndex(CPoint2i(area.X + 150, area.Y + 17)), 5);
}

TEST_F(EditWidget, ScrollBarsFollowTheCaret)
{
    auto edit = Load("multiline=\"true\" height=\"60\" horz_scroll=\"true\" vert_scroll=\"true\"");
    ASSERT_NE(edit->GetHorizontalScroll(), nullptr);
    ASSERT_NE(edit->GetVerticalScroll(), nullptr);
    std::u16string line(60, u'a');
    edit->SetText(line);
    EXPECT_GT(edit->GetHorizontalScroll()->GetValue(), 0);
    const CIntRect area = edit->GetTextRect();
    // The caret stays inside the text area.
    const float caretX = edit->GetCaretImage()->GetPosition().X + edit->GetCaretImage()->GetSize().X / 2;
    EXPECT_LE(caretX, static_cast<float>(area.X + area.Width) + edit->GetHorizontalScroll()->GetValue());
    edit->OnKeyDown(CInputDispatcher::KeyPageUp, 0, 0, 0);
    EXPECT_EQ(edit->GetHorizontalScroll()->GetValue(), 0);
    edit->SetText(u"a\nb\nc\nd\ne\nf\ng\nh");
    EXPECT_GT(edit->GetVerticalScroll()->GetValue(), 0);
}

// The selection colour (opaque blue) is drawn only while focused, and nothing leaves the text
// area inside the insets.
TEST_F(EditWidget, FocusedDrawsSelectionClipped)
{
    CRecordingRenderer renderer;
    auto edit = Load();
    edit->SetPosition(0, 0);
    edit->SetText(u"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz");
    edit->SetSelection(1, 3);
    const auto drawn = [&] {
        renderer.Log->Draws.clear();
        // Text only: the background and caret are children drawn first; their colours differ.
        edit->Draw(*renderer.Renderer);
        renderer.Renderer->Flush();
        bool blue = false;
        float right = 0;
        for (const auto& d : renderer.Log->Draws) {
            const auto* v = reinterpret_cast<const lv::graphics::CVertex*>(d.Vertices.data());
            for (size_t i = 0; i < d.Vertices.size() / sizeof(lv::graphics::CVertex); ++i) {
                blue = blue || v[i].diffuse == 0xFF0000FFu;
                right = std::max(right, v[i].x + 0.5f);
            }
        }
        return std::make_pair(blue, right);
    };
    EXPECT_FALSE(drawn().first);
    Root->SetFocus(edit.get());
    edit->SetSelection(1, 3);
    const auto focused = drawn();
    EXPECT_TRUE(focused.first);
    // The widget is 200 wide; text is clipped at 196 (the background may reach 200).
    EXPECT_LE(focused.second, 200);
}

TEST(TextLocale, ClassesFollowTheChosenLocaleAndSkipSurrogates)
{
    lv::gui::CTextLocale::Set(std::locale::classic());
    EXPECT_TRUE(lv::gui::CTextLocale::IsAlnum(u'a'));
    EXPECT_TRUE(lv::gui::CTextLocale::IsPunct(u'-'));
    EXPECT_FALSE(lv::gui::CTextLocale::IsAlnum(0x00E9));
    EXPECT_FALSE(lv::gui::CTextLocale::IsAlnum(0xD83D));
    EXPECT_FALSE(lv::gui::CTextLocale::IsPunct(0xDC00));
    try {
        lv::gui::CTextLocale::Set(std::locale("C.UTF-8"));
        EXPECT_TRUE(lv::gui::CTextLocale::IsAlnum(0x00E9));
        EXPECT_FALSE(lv::gui::CTextLocale::IsAlnum(0xD800));
    } catch (const std::runtime_error&) {
        // No UTF-8 locale installed: the classic checks above are what remains.
    }
    lv::gui::CTextLocale::Set(std::locale::classic());
}
