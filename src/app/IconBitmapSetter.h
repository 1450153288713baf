#pragma once
// The taskbar's iconic thumbnail of the main window. It is drawn through the desktop window
// manager's thumbnail calls, which this system does not have: the entry points stay null and
// every thumbnail operation does nothing, as when the manager's library is missing.
#include "core/Types.h"
#include "platform/WindowMessages.h"

namespace lv::core {

class CIconBitmapSetter
{
public:
    using HINSTANCE = void*;
    using HBITMAP = void*;
    using EntryPoint = void*;

    CIconBitmapSetter();
    ~CIconBitmapSetter();
    CIconBitmapSetter(const CIconBitmapSetter&) = delete;
    CIconBitmapSetter& operator=(const CIconBitmapSetter&) = delete;

    void Attach(HINSTANCE instance, HWND window, const WChar* iconName);
    // Both thumbnail entry points were found.
    bool IsAvailable() const;
    void EnableIconicRepresentation(bool enable);
    void OnSendIconicThumbnail(u16 maxWidth, u16 maxHeight);

    bool IsIconFound() const { return m_IconFound; }

private:
    // A bitmap of the size with the icon drawn centred as a square; null without an icon.
    HBITMAP CreateThumbnailBitmap(u16 width, u16 height);

    void* m_Module = nullptr;
    EntryPoint m_SetWindowAttribute = nullptr;
    EntryPoint m_SetIconicThumbnail = nullptr;
    HINSTANCE m_Instance = nullptr;
    HWND m_Window = nullptr;
    WString m_IconName;
    bool m_IconFound = false;
    u16 m_Width = 0;
    u16 m_Height = 0;
    HBITMAP m_Bitmap = nullptr;
};

} // namespace lv::core
