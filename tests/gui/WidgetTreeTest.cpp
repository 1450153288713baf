#include "gui/Widget.h"
#include "gui/WidgetEffectRegistry.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using lv::gui::CBaseWidget;
using lv::gui::CWidget;

namespace {

// Logs the handlers it runs; optional actions run from the mouse-down handler.
struct CProbe : CWidget
{
    CProbe(const char* name, u32 layer, u32 mask, std::vector<std::string>& log, bool takes = false)
        : CWidget(CFixedString(name), layer, mask), Log(log), Takes(takes)
    {
    }
    bool OnMouseDown(const CPoint2i& p, s32 b, s32 f, u8 pass) override
    {
        Log.push_back(std::string(GetName().GetText()) + " down" + std::to_string(pass) + " " +
                      std::to_string(p.X) + "," + std::to_string(p.Y));
        if (Action)
            Action();
        return Takes || CWidget::OnMouseDown(p, b, f, pass);
    }
    bool OnKeyDown(s32 key, s32 f, s32 d, u8 pass) override
    {
        Log.push_back(std::string(GetName().GetText()) + " key");
        CWidget::OnKeyDown(key, f, d, pass);
        return true;
    }
    void Update() override { Log.push_back(std::string(GetName().GetText()) + " update"); }
    void OnEvent(const char* name, CBaseWidget* sender) override
    {
        if (GetName() == CFixedString("top"))
            Log.push_back(std::string("event ") + name + " from " + sender->GetName().GetText());
        else
            CWidget::OnEvent(name, sender);
    }
    std::vector<std::string>& Log;
    bool Takes;
    std::function<void()> Action;
};

using ProbePtr = boost::intrusive_ptr<CProbe>;

ProbePtr Probe(std::vector<std::string>& log, const char* name, u32 layer, u32 mask = 0, bool takes = false)
{
    ProbePtr p(new CProbe(name, layer, mask, log, takes));
    p->SetSize(100, 100);
    return p;
}

std::vector<std::string> Names(const CBaseWidget& w)
{
    std::vector<std::string> names;
    for (const auto& c : w.GetChildren())
        names.push_back(c->GetName().GetText());
    return names;
}

} // namespace

TEST(WidgetTree, LayersOrderChildrenAndLayerZeroCopiesASibling)
{
    std::vector<std::string> log;
    auto root = Probe(log, "root", 1);
    auto first = Probe(log, "first", 5), second = Probe(log, "second", 0), third = Probe(log, "third", 5);
    root->AddChild(first);
    root->AddChild(second);
    root->AddChild(third);
    EXPECT_EQ(second->GetLayer(), 5u);
    EXPECT_EQ(Names(*root), (std::vector<std::string>{"third", "second", "first"}));
    EXPECT_EQ(third->GetListener(), root.get());

    auto front = Probe(log, "front", 0xFFFFFFFFu), late = Probe(log, "late", 0);
    root->AddChild(front);
    root->AddChild(late);
    EXPECT_EQ(late->GetLayer(), 5u) << "a layer-0 child does not copy the front layer";
    EXPECT_EQ(Names(*root).front(), "front");

    first->SetLayer(9);
    EXPECT_EQ(Names(*root)[4], "first") << "no re-sort before the update";
    root->UpdateAll();
    EXPECT_EQ(Names(*root)[1], "first");
}

TEST(WidgetTree, PointerPassesAndHiddenDisabledClosedChildren)
{
    std::vector<std::string> log;
    auto root = Probe(log, "root", 1);
    auto a = Probe(log, "a", 3, 32, true), b = Probe(log, "b", 2, 32, true), c = Probe(log, "c", 1, 0);
    auto inner = Probe(log, "inner", 1, 32);
    c->AddChild(inner);
    b->SetPosition(10, 0);
    for (auto& w : {a, b, c})
        root->AddChild(w);

    EXPECT_TRUE(root->CWidget::OnMouseDown(CPoint2i(50, 50), 0, 0, 0));
    EXPECT_EQ(log, std::vector<std::string>{"a down0 50,50"}) << "pass 0 stops at the first taker";
    log.clear();
    EXPECT_TRUE(root->CWidget::OnMouseDown(CPoint2i(50, 50), 0, 0, 1));
    EXPECT_EQ(log, (std::vector<std::string>{"a down1 50,50", "b down1 40,50", "inner down1 50,50"}))
        << "pass 1 passes over c, which lacks the bit, and reaches its child";

    log.clear();
    a->AddFlags(CBaseWidget::Hidden);
    b->AddFlags(CBaseWidget::Disabled);
    root->CWidget::OnMouseDown(CPoint2i(50, 50), 0, 0, 0);
    root->UpdateAll();
    EXPECT_EQ(log, (std::vector<std::string>{"a down0 50,50", "a update", "inner update", "c update",
                                             "root update"}))
        << "hidden takes clicks; disabled gets no input and no update";

    log.clear();
    a->AddFlags(CBaseWidget::Closed);
    EXPECT_EQ(a->GetSize().X, 0);
    EXPECT_EQ(a->GetInsets().Left, 0);
    EXPECT_FALSE(root->CloseChild(inner.get())) << "not a child of root";
    root->UpdateAll();
    EXPECT_EQ(Names(*root), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(a->GetListener(), nullptr);
}

TEST(WidgetTree, HandlersMayCloseSiblingsOrEmptyTheParentDuringTheWalk)
{
    std::vector<std::string> log;
    auto root = Probe(log, "root", 1);
    auto a = Probe(log, "a", 3, 32), b = Probe(log, "b", 2, 32), c = Probe(log, "c", 1, 32);
    for (auto& w : {a, b, c})
        root->AddChild(w);
    CProbe* raw = root.get();
    a->Action = [raw] { raw->RemoveAllChildren(); };
    b.reset();
    c.reset();
    root->CWidget::OnMouseDown(CPoint2i(1, 1), 0, 0, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"a down1 1,1", "b down1 1,1", "c down1 1,1"}));
    EXPECT_TRUE(root->GetChildren().empty());
}

