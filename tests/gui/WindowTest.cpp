#include "gui/Window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GuiTestImages.h"
#include "RecordingRenderer.h"
#include "RecordingWindow.h"
#include "core/Settings.h"
#include "graphics/FontTestSupport.h"
#include "graphics/LogCapture.h"
#include "gui/GuiServices.h"
#include "gui/ToolTipHelperWidget.h"
#include "gui/WidgetEffectRegistry.h"
#include "gui/WidgetFactory.h"

using lv::gui::CBaseWidget;
using lv::gui::CGuiServices;
using lv::gui::CWidget;
using lv::gui::CWindow;

namespace {

const char* const kWindowGui = R"(<?xml version="1.0"?>
<root>
<GUI>
  <screens>
    <window id="test_window" window_template="frame" x="50" y="40" moveable="true">
      <vbox>
        <label_widget id="title" text="Title" width="60" height="12"/>
        <no_such_widget id="skipped"/>
        <Label_widget id="capitalised"/>
        <hbox>
          <image_widget id="icon" image="icon"/>
          <label_widget id="caption" text="x" width="20" height="12"/>
        </hbox>
      </vbox>
    </window>
  </screens>
  <window id="plain_window" window_template="plain" moveable="false"/>
</GUI>
<GUITemplates>
  <window_template id="frame" background="win_bg" tile_step_x="16" tile_step_y="16" open_sound="snd_open"
      close_sound="snd_close" show_effect="window_test_fx" label_template="tip_label" tool_tip_background="tip_bg"
      label_justification="center top">
    <named_object name="insets"><insets left="8" top="6" right="8" bottom="6"/></named_object>
    <named_object name="tool_tip_background_insets"><i left="-4" right="-4" top="-2" bottom="-2"/></named_object>
  </window_template>
  <window_template id="plain" background="win_bg"/>
  <label_template id="tip_label"/>
</GUITemplates>
</root>
)";

// Logs the handlers it runs; takes mouse downs and keys when asked.
struct CWindowProbe : CWidget
{
    CWindowProbe(const char* name, std::vector<std::string>& log, bool takes = false)
        : CWidget(CFixedString(name), 0, 0xFFFF), Log(log), Takes(takes)
    {
        SetSize(20, 20);
    }
    bool OnMouseDown(const CPoint2i& p, s32, s32, u8 pass) override
    {
        Log.push_back(std::string(GetName().GetText()) + " down" + std::to_string(pass) + " " + std::to_string(p.X) +
                      "," + std::to_string(p.Y));
        return Takes;
    }
    bool OnKeyDown(s32 key, s32, s32, u8 pass) override
    {
        Log.push_back(std::string(GetName().GetText()) + " key" + std::to_string(key) + " pass" +
                      std::to_string(pass));
        return Takes;
    }
    std::vector<std::string>& Log;
    bool Takes;
};

struct CCountingEffect : lv::gui::CWidgetEffect
{
    static inline int Created = 0;
    CCountingEffect() { ++Created; }
    void Start(CBaseWidget*) override {}
    void Update(CBaseWidget*) override {}
    void BeforeDraw(lv::graphics::CRenderer&) override {}
    void AfterDraw(lv::graphics::CRenderer&) override {}
};

class WindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        guitest::DeclareGuiTestImages();
        lv::gui::CWidgetFactory::RegisterWidgetTypes();
        static const bool effect = lv::gui::CWidgetEffectRegistry::Instance().Register(
            u"window_test_fx", lv::gui::CWidgetEffectRegistry::CCreator(
                                   []() -> lv::gui::CWidgetEffect* { return new CCountingEffect; }));
        (void)effect;
        ASSERT_TRUE(m_Settings.LoadXmlText(kWindowGui));
        CGuiServices& gui = CGuiServices::Instance();
        gui.Reset();
        gui.Settings = [this] { return &m_Settings; };
        gui.PlaySound = [this](const char* name) { m_Sounds.push_back(name); };
        gui.ScreenSize = [] { return CPoint2i(800, 600); };
        gui.Time = [this] { return m_Time; };
        gui.TopWindow = [this] { return m_Top; };
    }
    void TearDown() override { CGuiServices::Instance().Reset(); }

    CWindow::Ptr Load(const char* id)
    {
        CWindow::Ptr window(new CWindow());
        window->LoadWindow(id);
        return window;
    }

    lv::core::CSettings m_Settings;
    std::vector<std::string> m_Sounds;
    std::vector<std::string> m_Log;
    s32 m_Time = 0;
    lv::gui::CBaseWindow* m_Top = nullptr;
};

} // namespace

