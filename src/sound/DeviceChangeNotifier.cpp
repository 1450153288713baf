#include "sound/DeviceChangeNotifier.h"

#include "core/TextConvert.h"
#include "platform/AudioDeviceWatcher.h"

namespace lv::sound {

DeviceChangeNotifier& GetDeviceChangeNotifier()
{
    // Lives until the process ends, like the sound server's thread that calls it.
    static DeviceChangeNotifier* notifier = new DeviceChangeNotifier();
    return *notifier;
}

DeviceChangeNotifier::DeviceChangeNotifier() : DeviceChangeNotifier(true) {}

DeviceChangeNotifier::DeviceChangeNotifier(bool listen)
{
    if (!listen)
        return;
    m_Watcher = std::make_unique<lv::platform::CAudioDeviceWatcher>();
    // Without a sound server nothing is registered and no notification ever comes.
    if (!m_Watcher->Start(&DeviceChangeNotifier::OnServerDefaultSink, this))
        m_Watcher.reset();
}

DeviceChangeNotifier::~DeviceChangeNotifier()
{
    m_Watcher.reset(); // its thread ends before this object goes
}

bool DeviceChangeNotifier::IsListening() const
{
    return m_Watcher != nullptr;
}

void DeviceChangeNotifier::SetCallback(Callback callback)
{
    m_Callback = callback;
}

void DeviceChangeNotifier::OnServerDefaultSink(void* user, const char* sinkName)
{
    const WString id = Utf8ToWide(sinkName ? sinkName : "");
    static_cast<DeviceChangeNotifier*>(user)->OnDefaultDeviceChanged(FlowRender, 0, id.c_str());
}

s32 DeviceChangeNotifier::OnDefaultDeviceChanged(s32 flow, s32, const WChar* deviceId)
{
    CFixedWString<124> id;
    if (deviceId)
        id.Assign(deviceId);
    // The role is not looked at: the notifications of one change (one per role) restart once.
    if (flow == FlowRender && id.CompareText(m_DefaultDeviceId.GetText()) != 0) {
        m_DefaultDeviceId = id;
        if (Callback callback = m_Callback.load())
            callback();
    }
    return 0;
}

} // namespace lv::sound
