// The voice pool's worker on OpenAL's null device: time of one refill pass with 8, 32 and 64
// looping Ogg Vorbis voices (every 20 ms of real time, as the worker runs it), against plain
// libvorbis decoding of the same files for the same amount of sound; the ratio and the share of
// one core the worker takes are printed at the end. Also how long a device restart with 64
// voices holds the pool (and with it the main thread's voice calls).
#include "content/OggVorbisWriter.h"
#include "core/ThreadUtil.h"
#include "sound/OpenALPool.h"

#include <benchmark/benchmark.h>
#include <vorbis/codec.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr s32 kFiles = 4;

std::vector<std::vector<u8>>& Files()
{
    static std::vector<std::vector<u8>> files = [] {
        std::vector<std::vector<u8>> out;
        for (s32 i = 0; i < kFiles; ++i)
            out.push_back(lv::content::EncodeOggVorbis(lv::content::MakeTone(2, 44100, 4.0, 220.0 * (i + 1), 0.4f), 0.5f));
        return out;
    }();
    return files;
}

// The sound files on disk in a folder of their own, made the working folder.
void PrepareFolder()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    setenv("ALSOFT_DRIVERS", "null", 0);
    const auto folder = std::filesystem::temp_directory_path() / "sound_pool_bench";
    std::filesystem::create_directories(folder);
    for (s32 i = 0; i < kFiles; ++i)
        std::ofstream(folder / ("tone" + std::to_string(i) + ".ogg"), std::ios::binary)
            .write(reinterpret_cast<const char*>(Files()[i].data()), static_cast<std::streamsize>(Files()[i].size()));
    std::filesystem::current_path(folder);
}

std::map<s64, double> g_PassMs;
std::map<s64, double> g_PlainMs;

// Plain libvorbis over one file in memory, looping.
class CPlainDecoder
{
public:
    explicit CPlainDecoder(const std::vector<u8>& file) : m_File(file) { Start(); }
    ~CPlainDecoder() { Stop(); }

    // Decodes frames of PCM (converted to 16 bit, as the voices do).
    void Decode(s64 frames)
    {
        while (frames > 0) {
            float** pcm = nullptr;
            const int got = vorbis_synthesis_pcmout(&m_Dsp, &pcm);
            if (got > 0) {
                const int n = static_cast<int>(std::min<s64>(got, frames));
                for (int i = 0; i < n; ++i)
                    for (int c = 0; c < m_Info.channels; ++c)
                        m_Sink += static_cast<s16>(pcm[c][i] * 32767.0f);
                vorbis_synthesis_read(&m_Dsp, n);
                frames -= n;
                continue;
            }
            ogg_packet packet;
            if (m_StreamReady && ogg_stream_packetout(&m_Stream, &packet) == 1) {
                if (vorbis_synthesis(&m_Block, &packet) == 0)
                    vorbis_synthesis_blockin(&m_Dsp, &m_Block);
                continue;
            }
            if (!NextPage()) {
                Stop();
                Start();
            }
        }
        benchmark::DoNotOptimize(m_Sink);
    }

private:
    bool NextPage()
    {
        ogg_page page;
        while (ogg_sync_pageout(&m_Sync, &page) != 1) {
            if (m_Position >= m_File.size())
                return false;
            const size_t n = std::min<size_t>(8192, m_File.size() - m_Position);
            char* buffer = ogg_sync_buffer(&m_Sync, static_cast<long>(n));
            std::memcpy(buffer, m_File.data() + m_Position, n);
            ogg_sync_wrote(&m_Sync, static_cast<long>(n));
            m_Position += n;
        }
        if (!m_StreamReady) {
            ogg_stream_init(&m_Stream, ogg_page_serialno(&page));
            m_StreamReady = true;
        }
        ogg_stream_pagein(&m_Stream, &page);
        return true;
    }
    void Start()
    {
        m_Position = 0;
        ogg_sync_init(&m_Sync);
        vorbis_info_init(&m_Info);
        vorbis_comment_init(&m_Comment);
        int headers = 0;
        ogg_packet packet;
        while (headers < 3) {
            if (m_StreamReady && ogg_stream_packetout(&m_Stream, &packet) == 1) {
                vorbis_synthesis_headerin(&m_Info, &m_Comment, &packet);
                ++headers;
            } else if (!NextPage()) {
                break;
            }
        }
        vorbis_synthesis_init(&m_Dsp, &m_Info);
        vorbis_block_init(&m_Dsp, &m_Block);
    }
    void Stop()
    {
        vorbis_block_clear(&m_Block);
        vorbis_dsp_clear(&m_Dsp);
        vorbis_comment_clear(&m_Comment);
        vorbis_info_clear(&m_Info);
        if (m_StreamReady)
            ogg_stream_clear(&m_Stream);
        m_StreamReady = false;
        ogg_sync_clear(&m_Sync);
    }

