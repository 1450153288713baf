// Mouse moves per second through the input dispatcher over a window of 500 buttons: the
// coordinate mapping, both passes over the tree (hit test, then the broadcast to every button)
// and the cursor manager's update.
#include "gui/BaseWindow.h"
#include "gui/ButtonWidget.h"
#include "gui/InputDispatcher.h"
#include "platform/WindowMessages.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_MouseMoveOver500Buttons(benchmark::State& state)
{
    using namespace lv::gui;
    CBaseWindow::Ptr window(new CBaseWindow(CFixedString("bench")));
    window->SetSize(1366, 768);
    // 25 x 20 buttons of 50 x 30 with gaps.
    for (s32 row = 0; row < 20; ++row)
        for (s32 column = 0; column < 25; ++column) {
            CButtonWidget::Ptr button(new CButtonWidget());
            button->SetSize(50, 30);
            button->SetPosition(static_cast<float>(column * 54), static_cast<float>(row * 38));
            window->AddChild(button);
        }
    CInputDispatcher dispatcher;
    dispatcher.SetScreenArea(CFloatRect(0, 0, 1366, 768), CVector2(1, 1));
    dispatcher.SetRoot(window);
    dispatcher.Update();
    // Points alternate between buttons and gaps, so the buttons' states change as they would.
    std::vector<LPARAM> points;
    for (s32 i = 0; i < 997; ++i)
        points.push_back(MAKELPARAM((i * 37) % 1366, (i * 53) % 768));
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dispatcher.HandleMessage(nullptr, WM_MOUSEMOVE, 0, points[next]));
        next = next + 1 == points.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
    dispatcher.Release();
}
BENCHMARK(BM_MouseMoveOver500Buttons);

} // namespace
