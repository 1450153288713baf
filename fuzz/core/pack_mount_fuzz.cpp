// Feeds arbitrary bytes to the pack check and, when an image passes, runs every kind of lookup
// over it: nothing may read outside the image. Images that pass are also written to a file and
// mounted through the file system, whose loads and frees must never touch another mapping. The
// same bytes also describe a list of entries (many of them empty) that the pack writer turns
// into a sound image, so that mounting and loading are reached on every run.
#include "content/PackWriter.h"
#include "core/FileSystem.h"
#include "core/PackDirectory.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
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

// One folder per fuzzing process for the mounted image and a disk file that stays loaded.
struct CFuzzFolder
{
    CFuzzFolder()
        : m_Path(std::filesystem::temp_directory_path() / ("pack_mount_fuzz-" + std::to_string(std::random_device()())))
    {
        std::filesystem::create_directories(m_Path);
        std::ofstream(m_Path / "disk.bin", std::ios::binary) << std::string(4096, 'd');
    }
    ~CFuzzFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_Path, ec);
    }
    std::filesystem::path m_Path;
};

const std::filesystem::path& Folder()
{
    static const CFuzzFolder folder;
    return folder.m_Path;
}

void Mount(const std::vector<u8>& image)
{
    if (!CheckPackImage(image.data(), image.size()))
        return;
    const std::string packPath = (Folder() / "fuzz.pack").string();
    const std::string diskPath = (Folder() / "disk.bin").string();
    {
        std::ofstream out(packPath, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }
    CFileSystem fs("de");
    u32 diskSize = 0;
    const u8* disk = fs.LoadFile(diskPath.c_str(), &diskSize);
    if (!disk || !fs.MountPack(packPath.c_str()))
        __builtin_trap();
    u64 sum = 0;
    std::vector<std::string> names;
    fs.EnumerateFiles("", [](void* user, const char* n) { static_cast<std::vector<std::string>*>(user)->push_back(n); },
                      &names);
    for (const std::string& name : names) {
        u32 size = 0;
        const u8* data = fs.LoadFile(name.c_str(), &size);
        if (!data)
            continue;
        if (size != 0)
            sum += data[0] + data[size - 1];
        if (fs.GetLoadedSize(data) > image.size())
            __builtin_trap();
        fs.FreeFile(data);
        if (fs.GetLoadedSize(disk) != diskSize)
            __builtin_trap(); // a free released the disk file's mapping
    }
    sum += disk[diskSize - 1];
    fs.FreeFile(disk);
    g_Sink = sum;
}

} // namespace

// Entries read from the bytes: a count, then per entry a name length, the name, a data length
// (mostly 0) and the data.
std::vector<u8> BuildFromRecipe(const u8* data, size_t size)
{
    lv::content::CPackWriter writer;
    size_t at = 0;
    const auto next = [&]() -> u8 { return at < size ? data[at++] : 0; };
    const int count = next() % 12;
    for (int i = 0; i < count; ++i) {
        const size_t nameLength = 1 + next() % 16;
        std::string name;
        for (size_t n = 0; n < nameLength; ++n)
            name.push_back(static_cast<char>('a' + next() % 26));
        const u8 lengthByte = next();
        const size_t dataLength = lengthByte < 128 ? 0 : lengthByte % 64;
        std::vector<u8> bytes;
        for (size_t n = 0; n < dataLength; ++n)
            bytes.push_back(next());
        writer.AddFile(name, std::move(bytes)); // a repeated name is refused
    }
    return writer.Build();
}

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    const std::vector<u8> built = BuildFromRecipe(data, size);
    if (!CheckPackImage(built.data(), built.size()))
        __builtin_trap(); // the writer's images are always sound
    Mount(built);

    // A private copy of exactly `size` bytes, so that ASan sees any read past the end.
    std::vector<u8> image(data, data + size);
    Probe(image);
    Mount(image);
    // Random bytes rarely carry the magic and their own length; patch both in so the fuzzer
    // spends its time on the directory.
    if (size >= PackHeaderSize) {
        const u32 header[] = {PackMagic, static_cast<u32>(size)};
        std::memcpy(image.data(), &header[0], 4);
        std::memcpy(image.data() + 8, &header[1], 4);
        Probe(image);
        Mount(image);
    }
    return 0;
}
