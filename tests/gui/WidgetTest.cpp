#include "RecordingRenderer.h"
#include "RecordingWindow.h"

#include "gui/WidgetFactory.h"

#include <gtest/gtest.h>

using lv::gui::CBaseWidget;
using lv::gui::CBaseWindow;
using lv::gui::CWidgetFactory;

namespace {

class CFlagWatcher : public CBaseWidget
{
public:
    CFlagWatcher() : CBaseWidget(CFixedString("w")) {}
    void OnHiddenChanged(bool hidden) override
    {
        Seen.push_back(std::string("hidden") + (hidden ? "1" : "0") + Now());
    }
    void OnDisabledChanged(bool disabled) override
    {
        Seen.push_back(std::string("disabled") + (disabled ? "1" : "0") + Now());
    }
    std::string Now() const { return " flags" + std::to_string(GetFlags()); }
    std::vector<std::string> Seen;
};

} // namespace

TEST(BaseWidget, ParentToLocalRoundsHalfAwayFromZero)
{
    CBaseWidget w(CFixedString("w"));
    w.SetPosition(2.5f, 0);
    EXPECT_EQ(w.ParentToLocal(CPoint2i(10, 10)), CPoint2i(8, 10));
    EXPECT_EQ(w.ParentToLocal(CPoint2i(2, 0)), CPoint2i(-1, 0));
    CMatrix3 scale;
    CMatrix3::MakeScale(scale, 2, 2);
    w.SetTransform(scale);
    EXPECT_EQ(w.ParentToLocal(CPoint2i(12, 10)), CPoint2i(5, 5)); // 4.75 -> 5
    EXPECT_EQ(w.LocalToParent(CPoint2i(5, 5)), CPoint2i(13, 10)); // 12.5 -> 13
}

TEST(BaseWidget, HitTestExcludesTheFarEdges)
{
    CBaseWidget w(CFixedString("w"));
    w.SetSize(10.7f, 5);
    EXPECT_TRUE(w.HitTest(CPoint2i(0, 0)));
    EXPECT_TRUE(w.HitTest(CPoint2i(9, 4)));
    EXPECT_FALSE(w.HitTest(CPoint2i(10, 4)));
    EXPECT_FALSE(w.HitTest(CPoint2i(-1, 0)));
    w.SetSize(0.5f, 0.5f);
    EXPECT_FALSE(w.HitTest(CPoint2i(0, 0)));
}

TEST(BaseWidget, FlagChangesAreAnnouncedBeforeTheyAreStored)
{
    CFlagWatcher w;
    w.SetFlags(CBaseWidget::Hidden | CBaseWidget::Disabled);
    w.RemoveFlags(CBaseWidget::Hidden);
    w.AddFlags(CBaseWidget::Closed);
    const std::vector<std::string> expected = {"hidden1 flags0", "disabled1 flags0", "hidden0 flags3"};
    EXPECT_EQ(w.Seen, expected);
    EXPECT_EQ(w.GetSize().X, 0);
}

TEST(BaseWidget, UpdateDropsClosedChildrenAndSkipsDisabledNodes)
{
    std::vector<std::string> log;
    boost::intrusive_ptr<CRecordingWindow> root(new CRecordingWindow("root", log));
    boost::intrusive_ptr<CRecordingWindow> a(new CRecordingWindow("a", log)),
        b(new CRecordingWindow("b", log));
    root->AddChild(a);
    root->AddChild(b);
    root->AddChild(a);
    ASSERT_EQ(root->GetChildren().size(), 2u);
    EXPECT_EQ(root->GetChildren().front(), b); // a new child comes first
    CRecordingRenderer recording;
    root->Draw(*recording.Renderer);
    EXPECT_EQ(log, (std::vector<std::string>{"root draw", "a draw", "b draw"}));
    log.clear();
    a->AddFlags(CBaseWidget::Closed);
    b->AddFlags(CBaseWidget::Disabled);
    root->UpdateAll();
    EXPECT_EQ(log, std::vector<std::string>{"root update"});
    EXPECT_EQ(root->GetChildren().size(), 1u);
}

TEST(BaseWindow, ModalWindowsAreActivatedAndClosedWithConsent)
{
    std::vector<std::string> log;
    boost::intrusive_ptr<CRecordingWindow> root(new CRecordingWindow("root", log));
    boost::intrusive_ptr<CRecordingWindow> m1(new CRecordingWindow("m1", log)),
        m2(new CRecordingWindow("m2", log));
    EXPECT_EQ(root->GetModalWindow(), nullptr);
    root->ShowModal(m1);
    root->ShowModal(m2);
    EXPECT_EQ(root->GetModalWindow(), m2);
    m2->AddFlags(CBaseWidget::Closed);
    root->UpdateAll();
    EXPECT_EQ(root->GetModalWindow(), nullptr);
    const std::vector<std::string> expected = {"m1 activate", "m1 deactivate", "m2 activate", "root update",
                                               "m2 deactivate"};
    EXPECT_EQ(log, expected);
}

TEST(WidgetFactory, RegistersOncePerExactName)
{
    auto& factory = CWidgetFactory::Instance();
    CWidgetFactory::RegisterWidgetTypes();
    const size_t before = factory.GetTypeCount();
    CWidgetFactory::RegisterWidgetTypes();
    EXPECT_EQ(factory.GetTypeCount(), before);

    struct CFirst : lv::gui::CWidget
    {
        CFirst() : CWidget(CFixedString(""), 0, 0) {}
    };
    struct CSecond : lv::gui::CWidget
    {
        CSecond() : CWidget(CFixedString(""), 0, 0) {}
    };
    EXPECT_TRUE(CWidgetFactory::RegisterWidget<CFirst>("test_widget"));
    EXPECT_FALSE(CWidgetFactory::RegisterWidget<CSecond>("test_widget"));
    EXPECT_TRUE(factory.IsRegistered("test_widget"));
    EXPECT_FALSE(factory.IsRegistered("Test_widget"));
    EXPECT_EQ(factory.CreateWidget("Test_widget"), nullptr);
    boost::intrusive_ptr<CBaseWidget> w(factory.CreateWidget("test_widget"));
    EXPECT_NE(dynamic_cast<CFirst*>(w.get()), nullptr);
    EXPECT_TRUE(w->GetName().IsEmpty());
}
