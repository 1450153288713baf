#include "RecordingRenderer.h"
#include "WidgetTestSupport.h"

#include "core/Timer.h"
#include "graphics/FontTestSupport.h"
#include "graphics/TextureManager.h"
#include "gui/CheckboxWidget.h"
#include "gui/InputDispatcher.h"
#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

using lv::gui::CBaseWidget;
using lv::gui::CCheckboxWidget;

namespace {

class CheckboxWidget : public testing::Test
{
protected:
    void SetUp() override
    {
        guitest::DeclareGuiTestImages();
        lv::gui::CWidgetFactory::RegisterWidgetTypes();
        Root.reset(new CEventWindow(Events));
        Dispatcher.SetRoot(Root);
        Dispatcher.Update();
    }

    CCheckboxWidget::Ptr Load(const std::string& templateAttributes, const std::string& nodeAttributes = "",
                              bool listen = true)
    {
        const CTemplateXml xml("<checkbox_template id=\"t\" box_image=\"box\" check_image=\"check\" "
                               "gray_box_image=\"gray_box\" gray_check_image=\"gray_check\" " +
                                   templateAttributes + "/>",
                               "<checkbox_widget id=\"cb\" checkbox_template=\"t\" x=\"50\" y=\"50\" " +
                                   nodeAttributes + "/>");
        CCheckboxWidget::Ptr box(static_cast<CCheckboxWidget*>(
            lv::gui::CWidgetFactory::Instance().CreateWidget("checkbox_widget")));
        if (listen)
            Root->AddChild(box);
        box->LoadFromTemplate(xml.Node(), xml.Templates());
        return box;
    }
    static bool Shown(const CBaseWidget* w) { return !(w->GetFlags() & CBaseWidget::Hidden); }

    std::vector<std::string> Events;
    boost::intrusive_ptr<CEventWindow> Root;
    lv::gui::CInputDispatcher Dispatcher;
    CSoundLog Sounds;
};

} // namespace

TEST_F(CheckboxWidget, LayoutPlacesLabelBoxAndCheck)
{
    CRecordingRenderer renderer;
    lv::graphics::CTexture* texture = lv::graphics::CTextureManager::Instance().CreateTexture(512, 16);
    ASSERT_NE(texture, nullptr);
    CFontFixture fonts("", texture);
    const lv::graphics::CFont* font = fonts.LoadOne(TestFontXml());
    ASSERT_NE(font, nullptr);
    CCheckboxWidget::Ptr box(new CCheckboxWidget(lv::graphics::CSprite(CFixedString("box")),
                                                 lv::graphics::CSprite(CFixedString("check")), font,
                                                 u"Sound effects", CFixedString("cb"), 0, 0));
    const float label = box->GetLabel()->GetSize().X;
    ASSERT_GT(label, 0);
    EXPECT_EQ(box->GetSize(), CVector2(label + 32, 32));
    EXPECT_EQ(box->GetLabel()->GetSize().Y, 32);
    EXPECT_EQ(box->GetPreferredSize(), CVector2(label + 32, 32));
    EXPECT_EQ(box->GetCheck()->GetPosition(), CVector2(6, 6));

    // Indent 8, text right (default) and left.
    for (const char* location : {"", "text_loc=\"left\""}) {
        auto loaded = Load(std::string("indent=\"8\" ") + location);
        const float w = loaded->GetLabel()->GetSize().X;
        const bool left = *location != 0;
        EXPECT_EQ(loaded->GetBox()->GetPosition().X, left ? w + 8 : 0) << location;
        EXPECT_EQ(loaded->GetLabel()->GetPosition().X, left ? 0 : 40) << location;
        EXPECT_EQ(loaded->GetSize(), CVector2(w + 40, 32)) << location;
        const CVector2 at = loaded->GetBox()->GetPosition();
        EXPECT_EQ(loaded->GetCheck()->GetPosition(), CVector2(at.X + 6, at.Y + 6)) << location;
        EXPECT_EQ(loaded->GetGreyCheck()->GetPosition(), loaded->GetCheck()->GetPosition()) << location;
    }
}

TEST_F(CheckboxWidget, CheckMarkFadesOverTheCheckTime)
{
    auto box = Load("check_time=\"200\"");
    EXPECT_EQ(box->GetCheckTime(), 200);
    lv::core::CTimer& timer = *box->GetCheckTimer();
    EXPECT_FALSE(timer.IsPaused());
    box->SetChecked(true, false);
    EXPECT_GT(timer.GetSpeed(), 0);
    timer.SetTime(100);
    box->Update();
    EXPECT_EQ(box->GetCheck()->GetColor().A, 127);
    timer.SetTime(500);
    box->Update();
    EXPECT_EQ(box->GetCheck()->GetColor().A, 255);
    box->SetChecked(false, false);
    EXPECT_LT(timer.GetSpeed(), 0);
}

TEST_F(CheckboxWidget, TemplateValueNotifiesAListenerOnce)
{
    auto box = Load("", "checked=\"true\"");
    EXPECT_TRUE(box->IsChecked());
    // Sent while loading, before the node's id names the widget.
    EXPECT_EQ(Events, std::vector<std::string>{"check_changed "});
    EXPECT_TRUE(Shown(box->GetCheck()));
    EXPECT_FALSE(Shown(box->GetGreyCheck()));
}

TEST_F(CheckboxWidget, AnyPressTogglesWithSounds)
{
    auto box = Load("sound_on_check=\"click\" sound_on_check_true=\"on\" sound_on_check_false=\"off\"");
    Events.clear();
    for (s32 button : {0, 1}) {
        Dispatcher.DispatchMouseDown(CPoint2i(52, 52), button, 0, 0);
        Dispatcher.DispatchMouseUp(CPoint2i(52, 52), button, 0, 0);
    }
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(Events, (std::vector<std::string>{"check_changed cb", "check_changed cb"}));
    EXPECT_EQ(Sounds.Played, (std::vector<std::string>{"click", "on", "click", "off"}));
    Events.clear();
    Dispatcher.DispatchMouseMove(CPoint2i(52, 52), 0, 0);
    Dispatcher.DispatchMouseMove(CPoint2i(53, 52), 0, 0);
    Dispatcher.DispatchMouseMove(CPoint2i(10, 10), 0, 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"overed cb", "lost_over cb"}));
}

TEST_F(CheckboxWidget, DisabledDrawShowsTheGreyImageOfTheValue)
{
    CRecordingRenderer renderer;
    auto box = Load("");
    box->AddFlags(CBaseWidget::Disabled);
    box->Draw(*renderer.Renderer);
    EXPECT_TRUE(Shown(box->GetGreyBox()));
    EXPECT_FALSE(Shown(box->GetBox()));
    box->SetChecked(true, false);
    box->Draw(*renderer.Renderer);
    EXPECT_TRUE(Shown(box->GetGreyCheck()));
    EXPECT_FALSE(Shown(box->GetCheck()));
    box->RemoveFlags(CBaseWidget::Disabled);
    box->Draw(*renderer.Renderer);
    EXPECT_TRUE(Shown(box->GetCheck()));
    EXPECT_FALSE(Shown(box->GetGreyCheck()));
}