TEST_F(WindowTest, TemplatesGiveATiledBackgroundAndChildrenByTypeName)
{
    const CWindow::Ptr window = Load("test_window");
    EXPECT_EQ(window->GetName(), CFixedString("test_window"));
    EXPECT_EQ(window->GetPosition(), CVector2(50, 40));
    EXPECT_EQ(window->GetTileStep(), CPoint2i(16, 16));
    EXPECT_TRUE(window->IsMoveable());
    const auto insets = window->GetInsets();
    EXPECT_EQ(insets.Left + insets.Right + insets.Top + insets.Bottom, 28.0f);
    // The 96 x 96 background: border 32, the centre a whole number of 16-unit tiles.
    EXPECT_EQ(window->GetPreferredSize(), CVector2(96, 96));
    window->SetSize(100, 70);
    EXPECT_EQ(window->GetSize(), CVector2(112, 80));
    EXPECT_EQ(window->GetBackground()->GetSize(), CVector2(112, 80));
    EXPECT_EQ(window->GetBackground()->GetAnchors(), 15u);
    EXPECT_EQ(window->GetBackground()->GetImage().GetFlags(), 3);

    EXPECT_NE(window->FindChild(CFixedString("title"), false), nullptr);
    EXPECT_NE(window->FindChild(CFixedString("caption"), false), nullptr);
    const auto icon = boost::dynamic_pointer_cast<lv::gui::CImageWidget>(window->FindChild(CFixedString("icon"), false));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->GetSize(), CVector2(16, 16));
    EXPECT_EQ(window->FindChild(CFixedString("skipped"), true), nullptr);
    EXPECT_EQ(window->FindChild(CFixedString("capitalised"), true), nullptr);
    // Background, title, icon and caption; the background lies under the later children.
    ASSERT_EQ(window->GetChildren().size(), 4u);
    EXPECT_EQ(window->GetChildren().back().get(), window->GetBackground());
    // The layout placed the row below the title, inside the insets.
    EXPECT_EQ(icon->GetPosition().X, 8.0f);
    EXPECT_GE(icon->GetPosition().Y, 6.0f + 12.0f);

    ASSERT_NE(window->GetToolTipLabel(), nullptr);
    EXPECT_NE(window->GetToolTipLabel()->GetFlags() & CBaseWidget::Hidden, 0u);
    ASSERT_NE(window->GetToolTipBackground(), nullptr);
    EXPECT_EQ(window->GetToolTipBackground()->GetImage().GetFlags() & 1, 1);

    const CWindow::Ptr plain = Load("plain_window");
    EXPECT_FALSE(plain->IsMoveable());
    EXPECT_EQ(plain->GetSize(), CVector2(96, 96));
    EXPECT_EQ(plain->GetToolTipLabel(), nullptr);
}

TEST_F(WindowTest, MissingWindowIsReportedAndBuiltEmpty)
{
    CScratchLogCapture log;
    CWindow::Ptr window(new CWindow());
    EXPECT_FALSE(window->LoadWindow("no_such_window"));
    EXPECT_TRUE(log.Contains("Window 'no_such_window' is not found in properties/gui.xml.")) << log.Text();
    EXPECT_EQ(window->GetName(), CFixedString("no_such_window"));
    ASSERT_EQ(window->GetChildren().size(), 1u); // the background without image
    EXPECT_EQ(window->GetSize(), CVector2());
    window->UpdateAll();
}

