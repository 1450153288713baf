#include "PngImage.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <zlib.h>

namespace lv::platform::test {
namespace {

const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void Put32(std::vector<BYTE>& out, DWORD v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(BYTE(v >> shift));
}

DWORD Get32(const BYTE* p) { return (DWORD(p[0]) << 24) | (DWORD(p[1]) << 16) | (DWORD(p[2]) << 8) | p[3]; }

void PutChunk(std::vector<BYTE>& out, const char* type, const std::vector<BYTE>& data)
{
    Put32(out, DWORD(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32(out, DWORD(crc32(0, out.data() + start, uInt(out.size() - start))));
}

int Paeth(int a, int b, int c)
{
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

} // namespace

bool WritePng(const std::string& path, UINT width, UINT height, const std::vector<DWORD>& pixels)
{
    std::vector<BYTE> raw;
    raw.reserve(size_t(height) * (1 + width * 3));
    for (UINT y = 0; y < height; ++y) {
        raw.push_back(0);
        for (UINT x = 0; x < width; ++x) {
            const DWORD p = pixels[size_t(y) * width + x];
            raw.insert(raw.end(), {BYTE(p >> 16), BYTE(p >> 8), BYTE(p)});
        }
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<BYTE> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 9) != Z_OK)
        return false;
    packed.resize(packedSize);
    std::vector<BYTE> header;
    Put32(header, width);
    Put32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, deflate, standard filters, no interlace
    std::vector<BYTE> file(std::begin(kSignature), std::end(kSignature));
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", packed);
    PutChunk(file, "IEND", {});
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    return bool(out);
}

bool ReadPng(const std::string& path, UINT& width, UINT& height, std::vector<DWORD>& pixels)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<BYTE> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0)
        return false;
    std::vector<BYTE> packed;
    width = height = 0;
    for (size_t at = 8; at + 12 <= file.size();) {
        const DWORD length = Get32(&file[at]);
        if (length > file.size() - at - 12)
            return false;
        const BYTE* type = &file[at + 4];
        const BYTE* data = &file[at + 8];
        if (std::memcmp(type, "IHDR", 4) == 0) {
            if (length != 13 || data[8] != 8 || data[9] != 2 || data[12] != 0)
                return false;
            width = Get32(data);
            height = Get32(data + 4);
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            packed.insert(packed.end(), data, data + length);
        }
        at += 12 + length;
    }
    if (width == 0 || height == 0 || width > 4096 || height > 4096)
        return false;
    const size_t stride = size_t(width) * 3;
    std::vector<BYTE> raw(size_t(height) * (stride + 1));
    uLongf rawSize = uLongf(raw.size());
    if (uncompress(raw.data(), &rawSize, packed.data(), uLong(packed.size())) != Z_OK || rawSize != raw.size())
        return false;
    std::vector<BYTE> previous(stride, 0), row(stride);
    pixels.assign(size_t(width) * height, 0);
    for (UINT y = 0; y < height; ++y) {
        const BYTE filter = raw[y * (stride + 1)];
        const BYTE* src = &raw[y * (stride + 1) + 1];
        for (size_t i = 0; i < stride; ++i) {
            const int a = i >= 3 ? row[i - 3] : 0, b = previous[i], c = i >= 3 ? previous[i - 3] : 0;
            const int predictor = filter == 0   ? 0
                                  : filter == 1 ? a
                                  : filter == 2 ? b
                                  : filter == 3 ? (a + b) / 2
                                  : filter == 4 ? Paeth(a, b, c)
                                                : -1;
            if (predictor < 0)
                return false;
            row[i] = BYTE(src[i] + predictor);
        }
        for (UINT x = 0; x < width; ++x)
            pixels[size_t(y) * width + x] =
                0xFF000000u | (DWORD(row[x * 3]) << 16) | (DWORD(row[x * 3 + 1]) << 8) | row[x * 3 + 2];
        previous = row;
    }
    return true;
}

} // namespace lv::platform::test
