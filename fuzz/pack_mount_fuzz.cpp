// Feeds arbitrary bytes to the pack check and, when an image passes, runs every kind of lookup
// over it: nothing may read outside the image.
#include "core/PackDirectory.h"

#include <cstring>
#include <string>
#include <vector>

using namespace lv::core;

volatile u64 g_Sink; // keeps the reads from being optimised away

namespace {

void Probe(std::vector<u8>& image)
{
    if (!CheckPackImage(image.data(), image.size()))
        return;
    const CPackEntry* first = GetPackDirectory(image.data());
    const CPackEntry* end = GetPackDirectoryEnd(image.data());
    u64 sum = 0;
    for (const CPackEntry* e = first; e != end; ++e) {
        const std::string name = e->GetName();
        if (const CPackEntry* hit = FindPackEntry(name.c_str(), first, end)) {
            const u8* blob = image.data() + hit->GetDataOffset();
            for (u32 i = 0; i < hit->GetDataSize(); i += 4096)
                sum += blob[i];
            u32 length;
            std::memcpy(&length, blob - 4, 4);
            sum += length;
        }
        FindPackRange(image.data(), name.substr(0, name.size() / 2).c_str(), nullptr, nullptr, nullptr, nullptr);
    }
    FindPackRange(image.data(), "!langs/de/", [](void* user, const char* n) { *static_cast<u64*>(user) += n[0]; },
                  &sum, nullptr, nullptr);
    FindPackEntry("properties/strings.xml", first, end);
    g_Sink = sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    // A private copy of exactly `size` bytes, so that ASan sees any read past the end.
    std::vector<u8> image(data, data + size);
    Probe(image);
    // Random bytes rarely carry the magic and their own length; patch both in so the fuzzer
    // spends its time on the directory.
    if (size >= PackHeaderSize) {
        const u32 header[] = {PackMagic, static_cast<u32>(size)};
        std::memcpy(image.data(), &header[0], 4);
        std::memcpy(image.data() + 8, &header[1], 4);
        Probe(image);
    }
    return 0;
}
