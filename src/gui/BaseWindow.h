#pragma once
// A top-level node of the GUI tree: a screen, or a window shown modally over another. It is
// told when it becomes the root (or a modal window) and when it stops being one. A modal window
// takes all input of the window it covers; otherwise keys go to the focused widget first.
#include "gui/BaseWidget.h"

namespace lv::gui {

class CBaseWindow : public CBaseWidget
{
public:
    using Ptr = boost::intrusive_ptr<CBaseWindow>;

    explicit CBaseWindow(const CFixedString& name);
    ~CBaseWindow() override;

    using CBaseWidget::GetPosition;
    // With withWindows the parent window's root position plus the own; without (0, 0), so a
    // widget's position without windows is its place inside its window.
    CVector2 GetPosition(bool withWindows) const override;
    CBaseWidget* GetListener() const override { return m_ParentWindow; }
    // Moves the keyboard focus; disabled or closed widgets are not told.
    void SetFocus(CBaseWidget* widget) override;
    CBaseWidget* GetFocusedWidget() const { return m_FocusedWidget.get(); }

    // With a modal window only it gets keys, and the window reports true. Otherwise the focused
    // widget first, then the children; true when the focused widget took the key.
    bool OnChar(u16 character, s32 keyFlags, s32 keyData, u8 pass) override;
    bool OnKeyDown(s32 key, s32 keyFlags, s32 keyData, u8 pass) override;
    bool OnKeyUp(s32 key, s32 keyFlags, s32 keyData, u8 pass) override;
    // With a modal window it gets every pointer event wherever it is, and the window's own
    // children get none.
    bool OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    bool OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    bool OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    bool OnMouseDoubleClick(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    bool OnMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags, u8 pass) override;

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

    // What a screen's constructor does: finds the element "window" whose "id" is the id in the
    // group "GUI" (at any depth, the first), loads itself from it with the group "GUITemplates"
    // and lays itself out. A missing element is reported and leaves the window empty (false).
    bool LoadWindow(const lv::core::CSettingsGroup& gui, const lv::core::CSettingsGroup& templates,
                    const char* id);
    // The same over the groups "GUI" and "GUITemplates" of the application's settings (found at
    // any depth, as the files may be read into an enclosing group).
    bool LoadWindow(const char* id);

    // The current modal child window, null when none.
    Ptr GetModalWindow() const { return m_ModalWindow; }

protected:
    // Hands a pointer event to the modal window in its coordinates; false when there is none.
    template <class TCall>
    bool ToModal(const CPoint2i& point, const TCall& call);
    // The modal window when it may take input, else null; modal tells whether there is one.
    CBaseWidget::Ptr InputModal(bool& modal) const;
    // The focused widget when it may take input.
    CBaseWidget::Ptr InputFocus() const;

    CBaseWidget* m_ParentWindow = nullptr;
    Ptr m_ModalWindow;
    // Held, so a focused widget that leaves its parent stays valid here until the focus moves.
    CBaseWidget::Ptr m_FocusedWidget;
};

} // namespace lv::gui
