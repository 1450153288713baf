#include "gui/WidgetEffect.h"

namespace lv::gui {

CWidgetEffect::~CWidgetEffect() = default;

void CWidgetEffect::Start(CBaseWidget*) {}

void CWidgetEffect::Update(CBaseWidget*) {}

void CWidgetEffect::BeforeDraw(lv::graphics::CRenderer&) {}

void CWidgetEffect::AfterDraw(lv::graphics::CRenderer&) {}

} // namespace lv::gui
