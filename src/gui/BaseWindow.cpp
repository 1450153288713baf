#include "gui/BaseWindow.h"

namespace lv::gui {

CBaseWindow::CBaseWindow(const CFixedString& name) : CBaseWidget(name) {}

CBaseWindow::~CBaseWindow() = default;

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

void CBaseWindow::OnActivate() {}

bool CBaseWindow::OnDeactivate()
{
    return true;
}

} // namespace lv::gui
