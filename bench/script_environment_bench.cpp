// The script environment: building it for generated quests of 1,000 and 5,000 blocks (every pair
// of blocks is tested for a dependency), one tick of 5,000 idle blocks, and the door distance on
// a 40-scene map with loops and no hint anywhere.
#include "content/QuestDataWriter.h"
#include "content/QuestScriptWriter.h"
#include "core/MessageBox.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/ScriptEnvironment.h"
#include "qe/ScriptImage.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

using namespace lv::content;
using namespace qe::scripts;

namespace {

constexpr int kBlocksPerScene = 50;

// A quest "q" and its scripts; scene guids 1..n.
struct SGenerated
{
    std::vector<u8> dataImage;
    std::vector<u8> scriptImage;
    qe::CQuestData data;
    std::unique_ptr<qe::CQuest> quest;
    CQuestRecord record;

    void Build(SQuest scenes, const SScriptQuest& script)
    {
        lv::core::SetQuietMessageBoxes(true);
        CQuestDataWriter::BuildImage({scenes}, dataImage);
        data.LoadImage(dataImage.data(), static_cast<u32>(dataImage.size()));
        CQuestScriptWriter::BuildImage({script}, scriptImage);
        quest.reset(data.CreateQuest("q", nullptr, nullptr));
        record = CScriptImage::FindQuest(scriptImage.data(), scriptImage.size(), CFixedString("q"));
    }
};

SQuestScene SceneNamed(const std::string& name, u64 guid)
{
    SQuestScene scene;
    scene.id = name;
    scene.guid = guid;
    return scene;
}

// Blocks of the nine kinds; each waits for one or two earlier blocks, and the first of each
// scene waits for a guid that never fires, so nothing runs.
void GenerateBlocks(int blocks, SGenerated& out)
{
    SQuest quest;
    quest.id = "q";
    SScriptQuest script;
    script.id = "q";
    const int scenes = (blocks + kBlocksPerScene - 1) / kBlocksPerScene;
    for (int s = 0; s < scenes; ++s)
    {
        quest.scenes.push_back(SceneNamed("s" + std::to_string(s), static_cast<u64>(s + 1)));
        SScriptScene scene;
        scene.guid = static_cast<u64>(s + 1);
        for (int i = 0; i < kBlocksPerScene && s * kBlocksPerScene + i < blocks; ++i)
        {
            const int n = s * kBlocksPerScene + i + 1;
            SScriptBlock b;
            b.kind = static_cast<EScriptBlockKind>(n % 9);
            b.guid = static_cast<u64>(n);
            b.id = "b" + std::to_string(n);
            b.object = "o" + std::to_string(n);
            b.targetScene = "s0";
            b.minigame = "none";
            const u64 wait = i == 0 ? 999999 : static_cast<u64>(n - 1);
            b.unblockInputs = {wait};
            b.conditionInputs = {wait};
            b.inputs = {wait};
            b.loopInputs = {wait};
            b.blockInputs = {static_cast<u64>(n > 2 ? n - 2 : 999998)};
            b.members = {static_cast<u64>(n + 1)};
            b.commands = {SScriptCommand::Named("sleep", {{"a1", "100"}})};
            b.correct = b.commands;
            scene.blocks.push_back(b);
        }
        script.scenes.push_back(scene);
    }
    out.Build(quest, script);
}

void BM_BuildEnvironment(benchmark::State& state)
{
    SGenerated generated;
    GenerateBlocks(static_cast<int>(state.range(0)), generated);
    for (auto _ : state)
    {
        CScriptEnvironment env(generated.record, generated.quest.get(), nullptr);
        benchmark::DoNotOptimize(env.GetSetCount());
    }
    state.counters["blocks"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_BuildEnvironment)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_TickIdle(benchmark::State& state)
{
    SGenerated generated;
    GenerateBlocks(5000, generated);
    CScriptEnvironment env(generated.record, generated.quest.get(), nullptr);
    env.Tick();
    for (auto _ : state)
        env.Tick();
    state.counters["blocks"] = 5000;
}
BENCHMARK(BM_TickIdle)->Unit(benchmark::kMicrosecond);

// Forty scenes with three doors each, to the next, the seventh next and the previous scene.
void BM_PathDistanceNoHint(benchmark::State& state)
{
    SQuest quest;
    quest.id = "q";
    SScriptQuest script;
    script.id = "q";
    const char* objects[3] = {"door", "box", "chest"};
    u64 guid = 1;
    for (int s = 0; s < 40; ++s)
    {
        quest.scenes.push_back(SceneNamed("m" + std::to_string(s), static_cast<u64>(1000 + s)));
        SScriptScene scene;
        scene.guid = static_cast<u64>(1000 + s);
        const int targets[3] = {(s + 1) % 40, (s + 7) % 40, (s + 39) % 40};
        for (int d = 0; d < 3; ++d, ++guid)
        {
            SScriptBlock b;
            b.kind = EScriptBlockKind::Scene;
            b.guid = guid;
            b.id = "d" + std::to_string(guid);
            b.object = objects[d];
            b.targetScene = "m" + std::to_string(targets[d]);
            scene.blocks.push_back(b);
        }
        script.scenes.push_back(scene);
    }
    SGenerated generated;
    generated.Build(quest, script);
    CScriptEnvironment env(generated.record, generated.quest.get(), nullptr);
    env.Tick();
    for (auto _ : state)
        benchmark::DoNotOptimize(env.PathDistance(env.GetSet(0), "m1", "key"));
}
BENCHMARK(BM_PathDistanceNoHint)->Unit(benchmark::kMicrosecond);

} // namespace
