#include "core/SystemIntegration.h"

namespace lv::core {

namespace {

CSystemIntegration* g_Current = nullptr;
CSystemIntegration::CClient* g_Client = nullptr;

} // namespace

CSystemIntegration::CSystemIntegration()
{
    g_Current = this;
}

CSystemIntegration::~CSystemIntegration()
{
    if (g_Current == this)
        g_Current = nullptr;
}

CSystemIntegration* CSystemIntegration::Current()
{
    return g_Current;
}

void CSystemIntegration::SetClient(CClient* client)
{
    g_Client = client;
}

CSystemIntegration::CClient* CSystemIntegration::GetClient()
{
    return g_Client;
}

void CSystemIntegration::OnFrame()
{
    if (g_Client)
        g_Client->UpdateFrame();
}

void CSystemIntegration::OnRender()
{
    if (g_Client)
        g_Client->Render();
}

void CSystemIntegration::OnWindowMessage()
{
    if (g_Client)
        g_Client->HandleWindowMessage();
}

void CSystemIntegration::SetGestureEnabled(s32, bool) {}

bool CSystemIntegration::ReservedOperation(s32)
{
    return true;
}

} // namespace lv::core
