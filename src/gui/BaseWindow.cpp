#include "gui/BaseWindow.h"

#include "gui/Widget.h"

#include "core/MessageBox.h"
#include "core/Settings.h"
#include "gui/GuiServices.h"

namespace lv::gui {

namespace {

bool TakesInput(const CBaseWidget& w)
{
    return !(w.GetFlags() & (CBaseWidget::Disabled | CBaseWidget::Closed));
}

} // namespace

CBaseWindow::CBaseWindow(const CFixedString& name) : CBaseWidget(name) {}

CBaseWindow::~CBaseWindow()
{
    m_ModalWindow.reset();
}

CVector2 CBaseWindow::GetPosition(bool withWindows) const
{
    if (!withWindows)
        return CVector2();
    const CVector2 parent = m_ParentWindow ? m_ParentWindow->GetPosition(true) : CVector2();
    return parent + m_Position;
}

void CBaseWindow::SetFocus(CBaseWidget* widget)
{
    if (widget == m_FocusedWidget.get())
        return;
    const CBaseWidget::Ptr old = m_FocusedWidget;
    const CBaseWidget::Ptr now(widget);
    if (auto* w = dynamic_cast<CWidget*>(old.get()); w && TakesInput(*w))
        w->SetFocused(false);
    if (auto* w = dynamic_cast<CWidget*>(now.get()); w && TakesInput(*w))
        w->SetFocused(true);
    m_FocusedWidget = now;
}

CBaseWidget::Ptr CBaseWindow::InputModal(bool& modal) const
{
    modal = m_ModalWindow != nullptr;
    if (modal && TakesInput(*m_ModalWindow))
        return m_ModalWindow;
    return CBaseWidget::Ptr();
}

CBaseWidget::Ptr CBaseWindow::InputFocus() const
{
    if (m_FocusedWidget && TakesInput(*m_FocusedWidget))
        return m_FocusedWidget;
    return CBaseWidget::Ptr();
}

bool CBaseWindow::OnChar(u16 character, s32 keyFlags, s32 keyData, u8 pass)
{
    bool modal = false;
    if (const CBaseWidget::Ptr target = InputModal(modal); modal) {
        if (target)
            target->OnChar(character, keyFlags, keyData, pass);
        return true;
    }
    bool taken = false;
    if (const CBaseWidget::Ptr focus = InputFocus())
        taken = focus->OnChar(character, keyFlags, keyData, pass);
    CBaseWidget::OnChar(character, keyFlags, keyData, 1);
    return taken;
}

bool CBaseWindow::OnKeyDown(s32 key, s32 keyFlags, s32 keyData, u8 pass)
{
    bool modal = false;
    if (const CBaseWidget::Ptr target = InputModal(modal); modal) {
        if (target)
            target->OnKeyDown(key, keyFlags, keyData, pass);
        return true;
    }
    bool taken = false;
    if (const CBaseWidget::Ptr focus = InputFocus())
        taken = focus->OnKeyDown(key, keyFlags, keyData, pass);
    CBaseWidget::OnKeyDown(key, keyFlags, keyData, 1);
    return taken;
}

bool CBaseWindow::OnKeyUp(s32 key, s32 keyFlags, s32 keyData, u8 pass)
{
    bool modal = false;
    if (const CBaseWidget::Ptr target = InputModal(modal); modal) {
        if (target)
            target->OnKeyUp(key, keyFlags, keyData, pass);
        return true;
    }
    bool taken = false;
    if (const CBaseWidget::Ptr focus = InputFocus())
        taken = focus->OnKeyUp(key, keyFlags, keyData, pass);
    CBaseWidget::OnKeyUp(key, keyFlags, keyData, 1);
    return taken;
}

template <class TCall>
bool CBaseWindow::ToModal(const CPoint2i& point, const TCall& call)
{
    bool modal = false;
    const CBaseWidget::Ptr target = InputModal(modal);
    if (target)
        call(*target, target->ParentToLocal(point));
    return modal;
}

bool CBaseWindow::OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    if (ToModal(point, [&](CBaseWidget& m, const CPoint2i& p) { m.OnMouseMove(p, keyFlags, pass); }))
        return true;
    return CBaseWidget::OnMouseMove(point, keyFlags, pass);
}

