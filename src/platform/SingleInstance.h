#pragma once
// Keeps a product to one running instance per user: the first instance holds an exclusive lock
// on a file named from the product and listens on a local socket, also named from it; a later
// instance finds the lock taken and sends the first a "come to the front" notification. The
// kernel releases the lock when the holder dies, however it dies.
#include "core/Types.h"

#include <string>

namespace lv::platform {

class CSingleInstance
{
public:
    CSingleInstance() = default;
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True when this is the only instance of the product (the lock is now held) or when no lock
    // can be made at all (a start is never refused for lack of a lock folder). False when
    // another instance holds the lock; it has been sent a notification.
    bool Acquire(const char* product);
    // Gives the lock and the socket back.
    void Release();
    bool IsHeld() const { return m_LockFd >= 0; }

    // Non-blocking: true when at least one notification arrived since the last call.
    bool TakeNotification();

    // Where the lock and the socket of a product live: $XDG_RUNTIME_DIR, else the temporary
    // folder with the user's id in the names.
    static std::string LockPath(const char* product);
    static std::string SocketPath(const char* product);

private:
    int m_LockFd = -1;
    int m_SocketFd = -1;
    std::string m_SocketPath;
};

} // namespace lv::platform
