// The image box, progress bar, clip and Flash widgets, and the widget factory's fifteen types.
#include "RecordingRenderer.h"
#include "WidgetTestSupport.h"

#include "anim/ClipManager.h"
#include "anim/ClipObject.h"
#include "anim/ClipsBuilder.h"
#include "gui/ButtonWidget.h"
#include "gui/CheckboxWidget.h"
#include "gui/ClipWidget.h"
#include "gui/ComboBoxWidget.h"
#include "gui/EditWidget.h"
#include "gui/FlashWidget.h"
#include "gui/ImageBoxWidget.h"
#include "gui/InputDispatcher.h"
#include "gui/ProgressBarWidget.h"
#include "gui/SliderWidget.h"
#include "gui/TabWidget.h"
#include "gui/TableWidget.h"
#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <typeinfo>

using lv::gui::CBaseWidget;

namespace {

const char* const kLeafTemplates =
    "<imagebox_template id=\"ib\"><named_object name=\"insets\"><insets left=\"4\" top=\"5\" right=\"6\" "
    "bottom=\"7\"/></named_object></imagebox_template>";

// A 20 x 10 square in the middle of a 40 x 20 clip, moving right over a second.
const char* const kLeafClips = R"(<?xml version="1.0" encoding="utf-8"?>
<Clip id="slide" w="40" h="20">
  <image id="square" i_id="icon" vis="true">
    <kp t="0" p="20 10" py="-10 -5 10 -5 10 5 -10 5" c="-1" itpl="true"/>
    <kp t="1000" p="30 10" py="-10 -5 10 -5 10 5 -10 5" c="-1"/>
  </image>
</Clip>
)";

class LeafWidgets : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        lv::misc::anim::CClipsBuilder builder;
        ASSERT_TRUE(builder.AddXml(kLeafClips, std::strlen(kLeafClips)));
        s_ClipImage = builder.Build();
        ASSERT_TRUE(lv::misc::anim::CClipManager::Instance().LoadImage(s_ClipImage.data(),
                                                                       static_cast<u32>(s_ClipImage.size())));
    }
    static void TearDownTestSuite() { lv::misc::anim::CClipManager::Instance().Release(); }

    void SetUp() override
    {
        guitest::DeclareGuiTestImages();
        lv::gui::CWidgetFactory::RegisterWidgetTypes();
        Root.reset(new CEventWindow(Events));
        Dispatcher.SetRoot(Root);
        Dispatcher.Update();
    }

    // The widget of that type loaded from the element, at (100, 100) in the window.
    template <class T> boost::intrusive_ptr<T> Load(const char* type, const std::string& attributes)
    {
        const CTemplateXml xml(kLeafTemplates,
                               std::string("<") + type + " x=\"100\" y=\"100\" " + attributes + "/>");
        boost::intrusive_ptr<T> widget(
            static_cast<T*>(lv::gui::CWidgetFactory::Instance().CreateWidget(type)));
        Root->AddChild(widget);
        widget->LoadFromTemplate(xml.Node(), xml.Templates());
        Events.clear();
        return widget;
    }

    static CFloatRect Drawn(CBaseWidget& widget)
    {
        CRecordingRenderer renderer;
        widget.Render(*renderer.Renderer);
        renderer.Renderer->Flush();
        return DrawnBounds(*renderer.Log);
    }

    static std::vector<u8> s_ClipImage;
    std::vector<std::string> Events;
    boost::intrusive_ptr<CEventWindow> Root;
    lv::gui::CInputDispatcher Dispatcher;
};

std::vector<u8> LeafWidgets::s_ClipImage;

} // namespace

