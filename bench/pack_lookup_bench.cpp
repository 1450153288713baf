// Pack lookups per second on a 10,000-entry pack (exact and language-first), and LoadFile of a
// pack entry against LoadFile of a disk file.
#include "content/PackWriter.h"
#include "core/FileSystem.h"
#include "core/ResourcePack.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

using namespace lv::core;

namespace {

constexpr int EntryCount = 10000;

std::string EntryName(int i)
{
    char name[64];
    std::snprintf(name, sizeof(name), "data/folder%03d/file%05d.png", i % 100, i);
    return name;
}

// One folder for the whole run: a 10,000-entry game.pack (every tenth entry also has a de
// copy) and one loose disk file. Removed at exit.
struct CFixture
{
    std::filesystem::path m_Folder;
    std::string m_PackPath;
    std::vector<std::string> m_Names;

    CFixture()
    {
        m_Folder = std::filesystem::temp_directory_path() /
                   ("pack_lookup_bench-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(m_Folder / "loose");
        lv::content::CPackWriter writer;
        for (int i = 0; i < EntryCount; ++i) {
            m_Names.push_back(EntryName(i));
            writer.AddFile(m_Names.back(), std::vector<u8>(256, static_cast<u8>(i)));
            if (i % 10 == 0)
                writer.AddLanguageFile("de", m_Names.back(), std::vector<u8>(256, 1));
        }
        m_PackPath = (m_Folder / "game.pack").string();
        writer.WriteFile(m_PackPath);
        lv::content::WriteDiskFile(m_Folder / "loose" / "file.png", std::vector<u8>(256, 2));
        // Visit the names in a scattered order so that successive lookups do not share a path.
        std::vector<std::string> scattered;
        for (int i = 0; i < EntryCount; ++i)
            scattered.push_back(m_Names[(static_cast<size_t>(i) * 7919) % EntryCount]);
        m_Names.swap(scattered);
    }
    ~CFixture()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_Folder, ec);
    }
};

CFixture& Fixture()
{
    static CFixture fixture;
    return fixture;
}

void BM_PackExactLookup(benchmark::State& state)
{
    CResourcePack pack(Fixture().m_PackPath.c_str(), "", false);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pack.FindEntry(Fixture().m_Names[i].c_str()));
        i = (i + 1) % Fixture().m_Names.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PackExactLookup);

void BM_PackLanguageFirstLookup(benchmark::State& state)
{
    CResourcePack pack(Fixture().m_PackPath.c_str(), "de", true);
    size_t i = 0;
    u32 size = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pack.GetData(Fixture().m_Names[i].c_str(), &size));
        i = (i + 1) % Fixture().m_Names.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PackLanguageFirstLookup);

void BM_LoadFilePackEntry(benchmark::State& state)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(Fixture().m_Folder);
    {
        CFileSystem fs("de");
        fs.MountPack("game.pack");
        size_t i = 0;
        u32 size = 0;
        for (auto _ : state) {
            const u8* data = fs.LoadFile(Fixture().m_Names[i].c_str(), &size);
            benchmark::DoNotOptimize(data);
            fs.FreeFile(data);
            i = (i + 1) % Fixture().m_Names.size();
        }
    }
    std::filesystem::current_path(previous);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LoadFilePackEntry);

void BM_LoadFileDisk(benchmark::State& state)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(Fixture().m_Folder);
    {
        CFileSystem fs("de"); // no pack: the language copy is tried on disk, then the plain file
        u32 size = 0;
        for (auto _ : state) {
            const u8* data = fs.LoadFile("loose/file.png", &size);
            benchmark::DoNotOptimize(data);
            fs.FreeFile(data);
        }
    }
    std::filesystem::current_path(previous);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LoadFileDisk);

} // namespace
