#pragma once
// The profile store: ten profile slots, the current player, the installation's screen mode, and
// the files in the profile folder ("<uid>.prf" per player and "settings.xml"). Created once at
// start-up with the folder and reached through Instance from then on. Changing a value in a
// profile does not store it: whoever changes a value that must last calls Save.
#include "core/FixedWString.h"
#include "core/Types.h"
#include "game/frontend/Profile.h"

namespace game {

class CProfileManager
{
public:
    static constexpr s32 kMaxProfiles = 10;
    // Characters a saved-game path may take; the game's buffers hold this many.
    static constexpr u32 kPathCapacity = 512;
    using Folder = CFixedWString<256>;

    // Creates the store on the first call (making the folder when it is missing); later calls
    // return the existing one.
    static CProfileManager* CreateInstance(const Folder& folder);
    // The store, null before CreateInstance.
    static CProfileManager* Instance();
    // Ends the store so that the next CreateInstance starts afresh (tests and restarts).
    static void DestroyInstance();

    // Reads every profile file of the folder, then settings.xml (screen mode, aspect flag, the
    // current player).
    void Load();
    // Writes every profile and settings.xml; nothing at all while no profile exists.
    void Save();

    // A new profile with a fresh uid and default values, neither current nor saved; null when
    // ten exist.
    CProfile* AddProfile(const WChar* name);
    // Removes the profile and deletes its files; the first remaining one becomes current when
    // it was the current one.
    void DeleteProfile(CProfile* profile);
    void Clear();

    s32 GetProfileCount() const { return m_Count; }
    // The n-th used slot, null when out of range.
    CProfile* GetProfile(s32 n);
    CProfile* GetCurrentProfile() const { return m_Current; }
    // Makes a held profile current and applies its options; null leaves none current.
    void SetCurrentProfile(CProfile* profile);
    SProfileValues* GetCurrentValues() { return m_Current ? &m_Current->GetValues() : nullptr; }

    // Options of the current profile, applied where they take effect.
    u16 GetSoundVolume() const;
    void SetSoundVolume(u32 volume);
    u16 GetMusicVolume() const;
    void SetMusicVolume(u32 volume);
    bool GetCustomCursors() const;
    void SetCustomCursors(bool custom);
    // True without a current profile.
    bool GetPreserveAspectRatio() const;
    // Unless applyOnly, stores the flag in the current profile first.
    void SetPreserveAspectRatio(bool preserve, bool applyOnly);
    // Re-applies the current profile's options: volumes, cursors, aspect ratio.
    void ApplyProfileSettings();

    // 1 full screen, anything else a window of the design size.
    s32 GetScreenMode() const { return m_ScreenMode; }
    // Stores the mode and switches the application to it.
    void SetScreenMode(s32 mode);

    // The profile's saved game: folder, uid and ".save". False when it does not fit capacity
    // characters (terminator included).
    bool GetSaveFilePath(const CProfile* profile, WChar* buffer, u32 capacity) const;
    // The same for the profile file ("<uid>.prf").
    bool GetProfileFilePath(const CProfile* profile, WChar* buffer, u32 capacity) const;
    // settings.xml in the folder; false when the folder is too long.
    bool GetSettingsPath(WChar* buffer, u32 capacity) const;
    const Folder& GetFolder() const { return m_Folder; }

private:
    explicit CProfileManager(const Folder& folder);

    struct SSlot
    {
        CProfile Profile;
        bool Free = true;
    };

    bool BuildPath(const char* uid, const char* suffix, WChar* buffer, u32 capacity) const;
    SSlot* FindSlot(const CProfile* profile);

    Folder m_Folder;
    s32 m_ScreenMode = 1;
    SSlot m_Slots[kMaxProfiles];
    s32 m_Count = 0;
    CProfile* m_Current = nullptr;
};

// Eight characters of '0'..'9' and 'a'..'z' from the runtime's generator, and a zero.
void GenerateProfileUid(char (&uid)[CProfile::kUidLength + 1]);

} // namespace game