TEST_F(WindowTest, ModalWindowTakesEveryPointerEventAndEveryKey)
{
    const CWindow::Ptr owner = Load("plain_window");
    boost::intrusive_ptr<CWindowProbe> button(new CWindowProbe("button", m_Log, true));
    owner->AddChild(button);
    boost::intrusive_ptr<CRecordingWindow> modal(new CRecordingWindow("modal", m_Log));
    modal->SetPosition(30, 20);
    modal->SetSize(40, 40);
    owner->ShowModal(modal);
    m_Log.clear();

    EXPECT_TRUE(owner->OnMouseDown(CPoint2i(5, 5), 0, 0, 0));
    EXPECT_TRUE(owner->OnMouseDown(CPoint2i(700, 500), 0, 0, 1));
    EXPECT_TRUE(owner->OnKeyDown(65, 0, 0, 0));
    EXPECT_EQ(m_Log, (std::vector<std::string>{"modal down -25,-15 pass0 arg0 flags0",
                                               "modal down 670,480 pass1 arg0 flags0",
                                               "modal keydown 65 flags0 data0 pass0"}));
    // A disabled modal window swallows the input.
    m_Log.clear();
    modal->AddFlags(CBaseWidget::Disabled);
    EXPECT_TRUE(owner->OnMouseDown(CPoint2i(5, 5), 0, 0, 0));
    EXPECT_TRUE(owner->OnKeyDown(65, 0, 0, 0));
    EXPECT_TRUE(m_Log.empty());
    // Once closed, the owner's children get input again.
    modal->RemoveFlags(CBaseWidget::Disabled);
    modal->AddFlags(CBaseWidget::Closed);
    owner->UpdateAll();
    EXPECT_EQ(owner->GetModalWindow(), nullptr);
    m_Log.clear();
    EXPECT_TRUE(owner->OnMouseDown(CPoint2i(5, 5), 0, 0, 0));
    EXPECT_EQ(m_Log, (std::vector<std::string>{"button down0 5,5"}));
}

TEST_F(WindowTest, FocusedWidgetGetsKeysFirstThenTheChildren)
{
    const CWindow::Ptr window = Load("plain_window");
    boost::intrusive_ptr<CWindowProbe> edit(new CWindowProbe("edit", m_Log, true));
    boost::intrusive_ptr<CWindowProbe> other(new CWindowProbe("other", m_Log));
    window->AddChild(other);
    window->AddChild(edit);
    EXPECT_FALSE(window->OnKeyDown(13, 0, 0, 0));
    EXPECT_EQ(m_Log, (std::vector<std::string>{"edit key13 pass1", "other key13 pass1"}));

    m_Log.clear();
    edit->SetFocus(edit.get()); // climbs to the window
    EXPECT_EQ(window->GetFocusedWidget(), edit.get());
    EXPECT_TRUE(edit->IsFocused());
    EXPECT_TRUE(window->OnKeyDown(13, 0, 0, 0));
    EXPECT_EQ(m_Log, (std::vector<std::string>{"edit key13 pass0", "edit key13 pass1", "other key13 pass1"}));

    other->SetFocus(other.get());
    EXPECT_FALSE(edit->IsFocused());
    EXPECT_TRUE(other->IsFocused());
    // A disabled widget is not told, but holds the focus.
    edit->AddFlags(CBaseWidget::Disabled);
    window->SetFocus(edit.get());
    EXPECT_FALSE(edit->IsFocused());
    EXPECT_EQ(window->GetFocusedWidget(), edit.get());
    // The focused widget may leave its parent: the window still holds it.
    edit->AddFlags(CBaseWidget::Closed);
    window->UpdateAll();
    edit.reset();
    m_Log.clear();
    EXPECT_FALSE(window->OnKeyDown(13, 0, 0, 0));
    EXPECT_EQ(m_Log, (std::vector<std::string>{"other key13 pass1"}));
}

