// Decoding a 1366 x 768 picture: the PNG and JPEG decoders against plain libpng and libjpeg calls
// that produce the same BGRA rows into a fresh buffer, in the same run, then their ratios (goal:
// at most 1.1).
#include <benchmark/benchmark.h>

#include <png.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "content/ImageWriter.h"
#include "graphics/JpegDecoder.h"
#include "graphics/PngDecoder.h"

namespace {

constexpr u32 kWidth = 1366;
constexpr u32 kHeight = 768;

std::vector<u32> Picture()
{
    std::vector<u32> pixels(kWidth * kHeight);
    for (u32 y = 0; y < kHeight; ++y)
        for (u32 x = 0; x < kWidth; ++x)
            pixels[y * kWidth + x] = 0xFF000000u | ((x * 255 / kWidth) << 16) | ((y * 255 / kHeight) << 8) |
                                     (((x ^ y) * 7) & 0xFF);
    return pixels;
}

const std::vector<u8>& PngFile()
{
    static const std::vector<u8> file = [] {
        std::vector<u8> out;
        lv::content::EncodePngArgb(kWidth, kHeight, Picture(), true, out);
        return out;
    }();
    return file;
}

const std::vector<u8>& JpegFile()
{
    static const std::vector<u8> file = [] {
        std::vector<u8> out;
        lv::content::EncodeJpeg(kWidth, kHeight, Picture(), 90, false, out);
        return out;
    }();
    return file;
}

void Decoders_Png(benchmark::State& state)
{
    const std::vector<u8>& file = PngFile();
    for (auto _ : state) {
        lv::misc::imagelib::CPNGDecoder decoder;
        lv::misc::imagelib::CImageBuffer buffer;
        if (!decoder.Decode(file.data(), static_cast<u32>(file.size()), buffer))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(buffer.pixels);
    }
}

void Decoders_Jpeg(benchmark::State& state)
{
    const std::vector<u8>& file = JpegFile();
    for (auto _ : state) {
        lv::misc::imagelib::CJPEGDecoder decoder;
        lv::misc::imagelib::CImageBuffer buffer;
        if (!decoder.Decode(file.data(), static_cast<u32>(file.size()), buffer))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(buffer.pixels);
    }
}

// libpng's simplified interface straight to BGRA.
void Raw_Png(benchmark::State& state)
{
    const std::vector<u8>& file = PngFile();
    for (auto _ : state) {
        std::unique_ptr<u8[]> pixels(new u8[kWidth * kHeight * 4]);
        png_image image;
        std::memset(&image, 0, sizeof(image));
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) {
            state.SkipWithError("png_image_begin_read_from_memory failed");
            break;
        }
        image.format = PNG_FORMAT_BGRA;
        png_image_finish_read(&image, nullptr, pixels.get(), 0, nullptr);
        benchmark::DoNotOptimize(pixels.get());
    }
}

// libjpeg from memory with libjpeg-turbo's BGRA output.
void Raw_Jpeg(benchmark::State& state)
{
    const std::vector<u8>& file = JpegFile();
    for (auto _ : state) {
        std::unique_ptr<u8[]> pixels(new u8[kWidth * kHeight * 4]);
        jpeg_decompress_struct info;
        jpeg_error_mgr errors;
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, file.data(), file.size());
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_EXT_BGRA;
        jpeg_start_decompress(&info);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = pixels.get() + static_cast<size_t>(info.output_scanline) * kWidth * 4;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        benchmark::DoNotOptimize(pixels.get());
    }
}

BENCHMARK(Decoders_Png)->Unit(benchmark::kMillisecond);
BENCHMARK(Raw_Png)->Unit(benchmark::kMillisecond);
BENCHMARK(Decoders_Jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(Raw_Jpeg)->Unit(benchmark::kMillisecond);

class CComparingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                m_Times[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    void PrintComparison()
    {
        for (const char* kind : {"Png", "Jpeg"}) {
            const auto ours = m_Times.find(std::string("Decoders_") + kind);
            const auto raw = m_Times.find(std::string("Raw_") + kind);
            if (ours == m_Times.end() || raw == m_Times.end())
                continue;
            std::printf("%-4s 1366x768: decoders %.2f ms, library %.2f ms, ratio %.2f (goal <= 1.1)\n", kind,
                        ours->second, raw->second, ours->second / raw->second);
        }
    }

private:
    std::map<std::string, double> m_Times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    CComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintComparison();
    benchmark::Shutdown();
    return 0;
}
