#include "app/IconBitmapSetter.h"

#include "core/Log.h"

namespace lv::core {

// The window manager's library does not exist here, so neither entry point is ever found.
CIconBitmapSetter::CIconBitmapSetter() = default;

CIconBitmapSetter::~CIconBitmapSetter()
{
    m_Bitmap = nullptr;
}

void CIconBitmapSetter::Attach(HINSTANCE instance, HWND window, const WChar* iconName)
{
    m_Instance = instance;
    m_Window = window;
    m_IconName = iconName ? iconName : u"";
    // The program carries no icon resources.
    m_IconFound = false;
}

bool CIconBitmapSetter::IsAvailable() const
{
    return m_SetWindowAttribute && m_SetIconicThumbnail;
}

void CIconBitmapSetter::EnableIconicRepresentation(bool)
{
    if (!IsAvailable())
        return;
}

void CIconBitmapSetter::OnSendIconicThumbnail(u16 maxWidth, u16 maxHeight)
{
    if (!IsAvailable())
        return;
    if (maxWidth != m_Width || maxHeight != m_Height) {
        m_Width = maxWidth;
        m_Height = maxHeight;
        m_Bitmap = CreateThumbnailBitmap(maxWidth, maxHeight);
    }
    if (!m_Bitmap)
        EnableIconicRepresentation(false);
}

CIconBitmapSetter::HBITMAP CIconBitmapSetter::CreateThumbnailBitmap(u16, u16)
{
    CLog::Instance().PrintW("iconbmpsetter", 3, u"icon %s not found %d", m_IconName.c_str(), 0);
    return nullptr;
}

} // namespace lv::core
