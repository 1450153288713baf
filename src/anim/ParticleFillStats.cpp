#include "anim/ParticleFillStats.h"

#include "core/Log.h"
#include "graphics/Renderer.h"
#include "platform/Desktop.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <utility>
#include <vector>

namespace lv::misc::anim {

namespace {

bool g_Destroyed = false;

struct CHolder
{
    CParticleFillStats Stats;
    ~CHolder() { g_Destroyed = true; }
};

float Average(const CParticleFillStats::History& history)
{
    return std::accumulate(history.begin(), history.end(), 0.0f) / CParticleFillStats::kFrames;
}

void Shift(CParticleFillStats::History& history)
{
    std::move_backward(history.begin(), history.end() - 1, history.end());
    history[0] = 0.0f;
}

void WriteSection(FILE* file, const char* title, const std::map<std::string, CParticleFillStats::History, std::less<>>& byName)
{
    std::vector<std::pair<std::string, float>> rows;
    for (const auto& [name, history] : byName)
        rows.emplace_back(name, Average(history));
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    std::fprintf(file, "%s\n", title);
    for (const auto& [name, average] : rows)
        std::fprintf(file, "%30s - %.0f\n", name.c_str(), static_cast<double>(average));
}

} // namespace

CParticleFillStats* GetParticleFillStats()
{
    static CHolder holder;
    if (g_Destroyed) {
        core::CLog::Instance().Print("particle", 3, "particle fill statistics used after their destruction");
        static auto* late = new CParticleFillStats();
        return late;
    }
    return &holder.Stats;
}

void CParticleFillStats::Add(History& total, ByName& byName, ByName::iterator& last, const char* name, float pixels,
                             u32 count)
{
    const float amount = static_cast<float>(count) * pixels;
    total[0] += amount;
    if (last == byName.end() || last->first != name) {
        last = byName.find(name);
        if (last == byName.end())
            last = byName.emplace(name, History{}).first;
    }
    last->second[0] += amount;
}

void CParticleFillStats::AddFill(const char* name, float pixels, u32 count)
{
    Add(m_FillTotal, m_FillByName, m_LastFill, name ? name : "", pixels, count);
}

void CParticleFillStats::AddSource(const char* name, float pixels, u32 count)
{
    Add(m_SourceTotal, m_SourceByName, m_LastSource, name ? name : "", pixels, count);
}

void CParticleFillStats::BeginFrame()
{
    Shift(m_FillTotal);
    Shift(m_SourceTotal);
    for (auto& entry : m_FillByName)
        Shift(entry.second);
    for (auto& entry : m_SourceByName)
        Shift(entry.second);
}

float CParticleFillStats::GetAverageFill() const
{
    return Average(m_FillTotal);
}

float CParticleFillStats::GetAverageSource() const
{
    return Average(m_SourceTotal);
}

const CParticleFillStats::History* CParticleFillStats::FindFill(const char* name) const
{
    const auto found = m_FillByName.find(name);
    return found == m_FillByName.end() ? nullptr : &found->second;
}

bool CParticleFillStats::WriteReport(const char* folder) const
{
    const std::string path = (folder ? std::string(folder) : platform::GetTempFolder()) + "/lv_particles_workload_stat.txt";
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return false;
    WriteSection(file, "==== Fillrate statistics ===", m_FillByName);
    std::fprintf(file, "\n");
    WriteSection(file, "==== Source pixels usage statistics ===", m_SourceByName);
    std::fclose(file);
    platform::OpenForEditing(path.c_str());
    return true;
}

void CParticleFillStats::InstallFrameHooks()
{
    graphics::CRenderer::SetFrameHooks([] { GetParticleFillStats()->BeginFrame(); },
                                       [] { GetParticleFillStats()->EndFrame(); });
}

} // namespace lv::misc::anim
