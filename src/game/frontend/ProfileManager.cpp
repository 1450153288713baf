#include "game/frontend/ProfileManager.h"

#include "app/Application.h"
#include "core/FileUtils.h"
#include "core/Log.h"
#include "core/PathUtils.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "core/SystemInfo.h"
#include "core/XmlWriter.h"
#include "graphics/Renderer.h"
#include "gui/CursorManager.h"
#include "sound/AudioManager.h"

#include <memory>
#include <string>
#include <vector>

namespace game {

namespace {

const char kProfileChannel[] = "game";
// Room for the longest file name in the folder after the separator ("settings.xml" and the
// uid with ".save"), and the terminator.
constexpr u32 kNameRoom = 14;

std::unique_ptr<CProfileManager>& ProfileManagerSlot()
{
    static std::unique_ptr<CProfileManager> instance;
    return instance;
}

u16 ClampVolume(u32 volume)
{
    const u16 value = static_cast<u16>(volume);
    return value > 100 ? 100 : value;
}

} // namespace

void GenerateProfileUid(char (&uid)[CProfile::kUidLength + 1])
{
    for (u32 i = 0; i < CProfile::kUidLength; ++i) {
        const s32 v = RandomInt() % 36;
        uid[i] = static_cast<char>(v < 10 ? '0' + v : 'a' + (v - 10));
    }
    uid[CProfile::kUidLength] = '\0';
}

CProfileManager* CProfileManager::CreateInstance(const Folder& folder)
{
    std::unique_ptr<CProfileManager>& slot = ProfileManagerSlot();
    if (!slot)
        slot.reset(new CProfileManager(folder));
    return slot.get();
}

CProfileManager* CProfileManager::Instance()
{
    return ProfileManagerSlot().get();
}

void CProfileManager::DestroyInstance()
{
    ProfileManagerSlot().reset();
}

CProfileManager::CProfileManager(const Folder& folder) : m_Folder(folder)
{
    Clear();
    if (!m_Folder.IsEmpty() && !lv::core::FileExistsW(m_Folder.GetText())) {
        if (lv::core::CreateDirectories(m_Folder.GetText()))
            lv::core::GrantEveryoneAccess(m_Folder.GetText(), false);
    }
}

void CProfileManager::Clear()
{
    for (SSlot& slot : m_Slots) {
        slot.Profile.Init();
        slot.Free = true;
    }
    m_Count = 0;
    m_Current = nullptr;
}

bool CProfileManager::BuildPath(const char* uid, const char* suffix, WChar* buffer, u32 capacity) const
{
    const u32 length = m_Folder.GetLength();
    if (!buffer || length + kNameRoom >= capacity)
        return false;
    WString path(m_Folder.GetText(), length);
    if (length > 0 && !lv::core::IsPathSeparator(path.back()))
        path += u'/';
    for (const char* c = uid; *c; ++c)
        path += static_cast<WChar>(static_cast<u8>(*c));
    for (const char* c = suffix; *c; ++c)
        path += static_cast<WChar>(*c);
    if (path.size() >= capacity)
        return false;
    std::copy(path.begin(), path.end(), buffer);
    buffer[path.size()] = 0;
    return true;
}

bool CProfileManager::GetSaveFilePath(const CProfile* profile, WChar* buffer, u32 capacity) const
{
    return profile && BuildPath(profile->GetUid(), ".save", buffer, capacity);
}

bool CProfileManager::GetProfileFilePath(const CProfile* profile, WChar* buffer, u32 capacity) const
{
    return profile && BuildPath(profile->GetUid(), ".prf", buffer, capacity);
}

bool CProfileManager::GetSettingsPath(WChar* buffer, u32 capacity) const
{
    if (m_Folder.GetLength() + kNameRoom > 255)
        return false;
    return BuildPath("", "settings.xml", buffer, capacity);
}

void CProfileManager::Load()
{
    if (m_Count > 0)
        Clear();
    WString mask(m_Folder.GetText(), m_Folder.GetLength());
    if (!mask.empty() && !lv::core::IsPathSeparator(mask.back()))
        mask += u'/';
    mask += u"*.prf";
    std::vector<WString> files;
    lv::core::ListFiles(files, mask.c_str());
    lv::core::CLog& log = lv::core::CLog::Instance();
    for (const WString& file : files) {
        SSlot* free = nullptr;
        for (SSlot& slot : m_Slots) {
            if (slot.Free) {
                free = &slot;
                break;
            }
        }
        if (!free) {
            log.Print(kProfileChannel, 2, "Can't load profile: maximum number of profiles reached.");
            break;
        }
        // A file that cannot be read takes no slot: it would come back as a profile without
        // a uid, saved under the name ".prf".
        free->Profile.Init();
        if (!free->Profile.Load(file.c_str())) {
            log.Print(kProfileChannel, 2, "Can't load profile '%s'", lv::core::PathToUtf8(file).c_str());
            free->Profile.Init();
            continue;
        }
        free->Free = false;
        ++m_Count;
    }

    WChar path[256];
    if (!GetSettingsPath(path, 256))
        return;
    // A first start has no settings yet: that is no error worth a log line.
    lv::core::CSettings settings;
    if (!lv::core::FileExistsW(path) || !settings.LoadXml(static_cast<const WChar*>(path))) {
        SetScreenMode(m_ScreenMode);
        return;
    }
    const lv::core::CSettingsGroup& root = settings.GetFirstChild();
    SetScreenMode(root.HasAttribute("screen_mode") ? root.GetInt("screen_mode") : 0);
    const bool preserve = root.GetBool("preserve_aspect_ratio");
    SetPreserveAspectRatio(preserve, true);
    const std::string& uid = root.GetAttribute("current_profile_uid");
    if (uid.size() != CProfile::kUidLength)
        return;
    for (SSlot& slot : m_Slots) {
        if (!slot.Free && uid == slot.Profile.GetUid()) {
            slot.Profile.GetValues().PreserveAspectRatio = preserve ? 1 : 0;
            m_Current = &slot.Profile;
            break;
        }
    }
}

void CProfileManager::Save()
{
    if (m_Count == 0)
        return;
    WChar path[256];
    for (const SSlot& slot : m_Slots) {
        if (!slot.Free && GetProfileFilePath(&slot.Profile, path, 256))
            slot.Profile.Save(path);
    }
    if (!GetSettingsPath(path, 256))
        return;
    lv::core::CXmlWriter writer(true);
    lv::core::CXmlWriter::CElement element(writer, "GameSettings");
    element.SetAttribute("screen_mode", static_cast<int>(m_ScreenMode));
    element.SetAttribute("preserve_aspect_ratio", GetPreserveAspectRatio());
    if (m_Current)
        element.SetAttribute("current_profile_uid", m_Current->GetUid());
    element.Close();
    writer.SaveToFile(path);
}

CProfile* CProfileManager::AddProfile(const WChar* name)
{
    if (m_Count >= kMaxProfiles)
        return nullptr;
    for (SSlot& slot : m_Slots) {
        if (!slot.Free)
            continue;
        slot.Profile.Init();
        slot.Profile.SetName(name);
        char uid[CProfile::kUidLength + 1];
        GenerateProfileUid(uid);
        slot.Profile.SetUid(uid);
        slot.Free = false;
        ++m_Count;
        return &slot.Profile;
    }
    return nullptr;
}

CProfileManager::SSlot* CProfileManager::FindSlot(const CProfile* profile)
{
    for (SSlot& slot : m_Slots) {
        if (!slot.Free && &slot.Profile == profile)
            return &slot;
    }
    return nullptr;
}

void CProfileManager::DeleteProfile(CProfile* profile)
{
    SSlot* slot = FindSlot(profile);
    if (!slot)
        return;
    WChar path[kPathCapacity];
    if (GetProfileFilePath(profile, path, 256))
        lv::core::FileDeleteW(path);
    if (GetSaveFilePath(profile, path, kPathCapacity))
        lv::core::FileDeleteW(path);
    slot->Free = true;
    --m_Count;
    if (m_Current == profile)
        SetCurrentProfile(GetProfile(0));
}

CProfile* CProfileManager::GetProfile(s32 n)
{
    if (n < 0)
        return nullptr;
    for (SSlot& slot : m_Slots) {
        if (!slot.Free && n-- == 0)
            return &slot.Profile;
    }
    return nullptr;
}

void CProfileManager::SetCurrentProfile(CProfile* profile)
{
    if (!profile) {
        m_Current = nullptr;
        return;
    }
    if (m_Count == 0 || !FindSlot(profile))
        return;
    m_Current = profile;
    ApplyProfileSettings();
}

void CProfileManager::ApplyProfileSettings()
{
    if (!m_Current)
        return;
    const SProfileValues& values = m_Current->GetValues();
    SetSoundVolume(values.SoundVolume);
    SetMusicVolume(values.MusicVolume);
    SetCustomCursors(values.CustomCursors);
    SetPreserveAspectRatio(values.PreserveAspectRatio != 0, false);
}

u16 CProfileManager::GetSoundVolume() const
{
    return m_Current ? m_Current->GetValues().SoundVolume : 0;
}

void CProfileManager::SetSoundVolume(u32 volume)
{
    if (!m_Current)
        return;
    const u16 value = ClampVolume(volume);
    lv::sound::GetAudioManager().SetGroupVolume("sound", static_cast<float>(value));
    m_Current->GetValues().SoundVolume = value;
}

u16 CProfileManager::GetMusicVolume() const
{
    return m_Current ? m_Current->GetValues().MusicVolume : 0;
}

void CProfileManager::SetMusicVolume(u32 volume)
{
    if (!m_Current)
        return;
    const u16 value = ClampVolume(volume);
    lv::sound::GetAudioManager().SetGroupVolume("music", static_cast<float>(value));
    m_Current->GetValues().MusicVolume = value;
}

bool CProfileManager::GetCustomCursors() const
{
    return m_Current && m_Current->GetValues().CustomCursors;
}

void CProfileManager::SetCustomCursors(bool custom)
{
    if (!m_Current)
        return;
    lv::gui::CCursorManager::Instance().SetCustomCursors(custom);
    m_Current->GetValues().CustomCursors = custom;
}

bool CProfileManager::GetPreserveAspectRatio() const
{
    return !m_Current || m_Current->GetValues().PreserveAspectRatio != 0;
}

void CProfileManager::SetPreserveAspectRatio(bool preserve, bool applyOnly)
{
    if (!applyOnly) {
        if (!m_Current)
            return;
        m_Current->GetValues().PreserveAspectRatio = preserve ? 1 : 0;
    }
    if (lv::core::CApplication* application = lv::core::CApplication::Instance())
        application->GetRenderer().SetPreserveAspectRatio(preserve);
}

void CProfileManager::SetScreenMode(s32 mode)
{
    m_ScreenMode = mode;
    lv::core::CApplication* application = lv::core::CApplication::Instance();
    if (!application)
        return;
    if (mode == 1)
        application->SetScreenMode(true, true, 0, 0);
    else
        application->SetScreenMode(false, true, 1366, 768);
}

} // namespace game
