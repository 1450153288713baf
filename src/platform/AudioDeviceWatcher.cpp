#include "platform/AudioDeviceWatcher.h"

#include <pulse/pulseaudio.h>

#include <string>

namespace lv::platform {

struct CAudioDeviceWatcher::SState
{
    pa_threaded_mainloop* m_Loop = nullptr;
    pa_context* m_Context = nullptr;
    Callback m_Callback = nullptr;
    void* m_User = nullptr;
    std::string m_DefaultSink;
    bool m_HaveSink = false;
};

namespace {

using SState = CAudioDeviceWatcher::SState;

void OnContextState(pa_context* context, void* user)
{
    auto* state = static_cast<SState*>(user);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        pa_threaded_mainloop_signal(state->m_Loop, 0);
        break;
    default:
        break;
    }
}

void OnServerInfo(pa_context*, const pa_server_info* info, void* user)
{
    auto* state = static_cast<SState*>(user);
    if (!info)
        return;
    const std::string sink = info->default_sink_name ? info->default_sink_name : "";
    const bool first = !state->m_HaveSink;
    state->m_HaveSink = true;
    if (sink == state->m_DefaultSink)
        return;
    state->m_DefaultSink = sink;
    if (!first && state->m_Callback)
        state->m_Callback(state->m_User, sink.c_str());
}

void OnSubscription(pa_context* context, pa_subscription_event_type_t type, uint32_t, void* user)
{
    if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) != PA_SUBSCRIPTION_EVENT_SERVER)
        return;
    if (pa_operation* operation = pa_context_get_server_info(context, OnServerInfo, user))
        pa_operation_unref(operation);
}

} // namespace

CAudioDeviceWatcher::CAudioDeviceWatcher() = default;

CAudioDeviceWatcher::~CAudioDeviceWatcher()
{
    Stop();
}

bool CAudioDeviceWatcher::Start(Callback callback, void* user)
{
    if (m_State)
        return false;
    auto* state = new SState;
    state->m_Callback = callback;
    state->m_User = user;
    state->m_Loop = pa_threaded_mainloop_new();
    if (!state->m_Loop) {
        delete state;
        return false;
    }
    state->m_Context = pa_context_new(pa_threaded_mainloop_get_api(state->m_Loop), "device watcher");
    bool ready = false;
    if (state->m_Context && pa_threaded_mainloop_start(state->m_Loop) == 0) {
        pa_threaded_mainloop_lock(state->m_Loop);
        pa_context_set_state_callback(state->m_Context, OnContextState, state);
        if (pa_context_connect(state->m_Context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
            for (;;) {
                const pa_context_state_t s = pa_context_get_state(state->m_Context);
                if (s == PA_CONTEXT_READY) {
                    ready = true;
                    break;
                }
                if (!PA_CONTEXT_IS_GOOD(s))
                    break;
                pa_threaded_mainloop_wait(state->m_Loop);
            }
        }
        if (ready) {
            pa_context_set_subscribe_callback(state->m_Context, OnSubscription, state);
            if (pa_operation* op = pa_context_subscribe(state->m_Context, PA_SUBSCRIPTION_MASK_SERVER, nullptr, nullptr))
                pa_operation_unref(op);
            // The default output found now is the one to compare later changes with.
            if (pa_operation* op = pa_context_get_server_info(state->m_Context, OnServerInfo, state))
                pa_operation_unref(op);
        }
        pa_threaded_mainloop_unlock(state->m_Loop);
    }
    m_State = state;
    if (!ready) {
        Stop();
        return false;
    }
    return true;
}

void CAudioDeviceWatcher::Stop()
{
    if (!m_State)
        return;
    if (m_State->m_Context) {
        pa_threaded_mainloop_lock(m_State->m_Loop);
        pa_context_set_state_callback(m_State->m_Context, nullptr, nullptr);
        pa_context_set_subscribe_callback(m_State->m_Context, nullptr, nullptr);
        pa_context_disconnect(m_State->m_Context);
        pa_threaded_mainloop_unlock(m_State->m_Loop);
    }
    pa_threaded_mainloop_stop(m_State->m_Loop);
    if (m_State->m_Context)
        pa_context_unref(m_State->m_Context);
    pa_threaded_mainloop_free(m_State->m_Loop);
    delete m_State;
    m_State = nullptr;
}

} // namespace lv::platform
