#include "core/MappedFile.h"

#include "core/PathUtils.h"
#include "core/TextConvert.h"
#include "platform/MappedFiles.h"

#include <mutex>

namespace lv::core {

namespace {

struct SSlot
{
    const void* View;
    u32 Size;
};

std::mutex g_SlotsLock;
SSlot g_Slots[kMaxMappedFiles];

const void* MapIntoSlot(const char* path, u32* size)
{
    std::lock_guard<std::mutex> lock(g_SlotsLock);
    SSlot* slot = nullptr;
    for (auto& s : g_Slots) {
        if (!s.View) {
            slot = &s;
            break;
        }
    }
    if (!slot)
        return nullptr;
    u32 mapped = 0;
    const void* view = lv::platform::MapFileView(path, mapped);
    if (!view)
        return nullptr;
    *slot = {view, mapped};
    if (size)
        *size = mapped;
    return view;
}

} // namespace

const void* MapFileReadOnlyA(const char* path, u32* size)
{
    return path ? MapIntoSlot(path, size) : nullptr;
}

const void* MapFileReadOnly(const WChar* path, u32* size)
{
    return path ? MapIntoSlot(PathToUtf8(path).c_str(), size) : nullptr;
}

void UnmapFile(const void* view)
{
    if (!view)
        return;
    std::lock_guard<std::mutex> lock(g_SlotsLock);
    for (auto& s : g_Slots) {
        if (s.View == view) {
            lv::platform::UnmapFileView(s.View, s.Size);
            s = {};
            return;
        }
    }
}

u32 GetMappedFileSize(const void* view)
{
    if (!view)
        return 0;
    std::lock_guard<std::mutex> lock(g_SlotsLock);
    for (const auto& s : g_Slots) {
        if (s.View == view)
            return s.Size;
    }
    return 0;
}

} // namespace lv::core
