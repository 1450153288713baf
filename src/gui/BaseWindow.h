#pragma once
// A top-level node of the GUI tree: a screen, or a window shown modally over another. It is
// told when it becomes the root (or a modal window) and when it stops being one.
#include "gui/BaseWidget.h"

namespace lv::gui {

class CBaseWindow : public CBaseWidget
{
public:
    using Ptr = boost::intrusive_ptr<CBaseWindow>;

    explicit CBaseWindow(const CFixedString& name);
    ~CBaseWindow() override;

    // Draws the window unless hidden, then the modal window over it.
    void Draw(lv::graphics::CRenderer& renderer) override;
    // Drops a closed modal window, else updates it.
    void Update() override;

    // Shows the window modally over this one; the previous one is told it stops being modal.
    virtual void ShowModal(const Ptr& window);
    // Releases the modal window when its OnDeactivate agrees.
    virtual void CloseModal();
    virtual void OnActivate();
    // True: the window may go.
    virtual bool OnDeactivate();

    // The current modal child window, null when none.
    Ptr GetModalWindow() const { return m_ModalWindow; }

protected:
    CBaseWidget* m_ParentWindow = nullptr;
    Ptr m_ModalWindow;
};

} // namespace lv::gui
