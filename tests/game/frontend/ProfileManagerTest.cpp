#include "game/frontend/ProfileManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "core/Random.h"
#include "core/TempFolder.h"
#include "core/TextConvert.h"
#include "graphics/LogCapture.h"

using game::CProfile;
using game::CProfileManager;
using game::SProfileValues;

namespace {

// A profile folder of its own for every test; the store is made afresh for each.
class ProfileStore : public testing::Test
{
protected:
    void SetUp() override { CProfileManager::DestroyInstance(); }
    void TearDown() override { CProfileManager::DestroyInstance(); }

    CProfileManager& Make()
    {
        CProfileManager::DestroyInstance();
        return *CProfileManager::CreateInstance(CProfileManager::Folder(Utf8ToWide(Folder / "saves").c_str()));
    }
    std::string Read(const std::string& name) const { return Folder.Read("saves/" + name); }
    void Write(const std::string& name, const std::string& text) const { Folder.Write("saves/" + name, text); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(Folder.Path() / "saves" / name); }
    static std::string ProfileXml(const std::string& attributes)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Profile " + attributes + " />\n";
    }

    CTempFolder Folder;
};

} // namespace

TEST_F(ProfileStore, ValueBlockKeepsItsWordAndByteOffsets)
{
    SProfileValues values{};
    const u8* base = reinterpret_cast<const u8*>(&values);
    const u16* words = reinterpret_cast<const u16*>(&values);
    values.Stream = 11;
    values.Difficulty = 2;
    values.Achievements[0] = 7;
    values.Achievements[14] = 1001;
    values.Styles = 0x20;
    values.Standart = true;
    // Words counted from 1, bytes from 0.
    EXPECT_EQ(words[5 - 1], 11);
    EXPECT_EQ(words[6 - 1], 2);
    EXPECT_EQ(words[8 - 1], 7);
    EXPECT_EQ(words[22 - 1], 1001);
    EXPECT_EQ(words[23 - 1], 0x20);
    EXPECT_EQ(base[5], 1);
    EXPECT_EQ(values.GetStyle(1), 2u);
}

TEST_F(ProfileStore, FirstStartAddsADefaultProfileAndWritesNothingUntilSaved)
{
    CProfileManager& store = Make();
    EXPECT_TRUE(std::filesystem::is_directory(Folder.Path() / "saves"));
    store.Load();
    EXPECT_EQ(store.GetProfileCount(), 0);
    EXPECT_EQ(store.GetScreenMode(), 1) << "without settings.xml the game starts full screen";
    CProfile* profile = store.AddProfile(u"Player");
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(store.GetCurrentProfile(), nullptr);
    EXPECT_EQ(WString(profile->GetName().GetText()), u"Player");
    ASSERT_EQ(std::strlen(profile->GetUid()), 8u);
    for (const char* c = profile->GetUid(); *c; ++c)
        EXPECT_TRUE((*c >= '0' && *c <= '9') || (*c >= 'a' && *c <= 'z')) << *c;
    const SProfileValues& v = profile->GetValues();
    EXPECT_EQ(v.SoundVolume, 70);
    EXPECT_EQ(v.MusicVolume, 70);
    EXPECT_TRUE(v.CustomCursors);
    EXPECT_EQ(v.Difficulty, 0);
    EXPECT_EQ(v.Stream, 0);
    EXPECT_EQ(v.PreserveAspectRatio, 1);
    store.SetCurrentProfile(profile);
    EXPECT_EQ(store.GetCurrentProfile(), profile);
    EXPECT_TRUE(std::filesystem::is_empty(Folder.Path() / "saves"));
}

TEST_F(ProfileStore, SavingWithoutProfilesWritesNothing)
{
    CProfileManager& store = Make();
    store.Save();
    EXPECT_TRUE(std::filesystem::is_empty(Folder.Path() / "saves"));
}

