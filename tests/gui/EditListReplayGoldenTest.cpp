// A window of an edit field, a list and a scroll bar loaded from templates, driven by a generated
// input recording (typing, selecting with Shift and the arrows, an undo, a list pick and a thumb
// drag) through the replayer and the dispatcher, drawn on the real OpenGL layer.
#include "GlWindowTestSupport.h"
#include "WidgetTestSupport.h"
#include "support/GoldenImage.h"
#include "support/RecordingSystemIntegration.h"

#include "core/InputRecord.h"
#include "core/TempFolder.h"
#include "core/TextConvert.h"
#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"
#include "gui/EditWidget.h"
#include "gui/InputDispatcher.h"
#include "gui/InputReplayer.h"
#include "gui/ListWidget.h"
#include "gui/ScrollWidget.h"
#include "gui/TextLocale.h"
#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using lv::core::CInputRecord;

namespace {

constexpr s32 kEditReplayWidth = 320;
constexpr s32 kEditReplayHeight = 160;

float g_EditReplayNow = 0;
float EditReplayNow()
{
    return g_EditReplayNow;
}

const char* const kEditReplayTemplates =
    "<scroll_template id=\"sb\" back_image=\"sb_back\" thumb_image=\"sb_thumb\" top_image=\"sb_arrow\" "
    "bottom_image=\"sb_arrow\"/>"
    "<edit_template id=\"et\" font=\"gui_font\" back_image=\"gray_box\" cursor_image=\"cursor_icon\" "
    "color_text=\"-16777216\" color_selected_text=\"-1\" color_selection=\"-16776961\">"
    "<named_object name=\"insets\"><insets left=\"4\" top=\"4\" right=\"4\" bottom=\"4\"/></named_object>"
    "</edit_template>"
    "<list_template id=\"lt\" font=\"gui_font\" background=\"box\" scroll_template=\"sb\" "
    "color_text_normal=\"-16777216\" color_text_selected=\"-1\" color_text_over=\"-65536\" "
    "color_selection=\"-16776961\">"
    "<named_object name=\"insets\"><insets left=\"4\" top=\"4\" right=\"4\" bottom=\"4\"/></named_object>"
    "<named_object name=\"label_insets\"><insets top=\"2\" bottom=\"2\"/></named_object></list_template>";
const char* const kEditReplayWindow =
    "<window id=\"w\"><edit_widget id=\"name\" edit_template=\"et\" abs_pos=\"true\" x=\"10\" y=\"10\" "
    "width=\"200\"/>"
    "<list_widget id=\"list\" list_template=\"lt\" list_height=\"4\" abs_pos=\"true\" x=\"10\" y=\"60\">"
    "<named_object name=\"strings\"><strings><string text=\"Alpha\"/><string text=\"Beta\"/>"
    "<string text=\"Gamma\"/><string text=\"Delta\"/><string text=\"Epsilon\"/><string text=\"Zeta\"/>"
    "</strings></named_object></list_widget>"
    "<scroll_widget id=\"bar\" scroll_template=\"sb\" abs_pos=\"true\" x=\"280\" y=\"10\" height=\"132\" "
    "max_value=\"10\" page_size=\"4\"/></window>";

} // namespace