bool CBaseWindow::OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    if (ToModal(point, [&](CBaseWidget& m, const CPoint2i& p) { m.OnMouseDown(p, button, keyFlags, pass); }))
        return true;
    return CBaseWidget::OnMouseDown(point, button, keyFlags, pass);
}

bool CBaseWindow::OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    if (ToModal(point, [&](CBaseWidget& m, const CPoint2i& p) { m.OnMouseUp(p, button, keyFlags, pass); }))
        return true;
    return CBaseWidget::OnMouseUp(point, button, keyFlags, pass);
}

bool CBaseWindow::OnMouseDoubleClick(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    if (ToModal(point, [&](CBaseWidget& m, const CPoint2i& p) { m.OnMouseDoubleClick(p, keyFlags, pass); }))
        return true;
    return CBaseWidget::OnMouseDoubleClick(point, keyFlags, pass);
}

bool CBaseWindow::OnMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags, u8 pass)
{
    if (ToModal(point, [&](CBaseWidget& m, const CPoint2i& p) { m.OnMouseWheel(p, notches, keyFlags, pass); }))
        return true;
    return CBaseWidget::OnMouseWheel(point, notches, keyFlags, pass);
}

void CBaseWindow::Draw(lv::graphics::CRenderer& renderer)
{
    if (!(m_Flags & Hidden))
        CBaseWidget::Draw(renderer);
    if (const Ptr modal = m_ModalWindow)
        modal->Render(renderer);
}

void CBaseWindow::Update()
{
    CBaseWidget::Update();
    if (m_ModalWindow && (m_ModalWindow->GetFlags() & Closed))
        CloseModal();
    if (const Ptr modal = m_ModalWindow)
        modal->UpdateAll();
}

void CBaseWindow::ShowModal(const Ptr& window)
{
    if (!window)
        return;
    if (const Ptr previous = m_ModalWindow)
        previous->OnDeactivate();
    m_ModalWindow = window;
    window->m_ParentWindow = this;
    window->OnActivate();
}

void CBaseWindow::CloseModal()
{
    // A window that refuses to go stays modal.
    if (const Ptr modal = m_ModalWindow; modal && modal->OnDeactivate()) {
        if (m_ModalWindow == modal)
            m_ModalWindow.reset();
        modal->m_ParentWindow = nullptr;
    }
}

bool CBaseWindow::LoadWindow(const lv::core::CSettingsGroup& gui, const lv::core::CSettingsGroup& templates,
                             const char* id)
{
    const lv::core::CSettingsGroup* node = gui.FindChildByAttribute("window", "id", id ? id : "", true);
    if (!node) {
        lv::core::ShowMessageBoxF("Error", "Window '%s' is not found in properties/gui.xml.", id ? id : "");
        LoadFromTemplate(lv::core::CSettingsGroup::EmptyGroup(), templates);
        m_Name = CFixedString::Intern(CFixedString(id ? id : ""));
    } else {
        LoadFromTemplate(*node, templates);
    }
    ApplyLayout();
    return node != nullptr;
}

bool CBaseWindow::LoadWindow(const char* id)
{
    const lv::core::CSettings* settings = CGuiServices::Instance().GetSettings();
    if (!settings)
        return LoadWindow(lv::core::CSettingsGroup::EmptyGroup(), lv::core::CSettingsGroup::EmptyGroup(), id);
    return LoadWindow(settings->GetChild("GUI", true), settings->GetChild("GUITemplates", true), id);
}

void CBaseWindow::OnActivate() {}

bool CBaseWindow::OnDeactivate()
{
    return true;
}

} // namespace lv::gui
