#include "core/FileCompression.h"

#include "core/FileUtils.h"
#include "core/PathUtils.h"

#include <cstdio>
#include <memory>
#include <zlib.h>

namespace lv::core {

namespace {

constexpr unsigned kChunk = 32768;

} // namespace

bool GzipFile(const WChar* source, const WChar* destination)
{
    if (!source || !destination)
        return false;
    FILE* in = FileOpenW(source, u"rb");
    if (!in)
        return false;
    gzFile out = gzopen(PathToUtf8(destination).c_str(), "wb6 ");
    if (!out) {
        std::fclose(in);
        return false;
    }
    auto buffer = std::make_unique<char[]>(kChunk);
    bool ok = true;
    for (;;) {
        const size_t n = std::fread(buffer.get(), 1, kChunk, in);
        if (std::ferror(in)) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        if (gzwrite(out, buffer.get(), static_cast<unsigned>(n)) != static_cast<int>(n)) {
            ok = false;
            break;
        }
    }
    // The close writes the last block and the trailer, so its result counts too.
    if (gzclose(out) != Z_OK)
        ok = false;
    std::fclose(in);
    return ok;
}

bool GunzipFile(const WChar* source, const WChar* destination)
{
    if (!source || !destination)
        return false;
    gzFile in = gzopen(PathToUtf8(source).c_str(), "rb");
    if (!in)
        return false;
    // zlib would copy data without a gzip header through unchanged.
    if (gzdirect(in)) {
        gzclose(in);
        return false;
    }
    FILE* out = FileOpenW(destination, u"wb");
    if (!out) {
        gzclose(in);
        return false;
    }
    auto buffer = std::make_unique<char[]>(kChunk);
    bool ok = true;
    for (;;) {
        const int n = gzread(in, buffer.get(), kChunk);
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        if (std::fwrite(buffer.get(), 1, static_cast<size_t>(n), out) != static_cast<size_t>(n)) {
            ok = false;
            break;
        }
    }
    int error = Z_OK;
    gzerror(in, &error);
    if (error != Z_OK)
        ok = false; // a stream cut short ends without a read error
    // An empty source holds no gzip stream at all.
    if (gzoffset(in) <= 0)
        ok = false;
    if (std::fclose(out) != 0)
        ok = false;
    if (gzclose(in) != Z_OK)
        ok = false;
    return ok;
}

} // namespace lv::core
