#include "qe/QuestData.h"

#include "core/ByteOrder.h"
#include "core/FileSystem.h"
#include "core/FixedString.h"
#include "core/Guid.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/TimeSystem.h"
#include "qe/ObjectFactory.h"
#include "qe/Quest.h"
#include "qe/QuestXmlBuilder.h"
#include "qe/Scene.h"
#include "qe/ScriptData.h"
#include "qe/ScriptEnvironment.h"
#include "qe/SceneObject.h"

#include <cstdio>
#include <memory>

namespace qe {

using lv::core::ReadU16;
using lv::core::ReadU32;

namespace {

constexpr const char* kBindumpPath = "properties/quest.bindump";
constexpr const char* kXmlPath = "properties/quest.xml";
constexpr size_t kNameRecordSize = CFixedString::kRecordSize;
// Deeper nesting of groups is refused: building and freeing objects recurse once per level.
constexpr int kMaxGroupDepth = 64;

// Walks an image once; every offset stays at or below the end it is checked against, so the
// differences below never wrap.
class CImageCheck
{
public:
    CImageCheck(const u8* data, size_t size) : m_Data(data), m_Size(size) {}

    bool Run()
    {
        if (m_Size < 4 || ReadU32(m_Data) != CQuestData::kMagic)
            return Fail("a wrong magic");
        size_t at = 4;
        while (at < m_Size)
        {
            size_t next = 0;
            if (!Quest(at, next))
                return false;
            at = next;
        }
        return true;
    }

    const char* m_Problem = nullptr;

private:
    bool Fail(const char* what)
    {
        if (!m_Problem)
            m_Problem = what;
        return false;
    }

    // A name record whose length leaves room for its terminator, which is there.
    bool Name(size_t at)
    {
        const u16 length = ReadU16(m_Data + at);
        if (length > CFixedString::kMaxLength)
            return Fail("a name longer than 87 characters");
        if (m_Data[at + 8 + length] != 0)
            return Fail("a name without terminator");
        return true;
    }

    bool Quest(size_t at, size_t& next)
    {
        if (m_Size - at < CQuestData::kQuestRecordSize)
            return Fail("a quest record cut short");
        if (!Name(at))
            return false;
        const s32 count = static_cast<s32>(ReadU32(m_Data + at + 96));
        const u32 blockSize = ReadU32(m_Data + at + 100);
        if (count < 0)
            return Fail("a negative scene count");
        if (blockSize < CQuestData::kQuestRecordSize || blockSize > m_Size - at)
            return Fail("a quest block size outside the image");
        const size_t end = at + blockSize;
        size_t scene = at + CQuestData::kQuestRecordSize;
        for (s32 i = 0; i < count; ++i)
            if (!Scene(scene, end, scene))
                return false;
        next = end;
        return true;
    }

    bool Scene(size_t at, size_t end, size_t& next)
    {
        if (end - at < CScene::kRecordSize)
            return Fail("a scene record outside its quest block");
        if (!Name(at))
            return false;
        const s32 count = static_cast<s32>(ReadU32(m_Data + at + 132));
        const u32 blockSize = ReadU32(m_Data + at + 136);
        if (count < 0)
            return Fail("a negative object count");
        if (blockSize < CScene::kRecordSize || blockSize > end - at)
            return Fail("a scene block size outside its quest block");
        const size_t sceneEnd = at + blockSize;
        size_t object = at + CScene::kRecordSize;
        for (s32 i = 0; i < count; ++i)
            if (!Object(object, sceneEnd, 0, object))
                return false;
        next = sceneEnd;
        return true;
    }