TEST_F(LeafWidgets, ProgressBarRevealsTheLeftPartOfItsImageUnscaled)
{
    auto bar = Load<lv::gui::CProgressBarWidget>(
        "progress_bar_widget", "frame=\"pb_frame\" progress=\"pb_fill\" width=\"200\" height=\"12\"");
    EXPECT_EQ(bar->GetSize(), CVector2(200, 12));
    EXPECT_EQ(bar->GetValue(), 0);
    EXPECT_EQ(bar->GetFrame()->GetSize(), CVector2(200, 12));
    EXPECT_TRUE(bar->GetProgress()->GetFlags() & CBaseWidget::ClipChildren);
    struct SCase
    {
        float value, shown;
    };
    for (const SCase c : {SCase{0.25f, 50}, SCase{1.5f, 200}, SCase{-3, 0}, SCase{1, 200}}) {
        bar->SetValue(c.value);
        EXPECT_EQ(bar->GetProgress()->GetSize(), CVector2(c.shown, 12)) << c.value;
        EXPECT_EQ(bar->GetProgress()->GetImage().GetRect(), CFloatRect(0, 0, 200, 12)) << c.value;
    }
    bar->SetValue(0.25f);
    EXPECT_EQ(Drawn(*bar->GetProgress()), CFloatRect(0, 0, 50, 12));
    // Neither width nor height: the progress image's size.
    auto natural =
        Load<lv::gui::CProgressBarWidget>("progress_bar_widget", "frame=\"pb_frame\" progress=\"pb_fill\"");
    EXPECT_EQ(natural->GetSize(), CVector2(200, 12));
    auto empty = Load<lv::gui::CProgressBarWidget>("progress_bar_widget", "");
    EXPECT_EQ(empty->GetSize(), CVector2(0, 0));
}

TEST_F(LeafWidgets, ImageBoxCentresItsContentAndSwallowsThePointer)
{
    auto box = Load<lv::gui::CImageBoxWidget>(
        "image_box_widget", "id=\"box\" imagebox_template=\"ib\" frame_image=\"frame24\" stretch=\"fill\" "
                            "width=\"100\" height=\"100\"");
    EXPECT_EQ(box->GetSize(), CVector2(100, 100));
    EXPECT_EQ(box->GetStretchMode(), lv::gui::CImageBoxWidget::StretchFill);
    EXPECT_EQ(box->GetFrame().GetRect(), CFloatRect(0, 0, 100, 100));
    EXPECT_EQ(box->GetFrame().GetFlags(), 1);
    EXPECT_EQ(box->GetInsets().Left, 4);
    EXPECT_EQ(box->GetInsets().Bottom, 7);
    lv::gui::CImageWidget::Ptr content(
        new lv::gui::CImageWidget(CFixedString("icon"), CFixedString("content"), 0, 0));
    content->SetSize(40, 20);
    box->SetContent(content.get());
    EXPECT_EQ(content->GetPosition(), CVector2(30, 40));
    EXPECT_EQ(content->GetListener(), nullptr);
    // Every press, also over the content, any button.
    Dispatcher.DispatchMouseDown(CPoint2i(140, 150), 0, 0, 0);
    Dispatcher.DispatchMouseDown(CPoint2i(195, 195), 1, 0, 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"on_mouse_down box", "on_mouse_down box"}));
    EXPECT_EQ(Dispatcher.DispatchMouseWheel(CPoint2i(140, 150), 1, 0), 1);
    EXPECT_EQ(Dispatcher.DispatchMouseMove(CPoint2i(101, 101), 0, 0), 1);
    EXPECT_EQ(Dispatcher.DispatchMouseMove(CPoint2i(300, 300), 0, 0), 0);
    box->SetContent(nullptr);
    EXPECT_EQ(box->GetContent(), nullptr);

    // Exact spelling only; a frame's own size when the node gives none.
    struct SCase
    {
        const char* stretch;
        s32 mode;
    };
    for (const SCase c : {SCase{"Fill", 1}, SCase{"no", 0}, SCase{"height", 3}, SCase{"", 1}}) {
        auto other = Load<lv::gui::CImageBoxWidget>(
            "image_box_widget", std::string("frame_image=\"frame24\" stretch=\"") + c.stretch + "\"");
        EXPECT_EQ(other->GetStretchMode(), c.mode) << c.stretch;
        EXPECT_EQ(other->GetSize(), CVector2(24, 24));
    }
    box->SetStretchMode(9);
    EXPECT_EQ(box->GetStretchMode(), lv::gui::CImageBoxWidget::StretchFill);
}

TEST_F(LeafWidgets, ImageBoxClipsItsContentToTheInsets)
{
    auto box = Load<lv::gui::CImageBoxWidget>("image_box_widget",
                                              "imagebox_template=\"ib\" width=\"100\" height=\"100\"");
    lv::gui::CImageWidget::Ptr content(
        new lv::gui::CImageWidget(CFixedString("icon"), CFixedString(""), 0, 0));
    content->SetSize(300, 300);
    box->SetContent(content.get());
    EXPECT_EQ(Drawn(*box), CFloatRect(104, 105, 90, 88));
}

