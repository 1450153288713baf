#include "qe/MinigameFactory.h"

#include "core/MessageBox.h"
#include "qe/MinigameBase.h"

namespace qe {

CMinigameFactory& CMinigameFactory::Instance()
{
    static CMinigameFactory instance;
    return instance;
}

void CMinigameFactory::Register(const char* name, Factory factory)
{
    m_Factories[name ? name : ""] = factory;
}

void CMinigameFactory::Unregister(const char* name)
{
    const auto it = m_Factories.find(std::string_view(name ? name : ""));
    if (it != m_Factories.end())
        m_Factories.erase(it);
}

bool CMinigameFactory::IsRegistered(const char* name) const
{
    return m_Factories.find(std::string_view(name ? name : "")) != m_Factories.end();
}

void CMinigameFactory::SetCreatedCallback(CreatedCallback callback, void* context)
{
    m_Callback = callback;
    m_Context = context;
}

void CMinigameFactory::ClearCreatedCallback(const void* context)
{
    if (m_Context == context)
    {
        m_Callback = nullptr;
        m_Context = nullptr;
    }
}

CMinigameBase* CMinigameFactory::Create(scripts::CMinigameBlock* block, const char* name) const
{
    const auto it = m_Factories.find(std::string_view(name ? name : ""));
    if (it == m_Factories.end() || !it->second)
    {
        lv::core::ShowMessageBoxF("Error", "Minigame is not registered: '%s'", name ? name : "");
        return nullptr;
    }
    CMinigameBase* minigame = it->second(name);
    if (!minigame)
        return nullptr;
    minigame->SetBlock(block);
    if (m_Callback)
        m_Callback(name, minigame, m_Context);
    return minigame;
}

} // namespace qe
