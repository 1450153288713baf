// The game window's saved game: building the image of the running game, writing it so that a
// complete save always exists under its name, and loading it back with every check.
#include "game/play/GameWindow.h"

#include "anim/Clip.h"
#include "core/Checksum.h"
#include "core/FileUtils.h"
#include "core/Log.h"
#include "core/MappedFile.h"
#include "core/PathUtils.h"
#include "game/frontend/ProfileManager.h"
#include "game/hud/Hud.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/LevelMusic.h"
#include "game/play/MinigameManager.h"
#include "game/play/SceneStack.h"
#include "platform/AtomicFileWriter.h"
#include "qe/BinaryReader.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/Scene.h"
#include "qe/SceneView.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace game {

namespace {

const char kSaveChannel[] = "game";
constexpr s32 kSaveChecksumSize = 4;
constexpr s32 kSaveHardDifficulty = 2;
constexpr u32 kSaveWidgetFlags = lv::gui::CBaseWidget::Hidden | lv::gui::CBaseWidget::Disabled;

struct SSaveHeader
{
    CFixedString Quest;
    CFixedString Scene;
    s32 QuestSize = 0;
    s32 HudSize = 0;
    s32 HostSize = 0;
    s32 AmbientSize = 0;
    s32 TutorialStep = -1;
};

// The header of a save image; false when the data is shorter than it or a name is malformed.
bool ReadSaveHeader(const u8* data, s32 size, SSaveHeader& header)
{
    if (size < CGameWindow::kSaveHeaderSize)
        return false;
    qe::CBinaryReader reader(data, CGameWindow::kSaveHeaderSize);
    header.Quest = reader.ReadNameString();
    header.Scene = reader.ReadNameString();
    header.QuestSize = reader.ReadInt32();
    header.HudSize = reader.ReadInt32();
    header.HostSize = reader.ReadInt32();
    header.AmbientSize = reader.ReadInt32();
    header.TutorialStep = reader.ReadInt32();
    return !reader.HasError();
}

// The file size the header's sections add up to, in 64 bits so that huge values cannot wrap;
// -1 when a size is negative.
s64 DeclaredSaveSize(const SSaveHeader& header)
{
    if (header.QuestSize < 0 || header.HudSize < 0 || header.HostSize < 0 || header.AmbientSize < 0)
        return -1;
    return static_cast<s64>(CGameWindow::kSaveHeaderSize) + header.QuestSize + header.HudSize + header.HostSize +
           header.AmbientSize + kSaveChecksumSize;
}

// A whole save as written: its size matches its header and a checksum over every byte before
// it follows the sections. The sections' lengths are not known without loading them, so every
// place after the quest section where the checksum can stand is tried: a checksum appended to
// its data makes the checksum of the whole zero.
bool IsCompleteSave(const u8* data, size_t size)
{
    SSaveHeader header;
    if (size > 0x7FFFFFFF || !ReadSaveHeader(data, static_cast<s32>(size), header) ||
        DeclaredSaveSize(header) != static_cast<s64>(size))
        return false;
    const size_t first = static_cast<size_t>(CGameWindow::kSaveHeaderSize) + static_cast<size_t>(header.QuestSize);
    u32 crc = lv::core::Crc32(data, first);
    for (size_t at = first; at + kSaveChecksumSize <= size; ++at)
    {
        if (lv::core::Crc32Update(crc, data + at, kSaveChecksumSize) == 0)
            return true;
        crc = lv::core::Crc32Update(crc, data + at, 1);
    }
    return false;
}

bool ReadSaveFileBytes(const WString& path, std::vector<u8>& bytes)
{
    bytes.clear();
    FILE* file = lv::core::FileOpenW(path.c_str(), u"rb");
    if (file == nullptr)
        return false;
    u8 block[65536];
    size_t count = 0;
    while ((count = std::fread(block, 1, sizeof(block), file)) > 0)
        bytes.insert(bytes.end(), block, block + count);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

// Writes the bytes over the save at path so that at every instant a complete file exists under
// its name: a temporary file beside it, checked and put on disk; then, with makeBackup, the
// previous save (only a complete one) becomes ".bp"; then the rename. Any failure
// leaves the save and its backup as they were.
bool WriteSaveSafely(const WString& path, const void* data, size_t size, bool makeBackup)
{
    lv::core::CLog& log = lv::core::CLog::Instance();
    const std::string target = lv::core::PathToUtf8(path);
    lv::platform::CAtomicFileWriter writer;
    if (!writer.Open(target.c_str()))
    {
        log.Print(kSaveChannel, 3, "saved game: cannot create a file beside '%s'", target.c_str());
        return false;
    }
    if (!writer.Write(data, size) || !writer.Finish())
    {
        log.Print(kSaveChannel, 3, "saved game: writing '%s' failed; the previous save stays", target.c_str());
        return false;
    }
    if (makeBackup)
    {
        std::vector<u8> previous;
        if (ReadSaveFileBytes(path, previous) && IsCompleteSave(previous.data(), previous.size()))
        {
            // The save's own rename below syncs the folder for both. The previous save is already
            // on disk, so a second name for it needs neither a copy nor a sync; a copy only where
            // the file system has no links.
            const std::string backup = target + ".bp";
            lv::platform::CAtomicFileWriter backupWriter;
            if (!lv::platform::LinkFileOver(target.c_str(), backup.c_str()) &&
                (!backupWriter.Open(backup.c_str()) || !backupWriter.Write(previous.data(), previous.size()) ||
                 !backupWriter.Commit(false)))
            {
                log.Print(kSaveChannel, 3, "saved game: writing the backup '%s' failed; the previous save stays",
                          backup.c_str());
                return false;
            }
        }
    }
    if (!writer.Commit())
    {
        log.Print(kSaveChannel, 3, "saved game: replacing '%s' failed; the previous save stays", target.c_str());
        return false;
    }
    return true;
}

void ShowSaveWidget(lv::gui::CBaseWidget* widget, bool shown)
{
    if (widget == nullptr)
        return;
    if (shown)
        widget->RemoveFlags(kSaveWidgetFlags);
    else
        widget->AddFlags(kSaveWidgetFlags);
}

// The tutorial step a loaded game continues with.
s32 AdjustLoadedTutorialStep(s32 step)
{
    switch (step)
    {
    case 1:
    case 3:
    case 8:
        return step + 1;
    case 7:
        return 6;
    case 12:
    case 13:
    case 15:
    case 16:
        return 9;
    case 14:
        return -1;
    default:
        return step;
    }
}

// Releases the mapping of a save being loaded on every way out.
class CSaveFileView
{
public:
    explicit CSaveFileView(const WString& path) { m_View = lv::core::MapFileReadOnly(path.c_str(), &m_Size); }
    ~CSaveFileView()
    {
        if (m_View)
            lv::core::UnmapFile(m_View);
    }
    CSaveFileView(const CSaveFileView&) = delete;
    CSaveFileView& operator=(const CSaveFileView&) = delete;

    const u8* GetData() const { return static_cast<const u8*>(m_View); }
    u32 GetSize() const { return m_Size; }

private:
    const void* m_View = nullptr;
    u32 m_Size = 0;
};

} // namespace

s32 CGameWindow::GetSaveImageSize() const
{
    const s32 quest = m_Quest ? m_Quest->GetStateSize() : 0;
    return quest + m_Hud->GetSaveSize() + m_MinigameHost->GetSaveSize() + m_BackgroundSounds->GetSaveSize() +
           kSaveHeaderSize + kSaveChecksumSize;
}

void CGameWindow::ResetSaveImage()
{
    // A fresh zero image is no save: nothing is written until the new level's first build.
    const s32 size = GetSaveImageSize();
    m_SaveImage.Clear();
    m_SaveImage.Allocate(size);
    m_SaveWork.Clear();
    m_SaveWork.Allocate(size);
    m_ImageReady = 0;
}

bool CGameWindow::SaveState()
{
    ++m_SaveRequests;
    if (!m_Quest || m_Loading || m_Quest->IsScriptPaused() || m_LevelCompleted)
        return false;
    // Built beside the last good image, which stays the one written when this build fails.
    qe::CByteBuffer& image = m_SaveWork;
    if (image.GetCapacity() != m_SaveImage.GetCapacity())
    {
        image.Clear();
        image.Allocate(m_SaveImage.GetCapacity());
    }
    image.Clear();

    qe::CSceneView* mainView = m_SceneStack->GetMainView();
    const qe::CScene* mainScene = mainView ? mainView->GetScene() : nullptr;
    const s32 questSize = m_Quest->GetStateSize();
    const s32 hudSize = m_Hud->GetSaveSize();
    const s32 hostSize = m_MinigameHost->GetSaveSize();
    const s32 ambientSize = m_BackgroundSounds->GetSaveSize();
    image.WriteNameString(m_Quest->GetName());
    image.WriteNameString(mainScene ? mainScene->GetName() : CFixedString(""));
    image.WriteInt32(questSize);
    image.WriteInt32(hudSize);
    image.WriteInt32(hostSize);
    image.WriteInt32(ambientSize);
    image.WriteInt32(m_TutorialStep);

    // Each section must stay within the room its header entry reserves.
    const auto fits = [&image](const char* section, s32 start, s32 reserved) {
        const s32 written = image.GetLength() - start;
        if (!image.HasOverflowed() && written <= reserved)
            return true;
        lv::core::CLog::Instance().Print(kSaveChannel, 3,
                                         "saved game: the %s section does not fit its %d bytes; the last good "
                                         "image stays",
                                         section, reserved);
        return false;
    };
    s32 start = image.GetLength();
    m_Quest->Save(image);
    if (!fits("quest", start, questSize))
        return false;
    start = image.GetLength();
    m_Hud->Save(image);
    if (!fits("HUD", start, hudSize))
        return false;
    m_MinigameHost->RemoveFinished();
    start = image.GetLength();
    m_MinigameHost->Save(image);
    if (!fits("minigame host", start, hostSize))
        return false;
    start = image.GetLength();
    m_BackgroundSounds->Save(image);
    if (!fits("ambient sounds", start, ambientSize))
        return false;
    image.WriteInt32(static_cast<s32>(lv::core::Crc32(image.GetData(), static_cast<size_t>(image.GetLength()))));
    if (!fits("checksum", start, ambientSize + kSaveChecksumSize))
        return false;

    image.Clear();
    m_SaveImage.Swap(image);
    m_ImageReady = 1;
    return true;
}

void CGameWindow::WriteSaveFile()
{
    ++m_SaveWrites;
    if (!m_ImageReady || m_SaveImage.GetData() == nullptr)
        return;
    const WString path = GetSaveFilePath();
    if (path.empty())
        return;
    WriteSaveSafely(path, m_SaveImage.GetData(), static_cast<size_t>(m_SaveImage.GetCapacity()), true);
}

s32 CGameWindow::LoadProfileSave()
{
    const WString path = GetSaveFilePath();
    if (path.empty())
        return kLoadNothing;
    return LoadSaveFile(path);
}

s32 CGameWindow::LoadSaveFile(const WString& path)
{
    m_MinigameHost->Clear();
    m_Hud->ResetForLevel();

    FILE* probe = lv::core::FileOpenW(path.c_str(), u"r");
    if (probe == nullptr)
        return kLoadNothing;
    std::fclose(probe);

    lv::core::CLog& log = lv::core::CLog::Instance();
    const std::string pathText = lv::core::PathToUtf8(path);
    const CSaveFileView file(path);
    const u8* data = file.GetData();
    const s32 size = static_cast<s32>(file.GetSize());
    if (data == nullptr || file.GetSize() > 0x7FFFFFFFu)
    {
        log.Print(kSaveChannel, 2, "saved game: cannot map '%s'", pathText.c_str());
        return kLoadDamaged;
    }
    SSaveHeader header;
    if (!ReadSaveHeader(data, size, header))
    {
        log.Print(kSaveChannel, 2, "saved game: '%s' has no whole header", pathText.c_str());
        return kLoadDamaged;
    }
    if (DeclaredSaveSize(header) != size || header.HudSize != m_Hud->GetSaveSize() ||
        header.HostSize != m_MinigameHost->GetSaveSize() || header.AmbientSize != m_BackgroundSounds->GetSaveSize())
    {
        log.Print(kSaveChannel, 2, "saved game: the section sizes of '%s' do not match", pathText.c_str());
        return kLoadDamaged;
    }

    // From here on a failure takes back all the attempt changed: the minigames and HUD items
    // it made point into the quest that goes with it.
    const s32 hudDepth = m_Hud->GetModeDepth();
    const CFixedString previousLocation = m_CurrentLocation;
    std::unique_ptr<qe::CQuest> quest;
    m_Loading = 1;
    const auto fail = [&](const char* why) {
        log.Print(kSaveChannel, 2, "saved game: '%s' is damaged: %s", pathText.c_str(), why);
        m_MinigameHost->Clear();
        m_Hud->ResetForLevel();
        while (m_Hud->GetModeDepth() > hudDepth)
            m_Hud->PopMode();
        quest.reset();
        m_CurrentLocation = previousLocation;
        m_Loading = 0;
        return kLoadDamaged;
    };

    quest.reset(qe::CQuestData::Instance().CreateQuest(header.Quest.GetText(), this, this, &GetClock()));
    if (!quest)
        return fail("unknown quest");
    if (header.QuestSize != quest->GetStateSize())
        return fail("the quest section's size differs");
    m_CurrentLocation = header.Scene;
    qe::CScene* scene = quest->FindScene(header.Scene.GetText());
    if (scene == nullptr)
        return fail("unknown scene");
    if (!quest->Load(data + kSaveHeaderSize, size - kSaveHeaderSize))
        return fail("the quest section");
    quest->RefreshScripts();

    // The later sections come from untrusted bytes too: one bounded reader over the rest of the
    // file, any error of which makes the file damaged.
    const s32 sectionsAt = kSaveHeaderSize + header.QuestSize;
    qe::CBinaryReader reader(data + sectionsAt, size - sectionsAt);
    if (!m_Hud->Load(reader, *quest) || reader.HasError())
        return fail("the HUD section");
    if (!m_MinigameHost->Load(reader) || reader.HasError())
        return fail("the minigame host section");
    if (!m_BackgroundSounds->LoadState(reader) || reader.HasError())
        return fail("the ambient sounds section");
    const s32 checksumAt = sectionsAt + reader.GetPosition();
    const u32 stored = static_cast<u32>(reader.ReadInt32());
    if (reader.HasError() || stored != lv::core::Crc32(data, static_cast<size_t>(checksumAt)))
        return fail("the checksum");
    m_Loading = 0;

    m_Started = 1;
    m_SpareView->SetScene(nullptr);
    SetQuest(quest.release());
    ResetSaveImage();
    m_SceneStack->ShowScene(scene);
    LoadLevelMedia(scene);

    // The tutorial step of the file counts only now that the whole file is good.
    s32 step = AdjustLoadedTutorialStep(header.TutorialStep);
    const SProfileValues* values = nullptr;
    if (CProfileManager* profiles = CProfileManager::Instance())
        values = profiles->GetCurrentValues();
    if (values && values->Difficulty == kSaveHardDifficulty)
        step = -1;
    m_TutorialStep = step;
    const CPoint2i screen = CHud::GetScreenSize();
    if (m_SkipTutorialButton)
    {
        const bool shown = step >= 0 && step != 14;
        if (shown)
            m_SkipTutorialButton->SetPosition(static_cast<float>(screen.X) - m_SkipTutorialButton->GetSize().X, 0.0f);
        ShowSaveWidget(m_SkipTutorialButton, shown);
    }
    if (!m_TutorialClip)
        m_TutorialClip = std::make_unique<CClip>();
    char clipName[32];
    std::snprintf(clipName, sizeof(clipName), "tutorial_%d", step + 1);
    m_TutorialClip->Load(clipName, true);
    m_TutorialClip->SetPosition(CVector2(static_cast<float>(screen.X) * 0.5f, static_cast<float>(screen.Y) * 0.5f));
    ShowSaveWidget(m_SkipButton, false);
    PlaceBackButton();

    if (scene->GetName() == CFixedString("CLOWN"))
    {
        m_Hud->PushMode(CHud::kModeNormal);
        m_Hud->SetAlpha(255);
    }
    qe::CSceneView* top = m_SceneStack->GetTopView();
    const qe::CScene* topScene = top ? top->GetScene() : nullptr;
    m_Hud->GetMap().SetCurrentLocation(topScene ? topScene->GetName().GetText() : "");
    return kLoadDone;
}

WString CGameWindow::GetSaveFilePath() const
{
    CProfileManager* profiles = CProfileManager::Instance();
    if (profiles == nullptr || profiles->GetCurrentProfile() == nullptr)
        return WString();
    WChar buffer[CProfileManager::kPathCapacity];
    if (!profiles->GetSaveFilePath(profiles->GetCurrentProfile(), buffer, CProfileManager::kPathCapacity))
        return WString();
    WString path(buffer);
    if (m_GameMode == 2)
        path += u"b";
    else if (m_GameMode == 3)
        path += u"c";
    if (path.size() + 1 > CProfileManager::kPathCapacity)
        return WString();
    return path;
}

bool CGameWindow::CopySaveFile(const WString& from, const WString& to)
{
    std::vector<u8> bytes;
    if (!ReadSaveFileBytes(from, bytes))
        return false;
    return WriteSaveSafely(to, bytes.data(), bytes.size(), false);
}

bool CGameWindow::BackupSaveFile() const
{
    const WString path = GetSaveFilePath();
    std::vector<u8> bytes;
    // A damaged save never replaces a good backup.
    if (path.empty() || !ReadSaveFileBytes(path, bytes) || !IsCompleteSave(bytes.data(), bytes.size()))
        return false;
    return WriteSaveSafely(path + u".bp", bytes.data(), bytes.size(), false);
}

bool CGameWindow::IsCompleteSaveImage(const u8* data, size_t size)
{
    return IsCompleteSave(data, size);
}

} // namespace game