    const std::vector<u8>& m_File;
    size_t m_Position = 0;
    ogg_sync_state m_Sync{};
    ogg_stream_state m_Stream{};
    bool m_StreamReady = false;
    vorbis_info m_Info{};
    vorbis_comment m_Comment{};
    vorbis_dsp_state m_Dsp{};
    vorbis_block m_Block{};
    s32 m_Sink = 0;
};

// Opens the pool on the null device without its worker, with n looping voices playing.
lv::sound::COpenALPool* OpenWithVoices(s64 n)
{
    PrepareFolder();
    lv::sound::COpenALPool::COptions options;
    options.m_StartWorker = false;
    lv::sound::COpenALPool::SetOptions(options);
    lv::sound::COpenALPool::Open(true);
    lv::sound::COpenALPool* pool = lv::sound::COpenALPool::Instance();
    for (s64 i = 0; i < n; ++i) {
        lv::sound::CVoice* voice = pool->TakeVoice(("tone" + std::to_string(i % kFiles) + ".ogg").c_str());
        if (!voice)
            break;
        voice->SetLooping(true);
        voice->Play();
    }
    return pool;
}

void BM_WorkerPass(benchmark::State& state)
{
    lv::sound::COpenALPool* pool = OpenWithVoices(state.range(0));
    double total = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        lv::mt::SleepMs(lv::sound::COpenALPool::kServicePeriodMs);
        state.ResumeTiming();
        const auto start = Clock::now();
        pool->Service();
        total += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    g_PassMs[state.range(0)] = total / static_cast<double>(state.iterations());
    state.counters["core_pct"] = g_PassMs[state.range(0)] / lv::sound::COpenALPool::kServicePeriodMs * 100.0;
    lv::sound::COpenALPool::Close(true);
}

void BM_PlainDecode(benchmark::State& state)
{
    std::vector<std::unique_ptr<CPlainDecoder>> decoders;
    for (s64 i = 0; i < state.range(0); ++i)
        decoders.push_back(std::make_unique<CPlainDecoder>(Files()[i % kFiles]));
    // What one pass decodes on average: 20 ms of sound per voice.
    const s64 frames = 44100 * lv::sound::COpenALPool::kServicePeriodMs / 1000;
    double total = 0.0;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (auto& decoder : decoders)
            decoder->Decode(frames);
        total += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    g_PlainMs[state.range(0)] = total / static_cast<double>(state.iterations());
}

void BM_RestartWith64Voices(benchmark::State& state)
{
    OpenWithVoices(64);
    for (auto _ : state)
        lv::sound::COpenALPool::Restart();
    lv::sound::COpenALPool::Close(true);
}

// Prints the comparison once every benchmark has run.
struct CReport
{
    ~CReport()
    {
        for (const auto& [voices, pass] : g_PassMs) {
            const auto plain = g_PlainMs.find(voices);
            if (plain == g_PlainMs.end() || plain->second <= 0.0)
                continue;
            std::printf("%2lld voices: refill pass %.3f ms (%.2f %% of one core), plain libvorbis %.3f ms, ratio %.2f\n",
                        static_cast<long long>(voices), pass, pass / lv::sound::COpenALPool::kServicePeriodMs * 100.0,
                        plain->second, pass / plain->second);
        }
    }
} g_Report;

} // namespace

BENCHMARK(BM_WorkerPass)->Arg(8)->Arg(32)->Arg(64)->Iterations(150)->UseRealTime();
BENCHMARK(BM_PlainDecode)->Arg(8)->Arg(32)->Arg(64);
BENCHMARK(BM_RestartWith64Voices)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
