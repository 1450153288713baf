#pragma once
// The game's application: the framework's application with the game's start-up, quit and
// screen-mode hooks. This first cut brings up the framework part of the start-up (platform
// layer, design size, aspect handling, frame limit, the framework's Init) and opens the window;
// the game's own loading follows in later steps.
#include "app/Application.h"
#include "app/StandaloneApplicationWindows.h"

#include <memory>

namespace lv::sound {
class CSoundDeclarations;
}

namespace game {

class CGameApplication : public lv::core::CApplication
{
public:
    static constexpr s32 kDesignWidth = 1366;
    static constexpr s32 kDesignHeight = 768;
    static constexpr u32 kFrameRate = 60;
    // The narrowest screen the game runs on.
    static constexpr s32 kMinimumScreenWidth = 1024;

    CGameApplication();
    ~CGameApplication() override;

    bool Init() override;
    void Shutdown() override;
    void OnQuit() override;
    void Draw(lv::graphics::CRenderer& renderer) override;
    void Update() override;

private:
    // The content's declarations and definitions from game.pack (or the folder beside the
    // program): textures, opacity masks, fonts, clips, particles and sounds.
    void LoadContent();

    std::unique_ptr<lv::core::CStandaloneApplicationWindows> m_Platform;
    std::unique_ptr<lv::sound::CSoundDeclarations> m_Sounds;
};

} // namespace game