TEST(WidgetTree, KeysReachEveryChildAndTheNodeReportsFalse)
{
    std::vector<std::string> log;
    auto root = Probe(log, "root", 1);
    auto a = Probe(log, "a", 2, 2), b = Probe(log, "b", 1, 0);
    root->AddChild(a);
    root->AddChild(b);
    EXPECT_FALSE(root->CBaseWidget::OnKeyDown(65, 0, 0, 0));
    EXPECT_EQ(log, std::vector<std::string>{"a key"});
}

TEST(WidgetTree, EventsClimbToTheFirstAncestorThatActs)
{
    std::vector<std::string> log;
    auto top = Probe(log, "top", 1), panel = Probe(log, "panel", 1), button = Probe(log, "button", 1);
    top->AddChild(panel);
    panel->AddChild(button);
    button->OnEvent("clicked", button.get());
    EXPECT_EQ(log, std::vector<std::string>{"event clicked from button"});
}

TEST(WidgetTree, CoordinatesRoundHalfAwayAndHitTestTruncates)
{
    std::vector<std::string> log;
    auto w = Probe(log, "w", 1);
    w->SetPosition(2.5f, 0);
    EXPECT_EQ(w->ParentToLocal(CPoint2i(10, 10)), CPoint2i(8, 10));
    EXPECT_EQ(w->ParentToLocal(CPoint2i(2, 0)), CPoint2i(-1, 0));
    EXPECT_FALSE(w->HitTest(CPoint2i(100, 5)));
    w->SetSize(0.5f, 0.5f);
    EXPECT_FALSE(w->HitTest(CPoint2i(0, 0)));
}

TEST(WidgetTree, AnchorsFollowTheParentsResize)
{
    struct SCase
    {
        u32 anchors;
        float from, to, x, width;
    };
    const SCase cases[] = {
        {CWidget::AnchorLeft | CWidget::AnchorRight, 100, 160, 10, 90},
        {CWidget::AnchorRight, 100, 160, 70, 30},
        {CWidget::AnchorTop, 100, 150, 15, 45},
        {CWidget::AnchorTop, 0, 150, 10, 30},
        {CWidget::AnchorLeft, 100, 160, 10, 30},
    };
    for (const SCase& c : cases) {
        std::vector<std::string> log;
        auto parent = Probe(log, "p", 1), child = Probe(log, "c", 1);
        parent->SetSize(c.from, 50);
        parent->AddChild(child);
        child->SetPosition(10, 5);
        child->SetSize(30, 20);
        child->SetAnchors(c.anchors);
        parent->SetSize(c.to, 50);
        EXPECT_FLOAT_EQ(child->GetPosition().X, c.x) << c.anchors << " " << c.from;
        EXPECT_FLOAT_EQ(child->GetSize().X, c.width) << c.anchors << " " << c.from;
    }
}

TEST(WidgetTree, EffectsStartUpdateBracketDrawingAndLeaveWhenFinished)
{
    struct CLogEffect : lv::gui::CWidgetEffect
    {
        explicit CLogEffect(std::vector<std::string>& log) : Log(log) {}
        void Start(CBaseWidget*) override { Log.push_back("start"); }
        void Update(CBaseWidget*) override
        {
            Log.push_back("tick");
            SetFinished(true);
        }
        std::vector<std::string>& Log;
    };
    auto& registry = lv::gui::CWidgetEffectRegistry::Instance();
    std::vector<std::string> log;
    EXPECT_FALSE(registry.Has(u"test_fade"));
    EXPECT_EQ(registry.Create(u"test_fade"), nullptr);
    EXPECT_TRUE(registry.Register(u"test_fade", lv::gui::CWidgetEffectRegistry::CCreator(
                                                    [&log]() -> lv::gui::CWidgetEffect* { return new CLogEffect(log); })));
    EXPECT_FALSE(registry.Register(u"test_fade", lv::gui::CWidgetEffectRegistry::CCreator(
                                                     []() -> lv::gui::CWidgetEffect* { return nullptr; })));
    auto w = Probe(log, "w", 1);
    w->AddEffect(registry.Create(u"test_fade"));
    w->UpdateAll();
    w->UpdateAll();
    EXPECT_EQ(log, (std::vector<std::string>{"start", "tick", "w update", "w update"}));
    EXPECT_TRUE(w->GetEffects().empty());
}