    bool Object(size_t at, size_t end, int depth, size_t& next)
    {
        if (end - at < CSceneObject::kRecordHeaderSize)
            return Fail("an object record outside its parent");
        if (!Name(at) || !Name(at + kNameRecordSize))
            return false;
        const u16 hintSize = ReadU16(m_Data + at + 208);
        const u16 kind = ReadU16(m_Data + at + 210);
        if (kind > kRecordVideo)
            return Fail("an object of unknown kind");
        const size_t hint = at + CSceneObject::kRecordHeaderSize;
        if (hintSize > end - hint)
            return Fail("a hint outside its parent");
        if (hintSize && m_Data[hint + hintSize - 1] != 0)
            return Fail("a hint without terminator");
        const size_t payload = hint + hintSize;
        const size_t room = end - payload;
        switch (kind)
        {
        case kRecordImage:
        case kRecordClip:
            if (room < 128)
                return Fail("an image or clip payload outside its parent");
            if (!Name(payload))
                return false;
            next = payload + 128;
            return true;
        case kRecordVideo:
            if (room < 228)
                return Fail("a video payload outside its parent");
            if (!Name(payload) || !Name(payload + kNameRecordSize))
                return false;
            next = payload + 228;
            return true;
        case kRecordArea:
        {
            if (room < 24)
                return Fail("an area payload outside its parent");
            const s32 points = static_cast<s32>(ReadU32(m_Data + payload + 20));
            if (points < 0 || static_cast<size_t>(points) > (room - 24) / 8)
                return Fail("area points outside their parent");
            next = payload + 24 + 8 * static_cast<size_t>(points);
            return true;
        }
        case kRecordGroup:
        {
            if (room < 8)
                return Fail("a group payload outside its parent");
            if (depth >= kMaxGroupDepth)
                return Fail("groups nested too deep");
            const u32 size = ReadU32(m_Data + payload);
            const s32 count = static_cast<s32>(ReadU32(m_Data + payload + 4));
            if (size < 8 || size > room)
                return Fail("a group size outside its parent");
            if (count < 0)
                return Fail("a negative child count");
            const size_t groupEnd = payload + size;
            size_t child = payload + 8;
            for (s32 i = 0; i < count; ++i)
                if (!Object(child, groupEnd, depth + 1, child))
                    return false;
            next = groupEnd;
            return true;
        }
        default: next = payload; return true;
        }
    }

