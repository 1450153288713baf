// Loads the profile store from arbitrary profile files and settings.xml: the input is split at
// "\n--\n" into settings.xml and up to twelve profile files. The store must hold at most ten
// profiles, each with an 8-character uid of '0'-'9' and 'a'-'z', a current profile among them,
// and after saving and loading again the same profiles.
#include "core/TextConvert.h"
#include "game/frontend/ProfileManager.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace {

void Fail()
{
    __builtin_trap();
}

const std::filesystem::path& FuzzFolder()
{
    static const std::filesystem::path folder = [] {
        std::random_device random;
        return std::filesystem::temp_directory_path() / ("profile_store_fuzz-" + std::to_string(random()));
    }();
    return folder;
}

void CheckStore(game::CProfileManager& store)
{
    const s32 count = store.GetProfileCount();
    if (count < 0 || count > game::CProfileManager::kMaxProfiles || store.GetProfile(count) != nullptr)
        Fail();
    bool currentFound = store.GetCurrentProfile() == nullptr;
    for (s32 i = 0; i < count; ++i) {
        const game::CProfile* profile = store.GetProfile(i);
        if (!profile || std::strlen(profile->GetUid()) != game::CProfile::kUidLength)
            Fail();
        if (profile->GetName().GetLength() > 15)
            Fail();
        currentFound = currentFound || profile == store.GetCurrentProfile();
    }
    if (!currentFound)
        Fail();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path& folder = FuzzFolder();
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    std::filesystem::create_directories(folder, error);

    std::string_view input(reinterpret_cast<const char*>(data), size);
    int index = 0;
    while (index < 13) {
        const size_t end = input.find("\n--\n");
        const std::string_view part = input.substr(0, end);
        const std::string name = index == 0 ? "settings.xml" : "p" + std::to_string(index) + ".prf";
        std::ofstream(folder / name, std::ios::binary).write(part.data(), static_cast<std::streamsize>(part.size()));
        ++index;
        if (end == std::string_view::npos)
            break;
        input.remove_prefix(end + 4);
    }

    game::CProfileManager::DestroyInstance();
    game::CProfileManager* store =
        game::CProfileManager::CreateInstance(game::CProfileManager::Folder(Utf8ToWide(folder.string()).c_str()));
    store->Load();
    CheckStore(*store);
    if (!store->GetCurrentProfile())
        store->SetCurrentProfile(store->GetProfile(0));
    const s32 count = store->GetProfileCount();
    store->Save();
    for (s32 i = 1; i < index; ++i)
        std::filesystem::remove(folder / ("p" + std::to_string(i) + ".prf"), error);
    store->Load();
    CheckStore(*store);
    // Distinct uids come back one file each; profiles sharing a uid share a file.
    if (store->GetProfileCount() > count)
        Fail();
    game::CProfileManager::DestroyInstance();
    std::filesystem::remove_all(folder, error);
    return 0;
}
