// Clip definitions and key frames: finding a clip by name in the sorted index, building the
// definitions image from XML (the path taken when no precompiled image ships), and one frame of
// key-frame evaluation of a looping object.
#include "anim/ClipHeader.h"
#include "anim/ClipManager.h"
#include "anim/ClipObject.h"
#include "anim/ClipsBuilder.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace lv::misc::anim;

namespace {

// `count` clips of one image each with ten interpolated key points and a sound point.
std::string ClipsXml(int count)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    for (int i = 0; i < count; ++i) {
        xml += "<Clip id=\"clip_" + std::to_string(i) + "\" w=\"100\" h=\"100\"><image id=\"img\" i_id=\"pic\" "
               "vis=\"true\" at=\"1\">";
        for (int k = 0; k < 10; ++k)
            xml += "<kp t=\"" + std::to_string(k * 100) + "\" p=\"" + std::to_string(k) +
                   " 0\" py=\"-5 -5 5 -5 5 5 -5 5\" c=\"-1\" itpl=\"true\"/>";
        xml += "<sd k=\"0\" id=\"\"/></image></Clip>\n";
    }
    return xml;
}

std::vector<u8> BuildImage(int count)
{
    const std::string xml = ClipsXml(count);
    CClipsBuilder builder;
    builder.AddXml(xml.data(), xml.size());
    return builder.Build();
}

class CPlainObject final : public CClipObject
{
public:
    void Draw(lv::graphics::CRenderer&) override {}
    CVector2 GetPosition() const override { return m_Position; }
    void SetCorners(const CQuad& corners) override { m_Corners = corners; }
    CQuad GetCorners() const override { return m_Corners; }
    void ResetGeometry() override {}
    void SetAngle(float angle) override { m_Angle = angle; }
    float GetAngle() const override { return m_Angle; }
    void SetColor(const CColor& color) override { m_Color = color; }
    CColor GetColor() const override { return m_Color; }
    void SetAdditiveBlend(bool) override {}
    bool IsAdditiveBlend() const override { return false; }
    s32 GetFlipFlags() const override { return 0; }
    void SetFlipFlags(s32) override {}
    s32 GetEmitFlags() const override { return 0; }
    void SetEmitFlags(s32) override {}
    const char* GetTypeName() const override { return "plain"; }
    CClipObject* Clone() const override { return new CPlainObject(*this); }
    void DoSetPosition(const CVector2& position) override { m_Position = position; }

private:
    CVector2 m_Position;
    CQuad m_Corners;
    float m_Angle = 0;
    CColor m_Color;
};

void BM_FindClip(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::vector<u8> image = BuildImage(count);
    CClipManager clips;
    clips.LoadImage(image.data(), static_cast<u32>(image.size()));
    std::vector<std::string> names;
    for (int i = 0; i < count; i += 7)
        names.push_back("clip_" + std::to_string(i));
    size_t n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(clips.FindClip(names[n++ % names.size()].c_str()));
}
BENCHMARK(BM_FindClip)->Arg(100)->Arg(2000);

void BM_BuildFromXml(benchmark::State& state)
{
    const std::string xml = ClipsXml(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CClipsBuilder builder;
        builder.AddXml(xml.data(), xml.size());
        benchmark::DoNotOptimize(builder.Build());
    }
    state.SetBytesProcessed(static_cast<s64>(state.iterations() * xml.size()));
}
BENCHMARK(BM_BuildFromXml)->Arg(200)->Unit(benchmark::kMillisecond);

// One 16 ms frame of a looping object with ten key points.
void BM_KeyFrameStep(benchmark::State& state)
{
    const std::vector<u8> image = BuildImage(1);
    CClipManager clips;
    clips.LoadImage(image.data(), static_cast<u32>(image.size()));
    CPlainObject object;
    object.LoadFromDefinition(*clips.FindClip("clip_0")->GetFirstItem(), nullptr);
    const CClipTransform identity;
    object.SetTimeKeepEvents(0, true, identity);
    object.Play();
    s32 clock = 0;
    for (auto _ : state) {
        clock += 16;
        object.SetTimeKeepEvents(clock, false, identity);
        object.ApplyKeyFrame(identity);
    }
    benchmark::DoNotOptimize(object.GetPosition());
}
BENCHMARK(BM_KeyFrameStep);

} // namespace