TEST_F(ProfileStore, AddProfileStopsAtTen)
{
    CProfileManager& store = Make();
    for (int i = 0; i < CProfileManager::kMaxProfiles; ++i)
        ASSERT_NE(store.AddProfile(u"p"), nullptr);
    EXPECT_EQ(store.AddProfile(u"eleventh"), nullptr);
    EXPECT_EQ(store.GetProfileCount(), 10);
    EXPECT_EQ(store.GetProfile(10), nullptr);
    EXPECT_EQ(store.GetProfile(-1), nullptr);
}

TEST_F(ProfileStore, ProfileFileHasItsAttributesInTheirOrder)
{
    CProfileManager& store = Make();
    CProfile* profile = store.AddProfile(u"Ann");
    profile->SetUid("abc12345");
    SProfileValues& v = profile->GetValues();
    v.Standart = true;
    v.Difficulty = 2;
    v.Stream = 10;
    v.Candies = 4;
    v.Styles = 0x15;
    v.Achievements[0] = 3;
    v.Achievements[14] = 1001;
    store.SetCurrentProfile(profile);
    store.Save();
    EXPECT_EQ(Read("abc12345.prf"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Profile name=\"Ann\" uid=\"abc12345\" sound_vol=\"70\" "
              "music_vol=\"70\" custom_cursors=\"true\" standart=\"true\" bonus=\"false\" difficulty=\"2\" "
              "stream=\"10\" c=\"4\" s=\"21\" a1=\"3\" a2=\"0\" a3=\"0\" a4=\"0\" a5=\"0\" a6=\"0\" a7=\"0\" a8=\"0\" "
              "a9=\"0\" a10=\"0\" a11=\"0\" a12=\"0\" a13=\"0\" a14=\"0\" a15=\"1001\" />\r\n");
    EXPECT_EQ(Read("settings.xml"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<GameSettings screen_mode=\"1\" "
                                    "preserve_aspect_ratio=\"true\" current_profile_uid=\"abc12345\" />\r\n");
}

TEST_F(ProfileStore, ProfilesReadBackAndTheSavedCurrentOneIsChosen)
{
    {
        CProfileManager& store = Make();
        CProfile* first = store.AddProfile(u"First");
        first->SetUid("00000001");
        CProfile* second = store.AddProfile(u"Se\"c<o>n&d");
        second->SetUid("00000002");
        second->GetValues().SoundVolume = 30;
        second->GetValues().Achievements[5] = 150;
        second->GetValues().Bonus = true;
        store.SetCurrentProfile(second);
        store.SetPreserveAspectRatio(false, false);
        store.SetScreenMode(0);
        store.Save();
    }
    CProfileManager& store = Make();
    store.Load();
    ASSERT_EQ(store.GetProfileCount(), 2);
    EXPECT_EQ(store.GetScreenMode(), 0);
    CProfile* current = store.GetCurrentProfile();
    ASSERT_NE(current, nullptr);
    EXPECT_STREQ(current->GetUid(), "00000002");
    EXPECT_EQ(WString(current->GetName().GetText()), u"Se\"c<o>n&d") << "names are escaped in the file";
    EXPECT_EQ(current->GetValues().SoundVolume, 30);
    EXPECT_EQ(current->GetValues().Achievements[5], 150);
    EXPECT_TRUE(current->GetValues().Bonus);
    EXPECT_EQ(current->GetValues().PreserveAspectRatio, 0) << "the current profile takes settings.xml's flag";
    CProfile* other = store.GetProfile(0) == current ? store.GetProfile(1) : store.GetProfile(0);
    EXPECT_EQ(other->GetValues().PreserveAspectRatio, 1);
}

TEST_F(ProfileStore, AttributesAreReadOnlyWhenPresent)
{
    struct SCase
    {
        const char* Attributes;
        bool CustomCursors;
        u16 SoundVolume;
        u16 Difficulty;
    };
    const SCase cases[] = {
        {"name=\"a\" uid=\"aaaaaaaa\"", true, 70, 0},
        {"name=\"a\" uid=\"aaaaaaaa\" custom_cursors=\"yes\"", false, 70, 0},
        {"name=\"a\" uid=\"aaaaaaaa\" custom_cursors=\"true\" sound_vol=\"\"", true, 0, 0},
        {"name=\"a\" uid=\"aaaaaaaa\" sound_vol=\"250\" difficulty=\"2\"", true, 250, 2},
        {"name=\"a\" uid=\"aaaaaaaa\" sound_vol=\"65537\"", true, 1, 0},
    };
    for (const SCase& c : cases) {
        Write("p.prf", ProfileXml(c.Attributes));
        CProfile profile;
        ASSERT_TRUE(profile.Load(Utf8ToWide(Folder / "saves/p.prf").c_str())) << c.Attributes;
        EXPECT_EQ(profile.GetValues().CustomCursors, c.CustomCursors) << c.Attributes;
        EXPECT_EQ(profile.GetValues().SoundVolume, c.SoundVolume) << c.Attributes;
        EXPECT_EQ(profile.GetValues().Difficulty, c.Difficulty) << c.Attributes;
    }
}

TEST_F(ProfileStore, BrokenProfileFilesTakeNoSlot)
{
    Write("good.prf", ProfileXml("name=\"Good\" uid=\"goodgood\""));
    Write("short.prf", ProfileXml("name=\"Short\" uid=\"abc\""));
    Write("junk.prf", "<Profile name=");
    // The uid names the profile's file: eight characters that would leave the folder, or that
    // hold a NUL byte, are no uid.
    Write("escape.prf", ProfileXml("name=\"Escape\" uid=\"../../ab\""));
    Write("nul.prf", ProfileXml(std::string("name=\"Nul\" uid=\"abcd") + '\0' + "123\""));
    CScratchLogCapture log;
    CProfileManager& store = Make();
    store.Load();
    ASSERT_EQ(store.GetProfileCount(), 1);
    EXPECT_STREQ(store.GetProfile(0)->GetUid(), "goodgood");
    store.SetCurrentProfile(store.GetProfile(0));
    store.Save();
    EXPECT_FALSE(Exists(".prf")) << "a profile without uid is never written";
    EXPECT_TRUE(log.Contains("Can't load profile")) << log.Text();
}

TEST_F(ProfileStore, MoreThanTenFilesLoadTheFirstTen)
{
    for (int i = 0; i < 12; ++i) {
        char uid[16];
        std::snprintf(uid, sizeof(uid), "%08d", i);
        Write(std::string(uid) + ".prf", ProfileXml("name=\"p\" uid=\"" + std::string(uid) + "\""));
    }
    CScratchLogCapture log;
    CProfileManager& store = Make();
    store.Load();
    EXPECT_EQ(store.GetProfileCount(), 10);
    EXPECT_STREQ(store.GetProfile(9)->GetUid(), "00000009");
    EXPECT_TRUE(log.Contains("[game][2]: Can't load profile: maximum number of profiles reached.")) << log.Text();
}

TEST_F(ProfileStore, SettingsFileChoosesTheScreenMode)
{
    const struct
    {
        const char* Settings;
        s32 Mode;
    } cases[] = {
        {nullptr, 1},
        {"<GameSettings/>", 0},
        {"<GameSettings screen_mode=\"1\"/>", 1},
        {"<GameSettings screen_mode=\"0\" current_profile_uid=\"nomatch1\"/>", 0},
        {"<GameSettings screen_mode=\"1\" current_profile_uid=\"short\"/>", 1},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(Folder.Path() / "saves" / "settings.xml");
        Write("a.prf", ProfileXml("name=\"a\" uid=\"aaaaaaaa\""));
        if (c.Settings)
            Write("settings.xml", std::string("<?xml version=\"1.0\"?>\n") + c.Settings);
        CProfileManager& store = Make();
        store.Load();
        EXPECT_EQ(store.GetScreenMode(), c.Mode) << (c.Settings ? c.Settings : "none");
        EXPECT_EQ(store.GetCurrentProfile(), nullptr) << (c.Settings ? c.Settings : "none");
    }
}

TEST_F(ProfileStore, SaveFilePathJoinsFolderUidAndExtension)
{
    CProfileManager& store = Make();
    CProfile* profile = store.AddProfile(u"p");
    profile->SetUid("0123abcd");
    WChar buffer[CProfileManager::kPathCapacity];
    ASSERT_TRUE(store.GetSaveFilePath(profile, buffer, CProfileManager::kPathCapacity));
    EXPECT_EQ(WString(buffer), Utf8ToWide(Folder / "saves") + u"/0123abcd.save");
    const u32 folderLength = store.GetFolder().GetLength();
    EXPECT_FALSE(store.GetSaveFilePath(profile, buffer, folderLength + 14));
    EXPECT_TRUE(store.GetSaveFilePath(profile, buffer, folderLength + 15));
    EXPECT_FALSE(store.GetSaveFilePath(nullptr, buffer, CProfileManager::kPathCapacity));

    CProfileManager::DestroyInstance();
    CProfileManager& slashed = *CProfileManager::CreateInstance(CProfileManager::Folder(u"rel/saves/"));
    CProfile* other = slashed.AddProfile(u"q");
    other->SetUid("zzzzzzzz");
    ASSERT_TRUE(slashed.GetSaveFilePath(other, buffer, 64));
    EXPECT_EQ(WString(buffer), u"rel/saves/zzzzzzzz.save");
    std::filesystem::remove_all("rel");
}

TEST_F(ProfileStore, OptionSettersClampAndActOnTheCurrentProfile)
{
    CProfileManager& store = Make();
    store.SetMusicVolume(50);
    EXPECT_EQ(store.GetMusicVolume(), 0) << "no current profile";
    EXPECT_TRUE(store.GetPreserveAspectRatio());
    CProfile* profile = store.AddProfile(u"p");
    store.SetCurrentProfile(profile);
    store.SetMusicVolume(250);
    EXPECT_EQ(profile->GetValues().MusicVolume, 100);
    store.SetSoundVolume(40);
    EXPECT_EQ(store.GetSoundVolume(), 40);
    store.SetCustomCursors(false);
    EXPECT_FALSE(profile->GetValues().CustomCursors);
    EXPECT_FALSE(store.GetCustomCursors());
}

TEST_F(ProfileStore, DeletingTheCurrentProfileChoosesTheNextAndRemovesItsFiles)
{
    CProfileManager& store = Make();
    CProfile* first = store.AddProfile(u"first");
    first->SetUid("11111111");
    CProfile* second = store.AddProfile(u"second");
    second->SetUid("22222222");
    second->GetValues().SoundVolume = 20;
    store.SetCurrentProfile(first);
    store.Save();
    Write("11111111.save", "game");
    ASSERT_TRUE(Exists("11111111.prf"));
    store.DeleteProfile(second == store.GetCurrentProfile() ? first : second);
    EXPECT_EQ(store.GetCurrentProfile(), first) << "deleting another profile keeps the current one";
    store.AddProfile(u"third");
    store.DeleteProfile(first);
    EXPECT_FALSE(Exists("11111111.prf"));
    EXPECT_FALSE(Exists("11111111.save"));
    EXPECT_EQ(store.GetProfileCount(), 1);
    ASSERT_NE(store.GetCurrentProfile(), nullptr);
    EXPECT_STRNE(store.GetCurrentProfile()->GetUid(), "11111111");
}

TEST_F(ProfileStore, UidsComeFromTheSeededGenerator)
{
    SeedRandom(5);
    char a[9], b[9];
    game::GenerateProfileUid(a);
    SeedRandom(5);
    game::GenerateProfileUid(b);
    EXPECT_STREQ(a, b);
    EXPECT_EQ(std::strlen(a), 8u);
}
