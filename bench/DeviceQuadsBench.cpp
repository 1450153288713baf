// Alpha-blended 64x64 textured quads at 1366x768, drawn through the device layer's
// DrawPrimitiveUP in batches of up to 6000 vertices and, side by side in the same run, through
// SDL2's own renderer (SDL_RenderGeometry). CPU time is the whole process's (the software
// rasteriser's threads count too). Each case runs several times, the two sides' repetitions in
// random turns; the closing lines compare the medians: frames per second and CPU time per frame
// of both, and their ratios.
#include "platform/SdlQuadRenderer.h"
#include "platform/SdlWindow.h"
#include "platform/d3d9/d3d9.h"

#include <benchmark/benchmark.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace lv::platform;

constexpr int kWidth = 1366, kHeight = 768, kQuad = 64;
constexpr UINT kBatchVertices = 6000;

struct Vertex
{
    float X, Y, Z, Rhw;
    DWORD Diffuse, Specular;
    float U, V;
};

std::vector<Vertex> MakeQuads(int count)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> x(-32, kWidth - 32), y(-32, kHeight - 32);
    std::vector<Vertex> vertices;
    vertices.reserve(size_t(count) * 6);
    for (int i = 0; i < count; ++i) {
        const float x0 = float(int(x(random))) - 0.5f, y0 = float(int(y(random))) - 0.5f;
        const float x1 = x0 + kQuad, y1 = y0 + kQuad;
        const DWORD colour = 0xC0FFFFFF;
        const Vertex a{x0, y0, 0, 1, colour, 0, 0, 0}, b{x1, y0, 0, 1, colour, 0, 1, 0};
        const Vertex c{x1, y1, 0, 1, colour, 0, 1, 1}, d{x0, y1, 0, 1, colour, 0, 0, 1};
        vertices.insert(vertices.end(), {a, b, c, a, c, d});
    }
    return vertices;
}

std::vector<DWORD> MakeTexels()
{
    std::vector<DWORD> texels(kQuad * kQuad);
    for (int y = 0; y < kQuad; ++y)
        for (int x = 0; x < kQuad; ++x)
            texels[y * kQuad + x] = (DWORD(x * 4) << 24) | (DWORD(y * 4) << 16) | 0x8000 | DWORD(255 - x * 4);
    return texels;
}

void DeviceLayer(benchmark::State& state)
{
    HWND window = CreateSdlWindow("bench", kWidth, kHeight, false);
    IDirect3D9* d3d = window ? Direct3DCreate9(D3D_SDK_VERSION) : nullptr;
    D3DPRESENT_PARAMETERS params{};
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.BackBufferCount = 1;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.Windowed = 1;
    params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    params.BackBufferWidth = kWidth;
    params.BackBufferHeight = kHeight;
    IDirect3DDevice9* device = nullptr;
    if (!d3d || FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                         D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, &device))) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    IDirect3DTexture9* texture = nullptr;
    device->CreateTexture(kQuad, kQuad, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr);
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD);
    const std::vector<DWORD> texels = MakeTexels();
    std::memcpy(locked.pBits, texels.data(), texels.size() * 4);
    texture->UnlockRect(0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    const std::vector<Vertex> vertices = MakeQuads(int(state.range(0)));

    for (auto _ : state) {
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 0, 0);
        device->SetTexture(0, texture);
        for (size_t first = 0; first < vertices.size(); first += kBatchVertices) {
            const size_t count = std::min<size_t>(kBatchVertices, vertices.size() - first);
            device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, UINT(count / 3), &vertices[first], sizeof(Vertex));
        }
        device->SetTexture(0, nullptr);
        device->EndScene();
        IDirect3DQuery9* query = nullptr;
        device->CreateQuery(D3DQUERYTYPE_EVENT, &query);
        query->Issue(D3DISSUE_END);
        device->Present(nullptr, nullptr, nullptr, nullptr);
        BYTE done = 0;
        while (query->GetData(&done, 1, D3DGETDATA_FLUSH) == S_FALSE)
            std::this_thread::yield();
        query->Release();
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    texture->Release();
    device->Release();
    d3d->Release();
    DestroySdlWindow(window);
}

void SdlRenderGeometry(benchmark::State& state)
{
    HWND window = CreateSdlWindow("bench", kWidth, kHeight, false);
    std::unique_ptr<CSdlQuadRenderer> renderer = window ? CSdlQuadRenderer::Create(window) : nullptr;
    const std::vector<DWORD> texels = MakeTexels();
    if (!renderer || !renderer->SetTexture(texels.data(), kQuad, kQuad)) {
        state.SkipWithError("no SDL renderer");
        DestroySdlWindow(window);
        return;
    }
    state.SetLabel(renderer->GetName());
    const std::vector<Vertex> vertices = MakeQuads(int(state.range(0)));
    for (auto _ : state) {
        renderer->Clear(0xFF000000);
        for (size_t first = 0; first < vertices.size(); first += kBatchVertices) {
            const size_t count = std::min<size_t>(kBatchVertices, vertices.size() - first);
            renderer->DrawTriangles(&vertices[first], int(count));
        }
        renderer->Finish();
        renderer->Present();
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    renderer.reset();
    DestroySdlWindow(window);
}

constexpr int kRepetitions = 5;
BENCHMARK(DeviceLayer)->Arg(1000)->Arg(10000)->MeasureProcessCPUTime()->UseRealTime()->MinTime(1.0)
    ->Repetitions(kRepetitions)->Unit(benchmark::kMillisecond);
BENCHMARK(SdlRenderGeometry)->Arg(1000)->Arg(10000)->MeasureProcessCPUTime()->UseRealTime()->MinTime(1.0)
    ->Repetitions(kRepetitions)->Unit(benchmark::kMillisecond);

// Keeps each case's median time per frame for the closing comparison.
class CComparingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_Runs[run.run_name.function_name + "/" + run.run_name.args] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
    }
    void PrintComparison()
    {
        for (const char* quads : {"1000", "10000"}) {
            const std::string suffix = std::string("/") + quads;
            const auto device = m_Runs.find("DeviceLayer" + suffix), sdl = m_Runs.find("SdlRenderGeometry" + suffix);
            if (device == m_Runs.end() || sdl == m_Runs.end())
                continue;
            std::printf("%6s quads (medians of %d): device layer %7.1f fps, %6.2f ms CPU/frame | "
                        "SDL_RenderGeometry %7.1f fps, %6.2f ms CPU/frame | fps ratio device/SDL %.2f, "
                        "CPU ratio device/SDL %.2f\n",
                        quads, kRepetitions, 1000.0 / device->second.first, device->second.second,
                        1000.0 / sdl->second.first, sdl->second.second, sdl->second.first / device->second.first,
                        device->second.second / sdl->second.second);
        }
    }

private:
    std::map<std::string, std::pair<double, double>> m_Runs; // real ms, CPU ms per frame
};

} // namespace

int main(int argc, char** argv)
{
    // The repetitions of both sides take turns, so that a machine whose load changes during the
    // run weighs on both alike (a flag given on the command line still wins).
    std::vector<char*> args(argv, argv + argc + 1);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = argc + 1;
    benchmark::Initialize(&count, args.data());
    CComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintComparison();
    benchmark::Shutdown();
    return 0;
}
