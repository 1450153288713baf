#pragma once
// The minigame registry: minigame names of the quest script mapped to the game's factories. A
// created minigame is handed to the created-callback (the game's minigame host, which owns it).
#include <map>
#include <string>

namespace qe {

class CMinigameBase;

namespace scripts {
class CMinigameBlock;
}

class CMinigameFactory
{
public:
    using Factory = CMinigameBase* (*)(const char* name);
    using CreatedCallback = void (*)(const char* name, CMinigameBase* minigame, void* context);

    static CMinigameFactory& Instance();

    // Adds the name or replaces its factory.
    void Register(const char* name, Factory factory);
    void Unregister(const char* name);
    bool IsRegistered(const char* name) const;
    void SetCreatedCallback(CreatedCallback callback, void* context);
    // Removes the callback when it was installed with that context (its owner is going away).
    void ClearCreatedCallback(const void* context);
    // A new minigame for the block, or null (with an "Error" message for an unknown name).
    CMinigameBase* Create(scripts::CMinigameBlock* block, const char* name) const;

private:
    CMinigameFactory() = default;
    std::map<std::string, Factory, std::less<>> m_Factories;
    CreatedCallback m_Callback = nullptr;
    void* m_Context = nullptr;
};

} // namespace qe
