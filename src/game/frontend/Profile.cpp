#include "game/frontend/Profile.h"

#include "core/Settings.h"
#include "core/TextConvert.h"
#include "core/XmlWriter.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace game {

namespace {

const char* const kAchievementAttributes[SProfileValues::kAchievementCount] = {
    "a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "a9", "a10", "a11", "a12", "a13", "a14", "a15",
};

// Decimal text as a 16-bit value (wrapping as the files always did); an empty text is 0.
u16 ParseProfileNumber(const std::string& text)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    u32 value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = (value * 10 + static_cast<u32>(text[i] - '0')) & 0xFFFFu;
    return static_cast<u16>(negative ? (0u - value) & 0xFFFFu : value);
}

void ReadProfileNumber(const lv::core::CSettingsGroup& node, const char* name, u16& out)
{
    if (node.HasAttribute(name))
        out = ParseProfileNumber(node.GetAttribute(name));
}

void ReadProfileFlag(const lv::core::CSettingsGroup& node, const char* name, bool& out)
{
    if (node.HasAttribute(name))
        out = node.GetAttribute(name) == "true";
}

} // namespace

void CProfile::Init()
{
    m_Name.Clear();
    std::memset(m_Uid, 0, sizeof(m_Uid));
    SetDefaults();
}

void CProfile::SetDefaults()
{
    m_Values = SProfileValues{};
    m_Values.SoundVolume = 70;
    m_Values.MusicVolume = 70;
    m_Values.CustomCursors = true;
    m_Values.PreserveAspectRatio = 1;
}

void CProfile::SetName(const WChar* name)
{
    m_Name.Assign(name);
}

void CProfile::SetUid(const char* uid)
{
    std::memset(m_Uid, 0, sizeof(m_Uid));
    if (uid && std::strlen(uid) == kUidLength)
        std::memcpy(m_Uid, uid, kUidLength);
}

bool CProfile::Load(const WChar* path)
{
    lv::core::CSettings settings;
    if (!settings.LoadXml(path))
        return false;
    const lv::core::CSettingsGroup& root = settings.GetFirstChild();
    const WString name = Utf8ToWide(root.GetAttribute("name"));
    SetName(name.c_str());
    // The uid names the profile's files, so only what the store itself hands out is taken.
    const std::string& uid = root.GetAttribute("uid");
    if (uid.size() != kUidLength ||
        !std::all_of(uid.begin(), uid.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'); }))
        return false;
    SetUid(uid.c_str());
    ReadProfileNumber(root, "sound_vol", m_Values.SoundVolume);
    ReadProfileNumber(root, "music_vol", m_Values.MusicVolume);
    ReadProfileFlag(root, "custom_cursors", m_Values.CustomCursors);
    ReadProfileFlag(root, "standart", m_Values.Standart);
    ReadProfileFlag(root, "bonus", m_Values.Bonus);
    ReadProfileNumber(root, "difficulty", m_Values.Difficulty);
    ReadProfileNumber(root, "stream", m_Values.Stream);
    ReadProfileNumber(root, "c", m_Values.Candies);
    ReadProfileNumber(root, "s", m_Values.Styles);
    for (u32 i = 0; i < SProfileValues::kAchievementCount; ++i)
        ReadProfileNumber(root, kAchievementAttributes[i], m_Values.Achievements[i]);
    return true;
}

bool CProfile::Save(const WChar* path) const
{
    lv::core::CXmlWriter writer(true);
    {
        lv::core::CXmlWriter::CElement element(writer, "Profile");
        // The writer escapes the name, so any name reads back as it was.
        element.SetAttribute("name", m_Name.GetText());
        element.SetAttribute("uid", static_cast<const char*>(m_Uid));
        element.SetAttribute("sound_vol", m_Values.SoundVolume);
        element.SetAttribute("music_vol", m_Values.MusicVolume);
        element.SetAttribute("custom_cursors", m_Values.CustomCursors);
        element.SetAttribute("standart", m_Values.Standart);
        element.SetAttribute("bonus", m_Values.Bonus);
        element.SetAttribute("difficulty", m_Values.Difficulty);
        element.SetAttribute("stream", m_Values.Stream);
        element.SetAttribute("c", m_Values.Candies);
        element.SetAttribute("s", m_Values.Styles);
        for (u32 i = 0; i < SProfileValues::kAchievementCount; ++i)
            element.SetAttribute(kAchievementAttributes[i], m_Values.Achievements[i]);
        element.Close();
    }
    writer.SaveToFile(path);
    return true;
}

} // namespace game
