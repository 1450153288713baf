#include "platform/Desktop.h"

#include "platform/Display.h"

#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace lv::platform {

std::string GetTempFolder()
{
    const char* folder = std::getenv("TMPDIR");
    std::string path = folder && *folder ? folder : "/tmp";
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool OpenForEditing(const char* path)
{
    if (!path || !HasDisplay())
        return false;
    char opener[] = "xdg-open";
    char* argv[] = {opener, const_cast<char*>(path), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, opener, nullptr, nullptr, argv, environ) != 0)
        return false;
    // xdg-open hands the file over and ends quickly; reap it so no zombie is left.
    int status = 0;
    waitpid(pid, &status, 0);
    return true;
}

} // namespace lv::platform