TEST_F(WindowTest, DraggedWindowStaysOnTheScreen)
{
    const CWindow::Ptr window = Load("test_window"); // at (50, 40), 96 x 96
    const CWindow::Ptr owner = Load("plain_window");
    owner->SetPosition(0, 0);
    owner->ShowModal(window);
    EXPECT_EQ(window->GetPosition(true), CVector2(50, 40));
    EXPECT_EQ(window->GetPosition(false), CVector2());

    // Root points reach the modal window in its coordinates.
    EXPECT_TRUE(owner->OnMouseDown(CPoint2i(60, 50), 0, 0, 0));
    EXPECT_TRUE(window->IsDragging());
    EXPECT_TRUE(owner->OnMouseMove(CPoint2i(70, 45), 0, 0));
    EXPECT_TRUE(owner->OnMouseMove(CPoint2i(70, 45), 0, 1));
    EXPECT_EQ(window->GetPosition(), CVector2(60, 35));
    EXPECT_TRUE(owner->OnMouseMove(CPoint2i(-300, 45), 0, 0));
    EXPECT_EQ(window->GetPosition(), CVector2(0, 35));
    EXPECT_TRUE(owner->OnMouseMove(CPoint2i(5000, 5000), 0, 0));
    EXPECT_EQ(window->GetPosition(), CVector2(800 - 96, 600 - 96));
    owner->OnMouseUp(CPoint2i(0, 0), 0, 0, 0);
    EXPECT_FALSE(window->IsDragging());

    // A window that is not moveable does not start.
    const CWindow::Ptr plain = Load("plain_window");
    EXPECT_FALSE(plain->OnMouseDown(CPoint2i(10, 10), 0, 0, 0));
    EXPECT_FALSE(plain->IsDragging());
}

TEST_F(WindowTest, ShowEffectIsLookedUpOnceAndSoundsPlay)
{
    const CWindow::Ptr window = Load("test_window");
    const int before = CCountingEffect::Created;
    window->OnActivate();
    EXPECT_EQ(CCountingEffect::Created, before + 1);
    EXPECT_EQ(window->GetEffects().size(), 1u);
    EXPECT_TRUE(window->OnDeactivate());
    window->OnActivate();
    EXPECT_EQ(CCountingEffect::Created, before + 1);
    EXPECT_EQ(m_Sounds, (std::vector<std::string>{"snd_open", "snd_close", "snd_open"}));

    // The plain template names no sounds and no effects.
    m_Sounds.clear();
    const CWindow::Ptr plain = Load("plain_window");
    plain->OnActivate();
    EXPECT_TRUE(plain->OnDeactivate());
    EXPECT_TRUE(m_Sounds.empty());
}

namespace {

// The window tests' font: letters 6 wide, cells 10 high.
class WindowToolTipTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        m_Device = std::make_unique<CRecordingRenderer>();
        lv::graphics::CTexture* texture = lv::graphics::CTextureManager::Instance().CreateTexture(512, 16);
        ASSERT_NE(texture, nullptr);
        m_Fonts = std::make_unique<CFontFixture>("", texture);
        m_Font = m_Fonts->LoadOne(TestFontXml());
        ASSERT_NE(m_Font, nullptr);
        m_Window = Load("test_window");
        m_Window->SetPosition(0, 0);
        m_Window->GetToolTipLabel()->SetFont(m_Font);
        m_Top = m_Window.get();
    }
    void TearDown() override
    {
        m_Window.reset();
        m_Fonts.reset();
        m_Device.reset();
        WindowTest::TearDown();
    }
    // Both passes, as the dispatcher sends them.
    void Move(s32 time, s32 x, s32 y)
    {
        m_Time = time;
        m_Window->OnMouseMove(CPoint2i(x, y), 0, 0);
        m_Window->OnMouseMove(CPoint2i(x, y), 0, 1);
    }
    void Frame(s32 time)
    {
        m_Time = time;
        m_Window->UpdateAll();
    }
    bool TipShown() const { return !(m_Window->GetToolTipLabel()->GetFlags() & CBaseWidget::Hidden); }

    std::unique_ptr<CRecordingRenderer> m_Device;
    std::unique_ptr<CFontFixture> m_Fonts;
    lv::graphics::CFont* m_Font = nullptr;
    CWindow::Ptr m_Window;
};

} // namespace

