#include "core/Settings.h"
#include "gui/LayoutBox.h"
#include "gui/Widget.h"
#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

using lv::gui::CBaseWidget;
using lv::gui::CWidget;
using lv::gui::CWidgetFactory;
using CBox = CBaseWidget::CLayoutBox;

namespace {

struct CBoxWidget : CWidget
{
    CBoxWidget() : CWidget(CFixedString(""), 0, 0) {}
};

struct SRow
{
    boost::intrusive_ptr<CWidget> Parent{new CBoxWidget};
    boost::shared_ptr<CBox> Box{new CBox(Parent.get())};
    std::vector<boost::intrusive_ptr<CWidget>> Children;

    SRow(float left, float right, float top, float bottom)
    {
        Parent->SetLayoutBox(Box);
        Box->SetInsets({left, right, top, bottom});
    }
    CBox& Add(float w, float h, u32 flex = 0)
    {
        boost::intrusive_ptr<CWidget> child(new CBoxWidget);
        child->SetSize(w, h);
        boost::shared_ptr<CBox> box(new CBox(child.get()));
        box->SetFlex(flex);
        child->SetLayoutBox(box);
        Parent->AddChild(child);
        Box->AddBox(box);
        Children.push_back(child);
        return *box;
    }
};

} // namespace

TEST(LayoutBox, FlexibleChildrenShareTheFreeSpaceAndMeasuringFindsTheNeed)
{
    SRow row(10, 10, 0, 0);
    row.Add(30, 20);
    row.Add(50, 20, 1);
    row.Add(50, 20, 3);
    row.Box->Measure();
    EXPECT_FLOAT_EQ(row.Parent->GetSize().X, 250);

    row.Parent->SetSize(200, 20);
    const float widths[] = {30, 37.5f, 112.5f}, xs[] = {10, 40, 77.5f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(row.Children[i]->GetSize().X, widths[i]) << i;
        EXPECT_FLOAT_EQ(row.Children[i]->GetPosition().X, xs[i]) << i;
    }

    row.Parent->SetSize(40, 20);
    EXPECT_FLOAT_EQ(row.Children[1]->GetSize().X, 0) << "negative free space";
    EXPECT_FLOAT_EQ(row.Children[2]->GetSize().X, 0);
}

TEST(LayoutBox, PackAlignAndAbsolutePositions)
{
    struct SCase
    {
        u32 pack, align;
        float x, y, height;
    };
    const SCase cases[] = {
        {CBox::PackCenter, CBox::AlignStart, 5 + 20, 5, 10},
        {CBox::PackEnd, CBox::AlignEnd, 5 + 40, 5 + 30, 10},
        {CBox::PackStart, CBox::AlignCenter, 5, 5 + 15, 10},
        {CBox::PackStart, CBox::AlignStretch, 5, 5, 40},
    };
    for (const SCase& c : cases) {
        SRow row(5, 5, 5, 5);
        row.Box->SetPack(c.pack);
        row.Box->SetAlign(c.align);
        row.Add(60, 10);
        row.Add(10, 10).SetAbsolutePosition(true);
        row.Children[1]->SetPosition(7, 8);
        row.Parent->SetSize(110, 50);
        EXPECT_FLOAT_EQ(row.Children[0]->GetPosition().X, c.x) << c.pack << c.align;
        EXPECT_FLOAT_EQ(row.Children[0]->GetPosition().Y, c.y) << c.pack << c.align;
        EXPECT_FLOAT_EQ(row.Children[0]->GetSize().Y, c.height) << c.pack << c.align;
        EXPECT_FLOAT_EQ(row.Children[1]->GetPosition().X, 7) << "abs_pos keeps its place";
        EXPECT_FLOAT_EQ(row.Children[1]->GetSize().Y, 10);
    }
}

TEST(LayoutBox, TemplatesMakeRegisteredWidgetsInNestedBoxesAndSkipOthers)
{
    CWidgetFactory::RegisterWidget<CBoxWidget>("layout_test_widget");
    lv::core::CSettings s;
    ASSERT_TRUE(s.LoadXmlText(R"(<?xml version="1.0"?><window id="w" orient="vertical">
        <hbox pack="end" width="100">
          <layout_test_widget id="a" width="30" height="10"/>
          <Layout_test_widget id="skipped"/>
          <layout_test_widget id="b" width="20" height="10" flex="1" layer="4"/>
        </hbox>
        <spacer height="15"/>
        <layout_test_widget id="c" height="5" x="3" y="4" abs_pos="true"/>
      </window>)"));
    const auto& node = s.GetFirstChild();
    boost::intrusive_ptr<CWidget> root(new CBoxWidget);
    root->LoadFromTemplate(node, s);
    root->ApplyLayout();
    EXPECT_EQ(root->GetName(), CFixedString("w"));
    ASSERT_EQ(root->GetChildren().size(), 3u);
    EXPECT_EQ(root->FindChild(CFixedString("skipped"), true), nullptr);
    const auto a = root->FindChild(CFixedString("a"), false), b = root->FindChild(CFixedString("b"), false),
               c = root->FindChild(CFixedString("c"), false);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(static_cast<CWidget&>(*b).GetLayer(), 4u);
    EXPECT_FLOAT_EQ(a->GetPosition().X, 0);
    EXPECT_FLOAT_EQ(b->GetPosition().X, 30);
    EXPECT_FLOAT_EQ(b->GetSize().X, 70);
    EXPECT_FLOAT_EQ(root->GetSize().Y, 25);
    EXPECT_FLOAT_EQ(c->GetPosition().X, 3);
    EXPECT_FLOAT_EQ(c->GetPosition().Y, 4);
}
