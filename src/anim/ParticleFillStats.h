#pragma once
// How much screen area particles cover and how many texture pixels they use, in total and per
// particle definition, over the last 32 frames. Particle drawing feeds it at debug level 2 or
// more; the renderer's frame start shifts the history.
#include "core/Types.h"

#include <array>
#include <map>
#include <string>

namespace lv::misc::anim {

class CParticleFillStats
{
public:
    static constexpr u32 kFrames = 32;
    using History = std::array<float, kFrames>;

    void AddFill(const char* name, float pixels, u32 count);
    void AddSource(const char* name, float pixels, u32 count);
    // Entry 0 becomes the new frame; the oldest is dropped.
    void BeginFrame();
    void EndFrame() {}
    float GetAverageFill() const;
    float GetAverageSource() const;
    const History& GetFillHistory() const { return m_FillTotal; }
    const History* FindFill(const char* name) const;

    // Writes "lv_particles_workload_stat.txt" in the temporary folder (or `folder` when given)
    // and opens it for editing when a display exists. False when the file cannot be created.
    bool WriteReport(const char* folder = nullptr) const;

    // Makes the renderer open and close a sample with every frame.
    static void InstallFrameHooks();

private:
    using ByName = std::map<std::string, History, std::less<>>;
    static void Add(History& total, ByName& byName, ByName::iterator& last, const char* name, float pixels, u32 count);

    History m_FillTotal{};
    History m_SourceTotal{};
    ByName m_FillByName;
    ByName m_SourceByName;
    ByName::iterator m_LastFill = m_FillByName.end();
    ByName::iterator m_LastSource = m_SourceByName.end();
};

// The process-wide statistics, destroyed at exit; a use after that is logged and gets a fresh
// (leaked) instance rather than a dangling one.
CParticleFillStats* GetParticleFillStats();

} // namespace lv::misc::anim