TEST_F(WindowToolTipTest, ShowToolTipKeepsTheFramedTipInsideTheWindow)
{
    lv::gui::CLabelWidget* label = m_Window->GetToolTipLabel();
    // "abcd" is 24 x 10; its background reaches 4 beyond the sides and 2 beyond top and bottom.
    m_Window->ShowToolTip(CPoint2i(40, 20), u"abcd");
    EXPECT_TRUE(TipShown());
    EXPECT_EQ(label->GetText(), u"abcd");
    EXPECT_EQ(label->GetSize(), CVector2(24, 10));
    EXPECT_EQ(label->GetPosition(), CVector2(28, 20));
    // Near the right edge the background ends at the window's edge, 96.
    m_Window->ShowToolTip(CPoint2i(90, 20), u"abcd");
    EXPECT_EQ(label->GetPosition(), CVector2(96 - 4 - 24, 20));
    m_Window->UpdateAll();
    EXPECT_EQ(m_Window->GetToolTipBackground()->GetPosition(), CVector2(96 - 32, 18));
    EXPECT_EQ(m_Window->GetToolTipBackground()->GetSize(), CVector2(32, 14));
    // Past the top and left edges.
    m_Window->ShowToolTip(CPoint2i(0, -50), u"abcd");
    EXPECT_EQ(label->GetPosition(), CVector2(4, 2));
    // Past the bottom.
    m_Window->ShowToolTip(CPoint2i(40, 95), u"abcd");
    EXPECT_EQ(label->GetPosition().Y, 96 - 2 - 10);

    // Drawn over the window; hidden again on request.
    m_Device->Log->Draws.clear();
    m_Window->Render(*m_Device->Renderer);
    m_Device->Renderer->Flush();
    EXPECT_FALSE(m_Device->Log->Draws.empty());
    m_Window->HideToolTip();
    EXPECT_FALSE(TipShown());
}

TEST_F(WindowToolTipTest, HelperRequestsTheTipOnceAfterTheMouseRestedOverItsOwner)
{
    boost::intrusive_ptr<CWindowProbe> owner(new CWindowProbe("owner", m_Log));
    owner->SetPosition(10, 10);
    owner->SetSize(40, 20);
    owner->SetToolTipText(u"hint");
    m_Window->AddChild(owner);
    ASSERT_EQ(owner->GetChildren().size(), 1u);
    const auto* helper = dynamic_cast<lv::gui::CToolTipHelperWidget*>(owner->GetChildren()[0].get());
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(helper->GetName(), CFixedString("ToolTipHelperWidget"));
    EXPECT_EQ(helper->GetSize(), CVector2(40, 20));
    EXPECT_EQ(helper->GetFlags(), u32(CBaseWidget::Hidden));
    EXPECT_EQ(helper->GetAnchors(), 15u);

    Move(1000, 15, 15);
    Move(1300, 20, 12);
    Frame(1500);
    EXPECT_FALSE(TipShown());
    Move(1501, 25, 16);
    Frame(1501);
    EXPECT_TRUE(TipShown());
    EXPECT_EQ(m_Window->GetToolTipLabel()->GetText(), u"hint");
    // 30 below the latest point: (25, 16) in the window, the label centred on x.
    EXPECT_EQ(m_Window->GetToolTipLabel()->GetPosition(), CVector2(25 - 12, 16 + 30));
    // Once per hover.
    m_Window->HideToolTip();
    Frame(3000);
    EXPECT_FALSE(TipShown());
    // Leaving hides the tip; x = width counts as outside.
    m_Window->ShowToolTip(CPoint2i(0, 0), u"other");
    Move(3100, 10 + 40, 15);
    EXPECT_FALSE(TipShown());
    Frame(5000);
    EXPECT_FALSE(TipShown());
}

