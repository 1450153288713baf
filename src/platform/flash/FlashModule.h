#pragma once
// The Flash player installed on the system: its library ("flash.ocx"), loaded while players
// exist, and the controls made from it or from the system's registered player.
#include "platform/flash/FlashControl.h"

namespace lv::platform {

class CFlashModule
{
public:
    virtual ~CFlashModule() = default;

    // Loads the player's library; false when there is none.
    virtual bool Load() = 0;
    virtual void Unload() = 0;
    // A new control, from the loaded library (fromLibrary) or else from the system's
    // registered player; null when there is no player. The caller owns it.
    virtual CFlashControl* CreateControl(bool fromLibrary) = 0;
};

// The system's player. No Flash player exists on this platform: it loads nothing and makes no
// control.
CFlashModule& GetFlashModule();
// Tests put their own player in place; null restores the system's.
void SetFlashModule(CFlashModule* module);

} // namespace lv::platform
