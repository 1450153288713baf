#pragma once
// Hears when the system's default audio output changes and calls back into the voice pool, which
// reopens OpenAL on the new device. The notifications come from the sound server's own thread.
// Several notifications for one change (one per role) restart once: only a render device id
// that differs from the last one seen counts.
#include "core/FixedWString.h"
#include "core/Types.h"

#include <atomic>
#include <memory>

namespace lv::platform {
class CAudioDeviceWatcher;
}

namespace lv::sound {

class DeviceChangeNotifier
{
public:
    using Callback = void (*)();
    // Data flows of a notification.
    enum EFlow : s32
    {
        FlowRender = 0,
        FlowCapture = 1,
    };

    // Starts listening to the sound server; without one nothing ever arrives.
    DeviceChangeNotifier();
    // Without a server connection (tests inject notifications).
    explicit DeviceChangeNotifier(bool listen);
    ~DeviceChangeNotifier();
    DeviceChangeNotifier(const DeviceChangeNotifier&) = delete;
    DeviceChangeNotifier& operator=(const DeviceChangeNotifier&) = delete;

    void SetCallback(Callback callback);
    // The default device of a flow and role changed to the device id; returns 0.
    s32 OnDefaultDeviceChanged(s32 flow, s32 role, const WChar* deviceId);
    // Whether a sound server connection delivers notifications.
    bool IsListening() const;

private:
    static void OnServerDefaultSink(void* user, const char* sinkName);

    std::atomic<Callback> m_Callback{nullptr};
    CFixedWString<124> m_DefaultDeviceId;
    std::unique_ptr<lv::platform::CAudioDeviceWatcher> m_Watcher;
};

// The one notifier, made on first use (by the pool's creation).
DeviceChangeNotifier& GetDeviceChangeNotifier();

} // namespace lv::sound
