#include "platform/MappedFiles.h"

#include "platform/Files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lv::platform {

const void* MapFileView(const char* path, u32& size)
{
    if (!path)
        return nullptr;
    const int fd = open(ToSystemPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st;
    void* view = MAP_FAILED;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 && st.st_size < 0xFFFFFFFFll) {
        view = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        size = static_cast<u32>(st.st_size);
    }
    // The mapping keeps the file's data reachable without the descriptor.
    close(fd);
    return view == MAP_FAILED ? nullptr : view;
}

void UnmapFileView(const void* view, u32 size)
{
    if (view)
        munmap(const_cast<void*>(view), size);
}

} // namespace lv::platform
