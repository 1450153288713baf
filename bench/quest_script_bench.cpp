// The scripts of a generated quest of 5,000 blocks: compiled from quest.xml (parse and compile,
// what a start without the precompiled file does) against loading quest_script.bindump (the
// file mapped and checked), in the same run, then their ratio.
#include "core/FileSystem.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "qe/ScriptData.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

constexpr int kBlocks = 5000;
constexpr int kBlocksPerScene = 50;

std::string Guid(int n)
{
    static const char kDigits[] = "/0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+";
    std::string text;
    for (int i = 0; i < 5; ++i, n /= 64)
        text += kDigits[n % 64];
    return text;
}

std::string Inputs(const char* name, int block, int count)
{
    std::string xml = std::string("<") + name + ">";
    for (int i = 1; i <= count; ++i)
        xml += "<i guid=\"" + Guid(block > i ? block - i : block + i) + "\"/>";
    return xml + "</" + name + ">";
}

std::string Tree(int block)
{
    const std::string n = std::to_string(block);
    return "<sequence><hide a1=\"obj" + n + "\" a2=\"500\"/><sleep a1=\"250\"/><parallel><show a1=\"room/lamp" + n +
           "\"/><play_sound a1=\"-1\" a2=\"click\"/><play_animation a1=\"anim" + n + "\"/></parallel></sequence>";
}

std::string BlockXml(int block)
{
    const std::string g = " guid=\"" + Guid(block) + "\" id=\"block" + std::to_string(block) + "\"";
    switch (block % 9) {
    case 0:
        return "<action_block" + g + " object=\"obj" + std::to_string(block) + "\" active_object=\"key\">" +
               Inputs("condition_inputs", block, 2) + Inputs("unblock_inputs", block, 1) + "<correct_commands>" +
               Tree(block) + "</correct_commands><commands active_object=\"coin\"><show a1=\"x\"/></commands></action_block>";
    case 1:
        return "<environment_block" + g + " object=\"wall\">" + Inputs("unblock_inputs", block, 1) +
               "<commands active_object=\"\">" + Tree(block) + "</commands></environment_block>";
    case 2:
        return "<auto_action_block" + g + "><commands>" + Tree(block) + "</commands>" +
               Inputs("unblock_inputs", block, 2) + "</auto_action_block>";
    case 3:
        return "<scene_block" + g + " object=\"door\" scene=\"next\">" + Inputs("unblock_inputs", block, 1) +
               "<preopen_commands><sleep a1=\"100\"/></preopen_commands><postopen_commands>" + Tree(block) +
               "</postopen_commands></scene_block>";
    case 4:
        return "<minigame_block" + g + " minigame=\"lock\"><arguments><a key=\"code\" value=\"1234\"/>"
               "<a key=\"tries\" value=\"3\"/></arguments>" + Inputs("condition_inputs", block, 1) +
               "<commands>" + Tree(block) + "</commands></minigame_block>";
    case 5:
        return "<scene_event_block" + g + " event=\"open\"><commands>" + Tree(block) + "</commands></scene_event_block>";
    case 6:
        return "<group" + g + ">" + Inputs("unblock_inputs", block, 1) + "<column><i guid=\"" + Guid(block + 1) +
               "\"/></column></group>";
    case 7:
        return "<cycle" + g + ">" + Inputs("loop_blocks", block, 1) + "<column><i guid=\"" + Guid(block + 2) +
               "\"/></column></cycle>";
    default:
        return "<or_block" + g + ">" + Inputs("inputs", block, 3) + "</or_block>";
    }
}

std::string MakeQuestXml()
{
    std::string structure = "<Structure><level id=\"main\">";
    std::string content;
    for (int scene = 0, block = 0; block < kBlocks; ++scene) {
        const std::string guid = Guid(100000 + scene);
        structure += "<scene guid=\"" + guid + "\"/>";
        content += "<scene_content guid=\"" + guid + "\"><scripts>";
        for (int i = 0; i < kBlocksPerScene && block < kBlocks; ++i)
            content += BlockXml(block++);
        content += "</scripts></scene_content>";
    }
    return "<?xml version=\"1.0\"?>\n<quest>" + structure + "</level></Structure>" + content + "</quest>\n";
}

struct SFixture
{
    SFixture()
    {
        lv::core::SetQuietMessageBoxes(true);
        xml = MakeQuestXml();
        folder = std::filesystem::temp_directory_path() / ("quest_script_bench_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(folder / "properties");
        lv::core::CSettings settings;
        settings.ParseXmlText(xml.data(), xml.size());
        qe::CScriptData data;
        data.Compile(settings.GetFirstChild());
        imageSize = data.GetSize();
        data.Save((folder / "properties/quest_script.bindump").string().c_str());
    }
    ~SFixture() { std::filesystem::remove_all(folder); }

    std::string xml;
    std::filesystem::path folder;
    size_t imageSize = 0;
};

SFixture& Fixture()
{
    static SFixture fixture;
    return fixture;
}

void BM_CompileFromXml(benchmark::State& state)
{
    const std::string& xml = Fixture().xml;
    for (auto _ : state) {
        lv::core::CSettings settings;
        settings.ParseXmlText(xml.data(), xml.size());
        qe::CScriptData data;
        data.Compile(settings.GetFirstChild());
        benchmark::DoNotOptimize(data.GetImage());
    }
    state.SetBytesProcessed(static_cast<s64>(state.iterations() * xml.size()));
}
BENCHMARK(BM_CompileFromXml)->Unit(benchmark::kMillisecond);

void BM_LoadBindump(benchmark::State& state)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(Fixture().folder);
    {
        lv::core::CFileSystem fileSystem("");
        for (auto _ : state) {
            qe::CScriptData data;
            if (!data.Load(fileSystem))
                state.SkipWithError("the image was not loaded");
            benchmark::DoNotOptimize(data.GetImage());
        }
    }
    std::filesystem::current_path(previous);
    state.SetBytesProcessed(static_cast<s64>(state.iterations() * Fixture().imageSize));
}
BENCHMARK(BM_LoadBindump)->Unit(benchmark::kMillisecond);

class CScriptRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                m_Times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void PrintComparison() const
    {
        const auto compile = m_Times.find("BM_CompileFromXml");
        const auto load = m_Times.find("BM_LoadBindump");
        if (compile == m_Times.end() || load == m_Times.end())
            return;
        std::printf("%d blocks (%zu-byte image): compile from quest.xml %.3f ms, load quest_script.bindump %.3f ms, "
                    "ratio %.1f\n",
                    kBlocks, Fixture().imageSize, compile->second, load->second, compile->second / load->second);
    }

private:
    std::map<std::string, double> m_Times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    CScriptRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintComparison();
    benchmark::Shutdown();
    return 0;
}
