#pragma once
// Watches the sound server (PulseAudio or PipeWire) on a thread of its own and reports every
// change of its default output device by name. Never starts a server: without one running,
// Start fails within milliseconds.
namespace lv::platform {

class CAudioDeviceWatcher
{
public:
    using Callback = void (*)(void* user, const char* sinkName);

    CAudioDeviceWatcher();
    // Ends the thread and the connection.
    ~CAudioDeviceWatcher();
    CAudioDeviceWatcher(const CAudioDeviceWatcher&) = delete;
    CAudioDeviceWatcher& operator=(const CAudioDeviceWatcher&) = delete;

    // Connects and subscribes; the callback runs on the watcher's thread for each new default
    // output (not for the one found at the start). False, holding nothing, without a server.
    bool Start(Callback callback, void* user);
    void Stop();

    // The connection and what the server's thread keeps.
    struct SState;

private:
    SState* m_State = nullptr;
};

} // namespace lv::platform
