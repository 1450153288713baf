#include "sound/AudioManager.h"

#include "core/FileUtils.h"
#include "core/TimeSystem.h"
#include "core/TimerGroup.h"
#include "sound/OpenALPool.h"
#include "sound/SoundDeclarations.h"
#include "sound/VoicePool.h"

#include <algorithm>
#include <cstdio>

namespace lv::sound {

namespace {

// Statistics are written this often while the debug level asks for them.
constexpr double kStatisticsPeriodMs = 5000.0;

} // namespace

CAudioManager& GetAudioManager()
{
    // Never destroyed: sounds may still be stopped while the process ends.
    static CAudioManager* instance = new CAudioManager();
    return *instance;
}

CAudioManager::CAudioManager() : CAudioManager(lv::core::CTimeSystem::Instance(), nullptr)
{
    m_Opened = COpenALPool::Open(true);
    m_Pool = COpenALPool::Instance();
    m_OwnsPool = true;
}

CAudioManager::CAudioManager(lv::core::CTimeSystem& timeSystem, CVoicePool* pool)
    : m_Opened(pool != nullptr), m_TimeSystem(&timeSystem),
      m_TimerGroup(timeSystem.CreateTimerGroup("AudioManager", nullptr)), m_Pool(pool)
{
}

CAudioManager::~CAudioManager()
{
    StopAll(0.0f);
    // Instances first: they release their voices and point at their types.
    m_Instances.clear();
    m_Types.clear();
    if (m_OwnsPool)
        COpenALPool::Close(true);
    m_TimeSystem->DestroyTimerGroup(m_TimerGroup);
}

CVoicePool* CAudioManager::GetVoicePool() const
{
    return m_OwnsPool ? COpenALPool::Instance() : m_Pool;
}

void CAudioManager::LoadSoundTypes(const CSoundDeclarations& declarations)
{
    const u32 count = declarations.GetCount();
    for (u32 i = 0; i < count; ++i) {
        CSoundDeclarationRecord record;
        if (!declarations.GetRecord(i, record))
            continue;
        auto type = std::make_unique<CSoundType>(*this);
        if (!ApplyDeclaration(record, *type))
            continue;
        auto& slot = m_Types[record.m_Id.GetText()];
        if (slot)
            *slot = *type; // instances of the earlier declaration keep pointing at a live type
        else
            slot = std::move(type);
    }
}

bool CAudioManager::ApplyDeclaration(const CSoundDeclarationRecord& record, CSoundType& type)
{
    const bool onDemand = m_LoadOnDemand || (record.m_Flags & kSoundFlagLoadOnDemand) != 0;
    if (!type.SetFile(record.m_File.GetText(), record.m_MaxConcurrent, onDemand))
        return false;
    EnsureGroup(record.m_Group.GetText());
    type.SetGroup(record.m_Group);
    type.SetBalance(record.m_Balance, 0.0f, 0.0f);
    type.SetVolume(record.m_Volume, 0.0f, 0.0f);
    type.SetPriority(record.m_Priority);
    type.SetRepeat(record.m_Repeat);
    type.SetConcurrentPlayDelay(record.m_PlayDelay);
    type.SetSpeed(record.m_Speed);
    return true;
}

void CAudioManager::Update()
{
    for (auto it = m_Instances.begin(); it != m_Instances.end();) {
        if (it->second.IsStopped()) {
            it = m_Instances.erase(it);
        } else {
            it->second.Update();
            ++it;
        }
    }

    if (m_DebugLevel < 3)
        return;
    const double now = m_TimeSystem->GetRawTimeMs();
    if (!m_StatisticsStarted) {
        m_StatisticsStarted = true;
        m_StatisticsTick = now;
    } else if (now - m_StatisticsTick > kStatisticsPeriodMs) {
        m_StatisticsTick = now;
        WriteStatistics();
    }
}

void CAudioManager::WriteStatistics()
{
    char name[16];
    std::snprintf(name, sizeof(name), "sound_stat_%c", static_cast<char>('A' + m_StatisticsCount++));
    FILE* file = lv::core::FileOpen(name, "wt");
    if (!file)
        return;
    for (const auto& [typeName, type] : m_Types) {
        s32 count = 0;
        for (const auto& entry : m_Instances)
            count += &entry.second.GetType() == type.get() ? 1 : 0;
        if (count)
            std::fprintf(file, "%20s %i\n", typeName.c_str(), count);
    }
    std::fclose(file);
}

CSoundType* CAudioManager::FindSoundType(const char* name) const
{
    if (!name || !*name)
        return nullptr;
    auto it = m_Types.find(name);
    return it == m_Types.end() ? nullptr : it->second.get();
}

CSound* CAudioManager::FindSound(s32 id)
{
    auto it = m_Instances.find(id);
    return it == m_Instances.end() ? nullptr : &it->second;
}

const CSound* CAudioManager::FindSound(s32 id) const
{
    auto it = m_Instances.find(id);
    return it == m_Instances.end() ? nullptr : &it->second;
}

s32 CAudioManager::Play(const char* name, float balance, float volume, s32 priority, s32 repeat, float speed)
{
    return PlayInGroup(name, nullptr, balance, volume, priority, repeat, speed);
}

s32 CAudioManager::PlayInGroup(const char* name, const char* group, float balance, float volume, s32 priority,
                               s32 repeat, float speed)
{
    CSoundType* type = FindSoundType(name);
    if (!type || !type->CanPlay())
        return 0;
    const s32 id = NextSoundId();
    CSound& sound = m_Instances.try_emplace(id, *type).first->second;
    if (group)
        sound.SetGroup(CFixedString(group));
    if (!StartInstance(sound, balance, volume, priority, repeat, speed)) {
        m_Instances.erase(id);
        return 0;
    }
    // A sound started while the game is paused starts paused at the same depth.
    s32 depth = 0;
    for (const lv::core::CTimerGroup* g = m_TimerGroup; g; g = g->GetParent())
        depth += g->GetPauseCount();
    for (s32 i = 0; i < depth; ++i)
        PauseSound(id, true);
    AddPriorityPlaying(sound.GetPriority());
    return id;
}

bool CAudioManager::StartInstance(CSound& sound, float balance, float volume, s32 priority, s32 repeat, float speed)
{
    return sound.Start(balance, volume, priority, repeat, speed);
}

bool CAudioManager::StopSound(s32 id, float fade)
{
    CSound* sound = FindSound(id);
    if (!sound)
        return false;
    sound->SetVolume(0.0f, fade, 0.0f);
    sound->Stop(fade);
    return true;
}

bool CAudioManager::StopSoundsByName(const char* name, float fade)
{
    const CSoundType* type = FindSoundType(name);
    if (!type)
        return false;
    for (auto& [id, sound] : m_Instances)
        if (&sound.GetType() == type)
            StopSound(id, fade);
    return true;
}

void CAudioManager::StopAll(float fade)
{
    for (auto& entry : m_Instances)
        StopSound(entry.first, fade);
}

void CAudioManager::StopGroup(const char* group, float fade)
{
    for (auto& entry : m_Instances)
        if (entry.second.GetGroup().CompareText(group) == 0)
            entry.second.Stop(fade);
}

bool CAudioManager::PauseSound(s32 id, bool pause)
{
    CSound* sound = FindSound(id);
    if (!sound)
        return false;
    if (pause)
        sound->Pause();
    else
        sound->Resume();
    return true;
}

void CAudioManager::PauseAll(bool pause)
{
    if (pause)
        ++m_PauseAllLevel;
    else if (m_PauseAllLevel > 0)
        --m_PauseAllLevel;
    for (auto& entry : m_Instances)
        PauseSound(entry.first, pause);
}

void CAudioManager::PauseGroup(const char* group, bool pause)
{
    for (auto& entry : m_Instances) {
        CSound& sound = entry.second;
        if (sound.GetGroup().CompareText(group) != 0 || sound.IsPaused() == pause)
            continue;
        if (pause)
            sound.Pause();
        else
            sound.Resume();
    }
}

bool CAudioManager::ChangeSoundVolume(s32 id, float delta, float time, float delay)
{
    CSound* sound = FindSound(id);
    if (sound)
        sound->ChangeVolume(delta, time, delay);
    return sound != nullptr;
}

bool CAudioManager::SetSoundVolume(s32 id, float volume, float time, float delay)
{
    CSound* sound = FindSound(id);
    if (sound)
        sound->SetVolume(volume, time, delay);
    return sound != nullptr;
}

bool CAudioManager::SetSoundBalance(s32 id, float balance, float time, float delay)
{
    CSound* sound = FindSound(id);
    if (sound)
        sound->SetBalance(balance, time, delay);
    return sound != nullptr;
}

bool CAudioManager::SetSoundPriority(s32 id, s32 priority)
{
    CSound* sound = FindSound(id);
    if (!sound)
        return false;
    RemovePriorityPlaying(sound->GetPriority());
    sound->SetPriority(priority);
    AddPriorityPlaying(sound->GetPriority());
    return true;
}

bool CAudioManager::SetSoundRepeat(s32 id, s32 repeat)
{
    CSound* sound = FindSound(id);
    if (sound)
        sound->SetRepeat(repeat);
    return sound != nullptr;
}

bool CAudioManager::SetSoundSpeed(s32 id, float speed)
{
    CSound* sound = FindSound(id);
    if (sound)
        sound->SetSpeed(speed);
    return sound != nullptr;
}

bool CAudioManager::SetSoundPosition(s32 id, double seconds)
{
    CSound* sound = FindSound(id);
    if (sound)
        sound->SetPosition(seconds);
    return sound != nullptr;
}

float CAudioManager::GetSoundVolume(s32 id) const
{
    const CSound* sound = FindSound(id);
    return sound ? sound->GetVolume() : 0.0f;
}

float CAudioManager::GetSoundTypeVolume(s32 id) const
{
    const CSound* sound = FindSound(id);
    return sound ? sound->GetType().GetVolume() : 0.0f;
}

float CAudioManager::GetSoundBalance(s32 id) const
{
    const CSound* sound = FindSound(id);
    return sound ? sound->GetBalance() : 0.0f;
}

s32 CAudioManager::GetSoundPriority(s32 id) const
{
    const CSound* sound = FindSound(id);
    return sound ? sound->GetPriority() : 0;
}

s32 CAudioManager::GetSoundRepeat(s32 id) const
{
    const CSound* sound = FindSound(id);
    return sound ? sound->GetRepeat() : 0;
}

float CAudioManager::GetSoundSpeed(s32 id) const
{
    return FindSound(id) ? 1.0f : 0.0f;
}

double CAudioManager::GetSoundDuration(s32 id) const
{
    const CSound* sound = FindSound(id);
    return sound ? sound->GetType().GetDuration() : 0.0;
}

double CAudioManager::GetSoundPosition(s32 id) const
{
    const CSound* sound = FindSound(id);
    return sound ? sound->GetPosition() : 0.0;
}

bool CAudioManager::ChangeTypeVolume(const char* name, float delta, float time, float delay)
{
    CSoundType* type = FindSoundType(name);
    if (type)
        type->ChangeVolume(delta, time, delay);
    return type != nullptr;
}

bool CAudioManager::SetTypeVolume(const char* name, float volume, float time, float delay)
{
    CSoundType* type = FindSoundType(name);
    if (type)
        type->SetVolume(volume, time, delay);
    return type != nullptr;
}

bool CAudioManager::SetTypeBalance(const char* name, float balance, float time, float delay)
{
    CSoundType* type = FindSoundType(name);
    if (type)
        type->SetBalance(balance, time, delay);
    return type != nullptr;
}

bool CAudioManager::SetTypePriority(const char* name, s32 priority)
{
    CSoundType* type = FindSoundType(name);
    if (type)
        type->SetPriority(priority);
    return type != nullptr;
}

bool CAudioManager::SetTypeRepeat(const char* name, s32 repeat)
{
    CSoundType* type = FindSoundType(name);
    if (type)
        type->SetRepeat(repeat);
    return type != nullptr;
}

bool CAudioManager::SetTypeSpeed(const char* name, float speed)
{
    CSoundType* type = FindSoundType(name);
    if (type)
        type->SetSpeed(speed);
    return type != nullptr;
}

bool CAudioManager::SetConcurrentPlayDelay(const char* name, float ms)
{
    CSoundType* type = FindSoundType(name);
    if (type)
        type->SetConcurrentPlayDelay(ms);
    return type != nullptr;
}

float CAudioManager::GetTypeVolume(const char* name) const
{
    const CSoundType* type = FindSoundType(name);
    return type ? type->GetVolume() : 0.0f;
}

float CAudioManager::GetTypeBalance(const char* name) const
{
    const CSoundType* type = FindSoundType(name);
    return type ? type->GetBalance() : 0.0f;
}

s32 CAudioManager::GetTypePriority(const char* name) const
{
    const CSoundType* type = FindSoundType(name);
    return type ? type->GetPriority() : 0;
}

s32 CAudioManager::GetTypeRepeat(const char* name) const
{
    const CSoundType* type = FindSoundType(name);
    return type ? type->GetRepeat() : 0;
}

float CAudioManager::GetTypeSpeed(const char* name) const
{
    return FindSoundType(name) ? 1.0f : 0.0f;
}

double CAudioManager::GetTypeDuration(const char* name) const
{
    const CSoundType* type = FindSoundType(name);
    return type ? type->GetDuration() : 0.0;
}

void CAudioManager::SetMasterVolume(float volume)
{
    m_MasterVolume = std::clamp(volume, 0.0f, 100.0f);
    ApplyVolumeAll();
}

void CAudioManager::EnsureGroup(const char* group)
{
    m_Groups.try_emplace(group ? group : "", 100.0f);
}

void CAudioManager::SetGroupVolume(const char* group, float volume)
{
    EnsureGroup(group);
    m_Groups[group ? group : ""] = std::clamp(volume, 0.0f, 100.0f);
    ApplyVolumeAll();
}

float CAudioManager::GetGroupVolume(const char* group) const
{
    auto it = m_Groups.find(group ? group : "");
    return it == m_Groups.end() ? 100.0f : it->second;
}

void CAudioManager::SetPriorityVolumeChange(s32 priority, float change)
{
    auto it = m_Priorities.find(priority);
    if (it == m_Priorities.end()) {
        if (change == 0.0f)
            return;
        m_Priorities.emplace(priority, CPriority{0, change});
    } else {
        if (it->second.m_Change == change)
            return;
        it->second.m_Change = change;
    }
    ApplyVolumeBelow(priority);
}

float CAudioManager::GetPriorityVolumeChange(s32 priority) const
{
    float change = 0.0f;
    for (auto it = m_Priorities.upper_bound(priority); it != m_Priorities.end(); ++it)
        if (it->second.m_Count != 0)
            change += it->second.m_Change;
    return change;
}

void CAudioManager::AddPriorityPlaying(s32 priority)
{
    auto it = m_Priorities.find(priority);
    if (it == m_Priorities.end()) {
        m_Priorities.emplace(priority, CPriority{1, 0.0f});
        return;
    }
    if (++it->second.m_Count == 1 && it->second.m_Change != 0.0f)
        ApplyVolumeBelow(priority);
}

void CAudioManager::RemovePriorityPlaying(s32 priority)
{
    auto it = m_Priorities.find(priority);
    if (it == m_Priorities.end())
        return;
    if (--it->second.m_Count == 0 && it->second.m_Change != 0.0f)
        ApplyVolumeBelow(priority);
}

void CAudioManager::ApplyVolumeBelow(s32 priority)
{
    for (auto& entry : m_Instances)
        if (entry.second.GetPriority() < priority)
            entry.second.ApplyVolume();
}

void CAudioManager::ApplyVolumeAll()
{
    for (auto& entry : m_Instances)
        entry.second.ApplyVolume();
}

} // namespace lv::sound
