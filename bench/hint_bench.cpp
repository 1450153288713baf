// The hint queries: FindHint from one corner of a generated 6 x 10 map of 60 scenes with doors
// both ways between neighbours, with the hint in the far corner and with no hint anywhere (time
// per query), and the pointer classification of one mouse move over a scene with 200 ready
// action blocks.
#include "content/QuestDataWriter.h"
#include "content/QuestScriptWriter.h"
#include "core/MessageBox.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/Scene.h"
#include "qe/ScriptEnvironment.h"
#include "qe/ScriptImage.h"
#include "qe/ScriptSet.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

using namespace lv::content;
using namespace qe::scripts;

namespace {

// A quest "q" with its script environment.
struct SHintQuest
{
    std::vector<u8> dataImage;
    std::vector<u8> scriptImage;
    qe::CQuestData data;
    std::unique_ptr<qe::CQuest> quest;

    void Build(const SQuest& scenes, const SScriptQuest& script)
    {
        lv::core::SetQuietMessageBoxes(true);
        CQuestDataWriter::BuildImage({scenes}, dataImage);
        data.LoadImage(dataImage.data(), static_cast<u32>(dataImage.size()));
        CQuestScriptWriter::BuildImage({script}, scriptImage);
        quest.reset(data.CreateQuest("q", nullptr, nullptr));
        const CQuestRecord record = CScriptImage::FindQuest(scriptImage.data(), scriptImage.size(), CFixedString("q"));
        quest->SetScriptEnvironment(std::make_unique<CScriptEnvironment>(record, quest.get(), nullptr));
        quest->UpdateScripts();
    }
};

// A square area of `size` at (x, y).
SQuestObject HintArea(const std::string& id, u64 guid, s32 x, s32 y, s32 size)
{
    SQuestObject o;
    o.kind = EQuestObjectKind::Area;
    o.id = id;
    o.guid = guid;
    o.offset[0] = static_cast<float>(x + size / 2);
    o.offset[1] = static_cast<float>(y + size / 2);
    o.size[0] = o.size[1] = static_cast<float>(size);
    o.points = {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}};
    return o;
}

SScriptBlock HintDoor(u64 guid, const std::string& object, const std::string& target)
{
    SScriptBlock b;
    b.kind = EScriptBlockKind::Scene;
    b.guid = guid;
    b.id = "door" + std::to_string(guid);
    b.object = object;
    b.targetScene = target;
    return b;
}

constexpr int kMapColumns = 6, kMapRows = 10;

std::string MapScene(int column, int row)
{
    return "c" + std::to_string(column) + "r" + std::to_string(row);
}

// Every scene has a door to each neighbour; the far corner holds the action block for "key".
SHintQuest& MapQuest()
{
    static SHintQuest* built = [] {
        SQuest quest;
        quest.id = "q";
        SScriptQuest script;
        script.id = "q";
        u64 guid = 1;
        const char* sides[4] = {"left", "right", "up", "down"};
        const int steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (int row = 0; row < kMapRows; ++row)
            for (int column = 0; column < kMapColumns; ++column)
            {
                SQuestScene scene;
                scene.id = MapScene(column, row);
                scene.guid = static_cast<u64>(row * kMapColumns + column + 1);
                scene.size[0] = 1366;
                scene.size[1] = 768;
                SScriptScene blocks;
                blocks.guid = scene.guid;
                for (int side = 0; side < 4; ++side)
                {
                    scene.objects.push_back(HintArea(sides[side], 10000 + guid, 100 * side, 0, 50));
                    const int c = column + steps[side][0], r = row + steps[side][1];
                    if (c >= 0 && c < kMapColumns && r >= 0 && r < kMapRows)
                        blocks.blocks.push_back(HintDoor(guid, sides[side], MapScene(c, r)));
                    ++guid;
                }
                if (column == kMapColumns - 1 && row == kMapRows - 1)
                {
                    scene.objects.push_back(HintArea("chest", 10000 + guid, 500, 500, 50));
                    SScriptBlock take;
                    take.guid = guid++;
                    take.id = "take";
                    take.object = "chest";
                    take.activeObject = "key";
                    take.correct = {SScriptCommand::Named("sleep", {{"a1", "100"}})};
                    blocks.blocks.push_back(take);
                }
                quest.scenes.push_back(scene);
                script.scenes.push_back(blocks);
            }
        auto* q = new SHintQuest;
        q->Build(quest, script);
        return q;
    }();
    return *built;
}

void BM_FindHintFarCorner(benchmark::State& state)
{
    qe::CScene* start = MapQuest().quest->FindScene(MapScene(0, 0).c_str());
    qe::CSceneObject* door = start->FindHint("key", false);
    if (!door)
        state.SkipWithError("no door found");
    for (auto _ : state)
        benchmark::DoNotOptimize(start->FindHint("key", false));
    s32 distance = 0;
    start->FindNearestHintScene("key", &distance);
    state.counters["distance"] = distance;
}
BENCHMARK(BM_FindHintFarCorner)->Unit(benchmark::kMicrosecond);

void BM_FindHintNowhere(benchmark::State& state)
{
    qe::CScene* start = MapQuest().quest->FindScene(MapScene(0, 0).c_str());
    for (auto _ : state)
        benchmark::DoNotOptimize(start->FindHint("coin", false));
}
BENCHMARK(BM_FindHintNowhere)->Unit(benchmark::kMicrosecond);

// One scene of 200 areas in a 20 x 10 grid of 60-pixel cells, each with a ready action block,
// every other one needing an item; the pointer moves over them cell by cell.
void BM_ClassifyPoint200(benchmark::State& state)
{
    static SHintQuest* built = [] {
        SQuest quest;
        quest.id = "q";
        SScriptQuest script;
        script.id = "q";
        SQuestScene scene;
        scene.id = "s";
        scene.guid = 1;
        scene.size[0] = 1366;
        scene.size[1] = 768;
        SScriptScene blocks;
        blocks.guid = 1;
        for (int i = 0; i < 200; ++i)
        {
            const std::string name = "o" + std::to_string(i);
            scene.objects.push_back(HintArea(name, static_cast<u64>(1000 + i), 60 * (i % 20), 60 * (i / 20), 50));
            SScriptBlock b;
            b.guid = static_cast<u64>(i + 1);
            b.id = "a" + std::to_string(i);
            b.object = name;
            b.activeObject = i % 2 ? "item" + std::to_string(i % 7) : "";
            b.correct = {SScriptCommand::Named("sleep", {{"a1", "100"}})};
            blocks.blocks.push_back(b);
        }
        quest.scenes.push_back(scene);
        script.scenes.push_back(blocks);
        auto* q = new SHintQuest;
        q->Build(quest, script);
        return q;
    }();
    qe::CScene* scene = built->quest->FindScene("s");
    s32 i = 0;
    for (auto _ : state)
    {
        const s32 cell = i++ % 220;
        benchmark::DoNotOptimize(scene->UpdatePointer({60 * (cell % 20) + 25, 60 * (cell / 20) + 25}, "item3"));
        benchmark::DoNotOptimize(scene->GetPointerResult(nullptr));
    }
    state.counters["ready"] = static_cast<double>(scene->GetScriptSet()->GetHintIndex().GetReadyActions().size());
}
BENCHMARK(BM_ClassifyPoint200)->Unit(benchmark::kMicrosecond);

} // namespace
