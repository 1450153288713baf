#include "qe/ScriptData.h"

#include "core/ByteOrder.h"
#include "core/FileSystem.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "platform/AtomicFile.h"
#include "qe/Quest.h"
#include "qe/ScriptCompiler.h"
#include "qe/ScriptEnvironment.h"
#include "qe/ScriptImage.h"

#include <string>

namespace qe {

using lv::core::CFileSystem;
using lv::core::CLog;

CScriptData& CScriptData::Instance()
{
    static CScriptData data;
    return data;
}

CScriptData::~CScriptData()
{
    Release();
}

void CScriptData::Release()
{
    if (m_FileSystem && m_Image)
        m_FileSystem->FreeFile(m_Image);
    m_FileSystem = nullptr;
    m_Image = nullptr;
    m_Size = 0;
    m_Compiled.clear();
    m_Compiled.shrink_to_fit();
}

bool CScriptData::Load()
{
    return Load(CFileSystem::Instance());
}

bool CScriptData::Load(CFileSystem& fileSystem)
{
    Release();
    u32 size = 0;
    if (const u8* data = fileSystem.LoadFile(kImagePath, &size)) {
        if (size < 4 || lv::core::ReadU32(data) != scripts::CScriptImage::kTag) {
            fileSystem.FreeFile(data);
            lv::core::ShowMessageBox("Error", "quest_script.bindump has incompatible version.");
            return false;
        }
        std::string error;
        if (!scripts::CScriptImage::Validate(data, size, &error)) {
            fileSystem.FreeFile(data);
            CLog::Instance().Print("qe", 3, "%s: %s", kImagePath, error.c_str());
            lv::core::ShowMessageBox("Error", "quest_script.bindump is corrupted.");
            return false;
        }
        m_Image = data;
        m_Size = size;
        m_FileSystem = &fileSystem;
        return true;
    }
    const u8* text = fileSystem.LoadFile(kXmlPath, &size);
    if (!text) {
        CLog::Instance().Print("qe", 3, "Neither %s nor %s found: the quests have no scripts", kImagePath, kXmlPath);
        return false;
    }
    lv::core::CSettings settings;
    const bool parsed = settings.ParseXmlText(reinterpret_cast<const char*>(text), size);
    fileSystem.FreeFile(text);
    if (!parsed) {
        CLog::Instance().Print("qe", 3, "%s could not be read: the quests have no scripts", kXmlPath);
        return false;
    }
    Compile(settings.GetFirstChild());
    return true;
}

void CScriptData::Compile(const lv::core::CSettingsGroup& root)
{
    Release();
    CScriptCompiler::Compile(root, m_Compiled);
    m_Image = m_Compiled.data();
    m_Size = static_cast<u32>(m_Compiled.size());
}

bool CScriptData::Save() const
{
    return Save(kImagePath);
}

bool CScriptData::Save(const char* path) const
{
    if (!IsOwned() || !path)
        return false;
    // A failed write leaves any earlier file as it was.
    if (lv::platform::WriteFileAtomically(path, m_Image, m_Size) != lv::platform::EAtomicWriteResult::Ok) {
        CLog::Instance().Print("qe", 3, "%s could not be written", path);
        return false;
    }
    return true;
}

scripts::CQuestRecord CScriptData::FindQuest(const CFixedString& id) const
{
    return scripts::CScriptImage::FindQuest(m_Image, m_Size, id);
}

std::unique_ptr<scripts::CScriptEnvironment> CScriptData::CreateEnvironment(CQuest* quest,
                                                                            lv::gui::CBaseWidget* widget) const
{
    if (!quest || !m_Image)
        return nullptr;
    const scripts::CQuestRecord record = FindQuest(quest->GetName());
    if (!record.IsValid())
        return nullptr;
    return std::make_unique<scripts::CScriptEnvironment>(record, quest, widget);
}

} // namespace qe
