// A window of a button, a checkbox and a slider loaded from templates, driven by a generated
// input recording through the replayer and the dispatcher, drawn on the real OpenGL layer.
#include "GlWindowTestSupport.h"
#include "WidgetTestSupport.h"
#include "support/GoldenImage.h"
#include "support/RecordingSystemIntegration.h"

#include "core/InputRecord.h"
#include "core/TempFolder.h"
#include "core/TextConvert.h"
#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"
#include "gui/InputDispatcher.h"
#include "gui/InputReplayer.h"
#include "gui/SliderWidget.h"
#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using lv::core::CInputRecord;

namespace {

constexpr s32 kReplayWidth = 320;
constexpr s32 kReplayHeight = 100;

float g_ReplayNow = 0;
float ReplayNow()
{
    return g_ReplayNow;
}

const char* const kTemplates =
    "<button_template id=\"b\" image=\"strip4\"/>"
    "<checkbox_template id=\"c\" box_image=\"box\" check_image=\"check\" gray_box_image=\"gray_box\" "
    "gray_check_image=\"gray_check\"/>"
    "<slider_template id=\"s\" slider_image=\"track\" thumb_image=\"thumb\"/>";
const char* const kWindow =
    "<window id=\"w\"><button_widget id=\"ok\" button_template=\"b\" abs_pos=\"true\" x=\"10\" y=\"10\"/>"
    "<checkbox_widget id=\"sound\" checkbox_template=\"c\" abs_pos=\"true\" x=\"10\" y=\"56\"/>"
    "<slider_widget id=\"volume\" slider_template=\"s\" abs_pos=\"true\" x=\"110\" y=\"56\"/></window>";

} // namespace

TEST(InputReplayGolden, RecordedClicksAndDragReachTheWidgets)
{
    guitest::DeclareGuiTestImages();
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    CRecordingSystemIntegration platform;
    guitest::CGlWindowHost host(kReplayWidth, kReplayHeight);
    ASSERT_TRUE(host.Open("replay test"));
    // Textures load their files relative to the working folder.
    const CWorkingFolder cwd(guitest::ImagesFolder());
    std::vector<u32> pixels;
    std::vector<std::string> events;
    {
        lv::graphics::CRenderer renderer;
        ASSERT_TRUE(host.StartRenderer(renderer));

        boost::intrusive_ptr<CEventWindow> window(new CEventWindow(events));
        const CTemplateXml xml(kTemplates, kWindow);
        window->LoadFromTemplate(xml.Node(), xml.Templates());
        window->SetSize(kReplayWidth, kReplayHeight);
        lv::gui::CInputDispatcher dispatcher;
        dispatcher.SetScreenArea(CFloatRect(0, 0, kReplayWidth, kReplayHeight), CVector2(1, 1));
        dispatcher.SetRoot(window);
        dispatcher.Update();
        events.clear();

        // Check the box, drag the slider's thumb from 0 to 0.5 (ending outside the widget),
        // press the button and stay over it.
        using R = CInputRecord;
        const std::vector<CInputRecord> records = {
            R::Pointer(10, R::Move, 0, 0, 200, 95),      R::Pointer(20, R::Move, 0, 0, 20, 70),
            R::Pointer(30, R::ButtonDown, 0, 0, 20, 70), R::Pointer(40, R::ButtonUp, 0, 0, 20, 70),
            R::Pointer(50, R::Move, 0, 0, 120, 75),      R::Pointer(60, R::ButtonDown, 0, 0, 120, 75),
            R::Pointer(70, R::Move, 0, 0, 170, 99),      R::Pointer(80, R::ButtonUp, 0, 0, 210, 99),
            R::Pointer(90, R::Move, 0, 0, 50, 20),       R::Pointer(100, R::ButtonDown, 1, 0, 50, 20),
            R::Pointer(110, R::ButtonUp, 1, 0, 50, 20),  R::Pointer(120, R::Move, 0, 0, 60, 25)};
        const CTempFolder folder;
        folder.Write("replay", lv::core::WriteInputRecording(records));
        auto& replayer = lv::gui::CInputReplayer::Instance();
        replayer.SetClock(&ReplayNow);
        g_ReplayNow = 1000;
        ASSERT_TRUE(replayer.Load(Utf8ToWide(folder / "replay").c_str()));
        replayer.Start();
        for (float t = 1000; replayer.IsPlaying() && t < 1200; t += 10) {
            // Live input is ignored meanwhile.
            dispatcher.HandleMessage(nullptr, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 70));
            g_ReplayNow = t;
            replayer.Step(dispatcher);
            dispatcher.Update();
        }
        EXPECT_FALSE(replayer.IsPlaying());
        replayer.SetClock(nullptr);
        auto* slider =
            static_cast<lv::gui::CSliderWidget*>(window->FindChild(CFixedString("volume"), false).get());
        ASSERT_NE(slider, nullptr);
        EXPECT_FLOAT_EQ(slider->GetValue(), 0.5f);

        ASSERT_TRUE(renderer.BeginFrame());
        renderer.Clear(CColor(0xFF203040u));
        dispatcher.Render(renderer);
        ASSERT_NO_FATAL_FAILURE(guitest::ReadFrame(renderer, kReplayWidth, kReplayHeight, pixels));
        dispatcher.Release();
        lv::graphics::CTextureManager::Instance().ReleaseAllDeviceTextures();
    }
    host.Close();

    const std::vector<std::string> expected = {
        "overed sound",         "check_changed sound", "lost_over sound", "value_changed volume",
        "value_changed volume", "overed ok",           "pressed ok"};
    EXPECT_EQ(events, expected);

    testsupport::ExpectGoldenImage(testsupport::GoldenFolder(__FILE__), "input_replay_widgets",
                                   kReplayWidth, kReplayHeight, pixels);
}