TEST(InputReplayGolden, RecordedTypingListPickAndThumbDrag)
{
    ASSERT_NE(guitest::DeclareGuiTestFont(), nullptr);
    lv::gui::CTextLocale::Set(std::locale::classic());
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    CRecordingSystemIntegration platform;
    guitest::CGlWindowHost host(kEditReplayWidth, kEditReplayHeight);
    ASSERT_TRUE(host.Open("replay test"));
    // Textures load their files relative to the working folder.
    const CWorkingFolder cwd(guitest::ImagesFolder());
    std::vector<u32> pixels;
    std::vector<std::string> events;
    {
        lv::graphics::CRenderer renderer;
        ASSERT_TRUE(host.StartRenderer(renderer));

        boost::intrusive_ptr<CEventWindow> window(new CEventWindow(events));
        const CTemplateXml xml(kEditReplayTemplates, kEditReplayWindow);
        window->LoadFromTemplate(xml.Node(), xml.Templates());
        window->SetSize(kEditReplayWidth, kEditReplayHeight);
        lv::gui::CInputDispatcher dispatcher;
        dispatcher.SetScreenArea(CFloatRect(0, 0, kEditReplayWidth, kEditReplayHeight), CVector2(1, 1));
        dispatcher.SetRoot(window);
        dispatcher.Update();
        events.clear();

        // Click into the edit field and type "John Doe", select "Doe" with Shift+Left, undo once,
        // pick the list's third line, then drag the bar's thumb down by 30 pixels.
        using R = CInputRecord;
        std::vector<CInputRecord> records = {R::Pointer(10, R::Move, 0, 0, 30, 20),
                                             R::Pointer(20, R::ButtonDown, 0, 0, 30, 20),
                                             R::Pointer(30, R::ButtonUp, 0, 0, 30, 20)};
        u32 time = 40;
        for (char16_t c : std::u16string(u"John Doe"))
            records.push_back(R::Key(time += 10, R::Char, static_cast<u16>(c), 0, 0));
        for (int i = 0; i < 3; ++i)
            records.push_back(
                R::Key(time += 10, R::KeyDown, lv::gui::CInputDispatcher::KeyLeft, lv::gui::CInputDispatcher::kShift, 0));
        records.push_back(R::Key(time += 10, R::KeyDown, 'Z', lv::gui::CInputDispatcher::kCtrl, 0));
        // Line 2 of the list: inset 4 plus the hit band shift of 4, lines 14 high.
        records.push_back(R::Pointer(time += 10, R::Move, 0, 0, 40, 60 + 8 + 2 * 14 + 7));
        records.push_back(R::Pointer(time += 10, R::ButtonDown, 0, 0, 40, 60 + 8 + 2 * 14 + 7));
        records.push_back(R::Pointer(time += 10, R::ButtonUp, 0, 0, 40, 60 + 8 + 2 * 14 + 7));
        // The thumb: track from y 26, 40 long at value 0.
        records.push_back(R::Pointer(time += 10, R::Move, 0, 0, 288, 30));
        records.push_back(R::Pointer(time += 10, R::ButtonDown, 0, 0, 288, 30));
        records.push_back(R::Pointer(time += 10, R::Move, 0, 0, 288, 45));
        records.push_back(R::Pointer(time += 10, R::Move, 0, 0, 300, 60));
        records.push_back(R::Pointer(time += 10, R::ButtonUp, 0, 0, 300, 60));
        const CTempFolder folder;
        folder.Write("replay", lv::core::WriteInputRecording(records));
        auto& replayer = lv::gui::CInputReplayer::Instance();
        replayer.SetClock(&EditReplayNow);
        g_EditReplayNow = 1000;
        ASSERT_TRUE(replayer.Load(Utf8ToWide(folder / "replay").c_str()));
        replayer.Start();
        for (float t = 1000; replayer.IsPlaying() && t < 1400; t += 10) {
            g_EditReplayNow = t;
            replayer.Step(dispatcher);
            dispatcher.Update();
        }
        EXPECT_FALSE(replayer.IsPlaying());
        replayer.SetClock(nullptr);
        auto* edit = static_cast<lv::gui::CEditWidget*>(window->FindChild(CFixedString("name"), true).get());
        auto* list = static_cast<lv::gui::CListWidget*>(window->FindChild(CFixedString("list"), true).get());
        auto* bar = static_cast<lv::gui::CScrollWidget*>(window->FindChild(CFixedString("bar"), true).get());
        ASSERT_TRUE(edit && list && bar);
        EXPECT_EQ(edit->GetText(), u"John Do");
        EXPECT_EQ(list->GetSelectedIndex(), 2);
        EXPECT_FLOAT_EQ(bar->GetValue(), 3);

        ASSERT_TRUE(renderer.BeginFrame());
        renderer.Clear(CColor(0xFF203040u));
        dispatcher.Render(renderer);
        ASSERT_NO_FATAL_FAILURE(guitest::ReadFrame(renderer, kEditReplayWidth, kEditReplayHeight, pixels));
        dispatcher.Release();
        lv::graphics::CTextureManager::Instance().ReleaseAllDeviceTextures();
    }
    host.Close();

    std::vector<std::string> expected = {"got_focus name"};
    expected.insert(expected.end(), 9, "text_changed name");
    // The thumb's own events pass through the bar unchanged.
    expected.push_back("line_selected list");
    expected.push_back("overed ");
    expected.insert(expected.end(), 2, "value_changed bar");
    EXPECT_EQ(events, expected);

    testsupport::ExpectGoldenImage(testsupport::GoldenFolder(__FILE__), "input_replay_edit_list",
                                   kEditReplayWidth, kEditReplayHeight, pixels);
}