    const u8* m_Data;
    size_t m_Size;
};

void ReportCorrupted()
{
    lv::core::ShowMessageBoxF("Error", "quest.bindump is corrupted.");
}

} // namespace

CQuestData& CQuestData::Instance()
{
    static CQuestData instance;
    return instance;
}

CQuestData::CQuestData()
{
    auto& time = lv::core::CTimeSystem::Instance();
    if (!time.FindTimerGroup("qe_actions"))
        time.CreateTimerGroup("qe_actions", time.GetRootGroup());
}

CQuestData::~CQuestData()
{
    Clear();
}

void CQuestData::Clear()
{
    if (m_Image && m_FileSystem)
        m_FileSystem->FreeFile(m_Image);
    m_FileSystem = nullptr;
    m_Image = nullptr;
    m_Size = 0;
    m_BuiltFromXml = false;
    m_Built.clear();
    m_Built.shrink_to_fit();
    m_Quests.clear();
}

bool CQuestData::Load()
{
    return Load(lv::core::CFileSystem::Instance());
}

bool CQuestData::Load(lv::core::CFileSystem& fileSystem)
{
    Clear();
    u32 size = 0;
    if (const u8* data = fileSystem.LoadFile(kBindumpPath, &size))
    {
        if (size < 4 || ReadU32(data) != kMagic)
        {
            const u32 magic = size < 4 ? 0 : ReadU32(data);
            fileSystem.FreeFile(data);
            if (size < 4)
                ReportCorrupted();
            else
                lv::core::ShowMessageBoxF("Error",
                                          "quest.bindump is corrupted or has incompatible version.Supported version "
                                          "%i, version in bindump %i.\n",
                                          static_cast<int>(kVersion), static_cast<int>(magic >> 24));
            return false;
        }
        return Adopt(data, size, &fileSystem);
    }

    lv::core::CSettings settings;
    u32 xmlSize = 0;
    if (const u8* xml = fileSystem.LoadFile(kXmlPath, &xmlSize))
    {
        if (!settings.ParseXmlText(reinterpret_cast<const char*>(xml), xmlSize))
            lv::core::CLog::Instance().Print("qe", 3, "Can't parse %s.", kXmlPath);
        fileSystem.FreeFile(xml);
    }
    else
        lv::core::CLog::Instance().Print("qe", 3, "Can't find %s or %s.", kBindumpPath, kXmlPath);
    BuildFromXml(settings.GetFirstChild());
    return m_Image != nullptr;
}

bool CQuestData::LoadImage(const u8* data, u32 size)
{
    Clear();
    return Adopt(data, size, nullptr);
}

bool CQuestData::Adopt(const u8* data, u32 size, lv::core::CFileSystem* fileSystem)
{
    const char* problem = nullptr;
    if (!data || !CheckImage(data, size, &problem))
    {
        if (data && fileSystem)
            fileSystem->FreeFile(data);
        lv::core::CLog::Instance().Print("qe", 3, "quest.bindump: %s.", problem ? problem : "no data");
        ReportCorrupted();
        return false;
    }
    m_Image = data;
    m_Size = size;
    m_FileSystem = fileSystem;
    IndexQuests();
    return true;
}

bool CQuestData::BuildFromXmlText(const std::string& text)
{
    Clear();
    lv::core::CSettings settings;
    const bool parsed = settings.LoadXmlText(text);
    if (!parsed)
        lv::core::CLog::Instance().Print("qe", 3, "Can't parse %s.", kXmlPath);
    BuildFromXml(settings.GetFirstChild());
    return parsed && m_Image != nullptr;
}

void CQuestData::BuildFromXml(const lv::core::CSettingsGroup& document)
{
    Clear();
    std::vector<u8> image;
    CQuestXmlBuilder::Build(document, image);
    // The builder keeps every limit, but what it made is checked like any image before
    // anything is built on it.
    const char* problem = nullptr;
    if (!CheckImage(image.data(), image.size(), &problem))
    {
        lv::core::CLog::Instance().Print("qe", 3, "%s gives an unusable image: %s.", kXmlPath, problem);
        return;
    }
    m_Built = std::move(image);
    m_Image = m_Built.data();
    m_Size = static_cast<u32>(m_Built.size());
    m_BuiltFromXml = true;
    IndexQuests();
}

void CQuestData::IndexQuests()
{
    m_Quests.clear();
    for (size_t at = 4; at < m_Size; at += ReadU32(m_Image + at + 100))
        m_Quests.push_back(m_Image + at);
}

const u8* CQuestData::GetQuestRecord(s32 index) const
{
    return index >= 0 && index < GetQuestCount() ? m_Quests[static_cast<size_t>(index)] : nullptr;
}

CQuest* CQuestData::CreateQuest(const char* name, lv::gui::CBaseWidget* ownerWidget, CSavableState* owner,
                                lv::core::CTimeSystem* timeSystem) const
{
    const CFixedString wanted(name);
    for (const u8* record : m_Quests)
    {
        const auto& questName = *reinterpret_cast<const CFixedString*>(record);
        if (!CSceneObject::NamesEqual(questName, wanted))
            continue;
        auto quest = std::make_unique<CQuest>(questName.GetText(), timeSystem, owner);
        const u32 sceneCount = ReadU32(record + 96);
        const u8* sceneRecord = record + kQuestRecordSize;
        for (u32 i = 0; i < sceneCount; ++i)
        {
            CScene* scene = quest->AddScene(std::make_unique<CScene>(quest.get(), ""));
            scene->InitFromRecord(sceneRecord);
            const u32 objectCount = ReadU32(sceneRecord + 132);
            const u8* object = sceneRecord + CScene::kRecordSize;
            for (u32 j = 0; j < objectCount; ++j)
            {
                scene->AddPrototype(CreateObjectFromRecord(scene, object));
                object = GetRecordEnd(object);
            }
            sceneRecord += ReadU32(sceneRecord + 136);
        }
        quest->FinishBuild();
        quest->SetScriptEnvironment(CScriptData::Instance().CreateEnvironment(quest.get(), ownerWidget));
        return quest.release();
    }
    return nullptr;
}

bool CQuestData::SaveBindump() const
{
    return SaveBindump(kBindumpPath);
}

bool CQuestData::SaveBindump(const char* path) const
{
    if (!m_BuiltFromXml || !m_Image)
        return false;
    FILE* file = std::fopen(path, "wb");
    if (!file)
    {
        lv::core::CLog::Instance().Print("qe", 3, "Can't write %s.", path);
        return false;
    }
    const bool ok = std::fwrite(m_Image, 1, m_Size, file) == m_Size;
    return std::fclose(file) == 0 && ok;
}

bool CQuestData::CheckImage(const u8* data, size_t size, const char** problem)
{
    CImageCheck check(data, size);
    const bool ok = data && check.Run();
    if (problem)
        *problem = check.m_Problem;
    return ok;
}

u64 CQuestData::ParseGuid(std::string_view text)
{
    return lv::core::ParseGuid(text);
}

} // namespace qe