TEST_F(WindowToolTipTest, LeavingEarlyOrAModalWindowMeansNoTip)
{
    boost::intrusive_ptr<CWindowProbe> owner(new CWindowProbe("owner", m_Log));
    owner->SetPosition(10, 10);
    owner->SetSize(40, 20);
    owner->SetToolTipText(u"hint");
    m_Window->AddChild(owner);

    Move(1000, 15, 15);
    Move(1300, 60, 15); // out
    Frame(2000);
    EXPECT_FALSE(TipShown());
    // The next entry starts a new delay.
    Move(2000, 15, 15);
    Frame(2400);
    EXPECT_FALSE(TipShown());
    Frame(2501);
    EXPECT_TRUE(TipShown());
    Move(2600, 60, 15);
    EXPECT_FALSE(TipShown());

    // A window opened over ours while the delay runs: nothing, until the mouse comes back.
    Move(3000, 15, 15);
    boost::intrusive_ptr<CRecordingWindow> modal(new CRecordingWindow("modal", m_Log));
    m_Top = modal.get();
    Frame(3600);
    EXPECT_FALSE(TipShown());
    m_Top = m_Window.get();
    Move(3700, 16, 15);
    Frame(4500);
    EXPECT_FALSE(TipShown());
    Move(4600, 60, 15);
    Move(4700, 16, 15);
    Frame(5201);
    EXPECT_TRUE(TipShown());
}

TEST_F(WindowToolTipTest, DebugRenderOutlinesEveryWidget)
{
    lv::core::CSettings settings;
    ASSERT_TRUE(settings.LoadXmlText("<?xml version=\"1.0\"?><settings debug_render=\"true\"/>"));
    CGuiServices::Instance().Settings = [&settings] { return &settings; };
    CGuiServices::Instance().ForgetDebugRender();
    boost::intrusive_ptr<CWindowProbe> probe(new CWindowProbe("p", m_Log));
    const auto lines = [&] {
        m_Device->Log->Draws.clear();
        probe->Render(*m_Device->Renderer);
        m_Device->Renderer->Flush();
        size_t n = 0;
        for (const auto& d : m_Device->Log->Draws)
            if (d.Type == D3DPT_LINELIST)
                n += d.Vertices.size() / sizeof(lv::graphics::CVertex) / 2;
        return n;
    };
    EXPECT_EQ(lines(), 4u);
    // Read once: a later change of the settings is not seen.
    CGuiServices::Instance().Settings = nullptr;
    EXPECT_EQ(lines(), 4u);
    CGuiServices::Instance().ForgetDebugRender();
    EXPECT_EQ(lines(), 0u);
}

namespace {

struct CSenderLogWindow : CWindow
{
    void OnEvent(const char* name, CBaseWidget* sender) override
    {
        Events.push_back(name);
        Senders.push_back(sender);
    }
    std::vector<std::string> Events;
    std::vector<CBaseWidget*> Senders;
};

} // namespace

TEST_F(WindowTest, EventsOfNestedWidgetsReachTheWindowUnchanged)
{
    boost::intrusive_ptr<CSenderLogWindow> window(new CSenderLogWindow());
    window->LoadWindow("plain_window");
    boost::intrusive_ptr<CWindowProbe> panel(new CWindowProbe("panel", m_Log));
    boost::intrusive_ptr<CWindowProbe> button(new CWindowProbe("back_btn", m_Log));
    panel->SetPosition(5, 6);
    button->SetPosition(2, 3);
    panel->AddChild(button);
    window->AddChild(panel);
    window->SetPosition(100, 50);
    button->OnEvent("pressed", button.get());
    EXPECT_EQ(window->Events, (std::vector<std::string>{"pressed"}));
    EXPECT_EQ(window->Senders, (std::vector<CBaseWidget*>{button.get()}));
    // Positions: inside the window without windows, on the screen with them.
    EXPECT_EQ(button->GetPosition(false), CVector2(7, 9));
    EXPECT_EQ(button->GetPosition(true), CVector2(107, 59));
}