TEST_F(LeafWidgets, ClipWidgetRestartsWhenReparentedAndDrawsCentred)
{
    auto clip = Load<lv::gui::CClipWidget>("clip_widget", "clip=\"slide\"");
    EXPECT_EQ(clip->GetSize(), CVector2(40, 20));
    EXPECT_EQ(Drawn(*clip), CFloatRect(110, 105, 20, 10));
    clip->SetSize(80, 40);
    EXPECT_EQ(clip->GetClip().GetSize(), CVector2(80, 40));
    EXPECT_EQ(Drawn(*clip), CFloatRect(120, 110, 40, 20));

    lv::misc::anim::CClipObject* square = clip->GetClip().FindObject("square");
    ASSERT_NE(square, nullptr);
    clip->GetClip().SetTime(500);
    EXPECT_EQ(square->GetCurrentTime(), 500);
    lv::gui::CWidget::Ptr panel(new lv::gui::CWidget(CFixedString("panel"), 0, 0));
    Root->RemoveAllChildren();
    panel->AddChild(clip);
    EXPECT_EQ(square->GetCurrentTime(), 0);
    EXPECT_EQ(square->GetState(), lv::misc::anim::CClipObject::StatePlaying);

    auto missing = Load<lv::gui::CClipWidget>("clip_widget", "clip=\"nothing\"");
    EXPECT_EQ(missing->GetSize(), CVector2(0, 0));
    EXPECT_EQ(Drawn(*missing), CFloatRect());
    missing->UpdateAll();
}

TEST_F(LeafWidgets, FlashWidgetLoadsNothingAndDrawsOnlyItsChildren)
{
    auto flash = Load<lv::gui::CFlashWidget>("flash_widget", "");
    EXPECT_EQ(flash->GetSize(), CVector2(0, 0));
    EXPECT_FALSE(flash->LoadMovie(u"movie.swf", 100, 50, "movie"));
    EXPECT_EQ(flash->GetSize(), CVector2(100, 50));
    EXPECT_EQ(flash->GetPlayer().Render(true), nullptr);
    lv::gui::CImageWidget::Ptr child(new lv::gui::CImageWidget(CFixedString("icon"), CFixedString(""), 0, 0));
    child->SetPosition(5, 5);
    flash->AddChild(child);
    flash->UpdateAll();
    EXPECT_EQ(Drawn(*flash), CFloatRect(105, 105, 16, 16));
}

TEST(WidgetFactoryTypes, EveryTypeNameCreatesExactlyItsClassWithAnEmptyName)
{
    guitest::DeclareGuiTestImages();
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    struct SType
    {
        const char* name;
        const std::type_info& type;
    };
    const SType types[] = {
        {"label_widget", typeid(lv::gui::CLabelWidget)},
        {"image_widget", typeid(lv::gui::CImageWidget)},
        {"button_widget", typeid(lv::gui::CButtonWidget)},
        {"checkbox_widget", typeid(lv::gui::CCheckboxWidget)},
        {"scroll_widget", typeid(lv::gui::CScrollWidget)},
        {"list_widget", typeid(lv::gui::CListWidget)},
        {"combobox_widget", typeid(lv::gui::CComboBoxWidget)},
        {"edit_widget", typeid(lv::gui::CEditWidget)},
        {"slider_widget", typeid(lv::gui::CSliderWidget)},
        {"tab_widget", typeid(lv::gui::CTabWidget)},
        {"table_widget", typeid(lv::gui::CTableWidget)},
        {"image_box_widget", typeid(lv::gui::CImageBoxWidget)},
        {"progress_bar_widget", typeid(lv::gui::CProgressBarWidget)},
        {"clip_widget", typeid(lv::gui::CClipWidget)},
        {"flash_widget", typeid(lv::gui::CFlashWidget)},
    };
    for (const SType& t : types) {
        boost::intrusive_ptr<lv::gui::CWidget> widget(
            lv::gui::CWidgetFactory::Instance().CreateWidget(t.name));
        ASSERT_NE(widget, nullptr) << t.name;
        EXPECT_TRUE(typeid(*widget) == t.type) << t.name;
        EXPECT_TRUE(widget->GetName().IsEmpty()) << t.name;
    }
    EXPECT_FALSE(lv::gui::CWidgetFactory::Instance().IsRegistered("Table_widget"));
}
