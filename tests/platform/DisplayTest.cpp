#include "platform/Display.h"

#include "platform/MessageBox.h"
#include "platform/SystemInfo.h"

#include <gtest/gtest.h>

#include <string>

using namespace lv::platform;

namespace {

// Sets the three variables for one case and puts the old values back afterwards.
class CDisplayEnvironment
{
public:
    CDisplayEnvironment()
    {
        for (int i = 0; i < 3; ++i) {
            const std::string v = GetEnvironmentValue(kNames[i]);
            m_Had[i] = !v.empty();
            m_Old[i] = v;
        }
    }
    ~CDisplayEnvironment()
    {
        for (int i = 0; i < 3; ++i)
            SetEnvironmentValue(kNames[i], m_Had[i] ? m_Old[i].c_str() : nullptr);
    }
    void Set(const char* display, const char* wayland, const char* driver)
    {
        SetEnvironmentValue("DISPLAY", display);
        SetEnvironmentValue("WAYLAND_DISPLAY", wayland);
        SetEnvironmentValue("SDL_VIDEODRIVER", driver);
    }

private:
    static constexpr const char* kNames[3] = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    bool m_Had[3] = {};
    std::string m_Old[3];
};

} // namespace

TEST(Display, WindowSystemInTheEnvironmentUnlessDrawingOffscreen)
{
    struct SCase
    {
        const char* Display;
        const char* Wayland;
        const char* Driver;
        bool Expected;
    };
    const SCase cases[] = {
        {":0", nullptr, nullptr, true},
        {nullptr, "wayland-0", nullptr, true},
        {":0", nullptr, "x11", true},
        {":0", nullptr, "offscreen", false},
        {nullptr, "wayland-0", "OFFSCREEN", false},
        {":0", nullptr, "dummy", false},
        {nullptr, nullptr, nullptr, false},
        {"", "", nullptr, false},
    };
    CDisplayEnvironment environment;
    for (const SCase& c : cases) {
        environment.Set(c.Display, c.Wayland, c.Driver);
        EXPECT_EQ(HasDisplay(), c.Expected) << (c.Display ? c.Display : "-") << " " << (c.Wayland ? c.Wayland : "-")
                                            << " " << (c.Driver ? c.Driver : "-");
    }
}

TEST(Display, MessageBoxWithoutDisplayGoesToStandardError)
{
    CDisplayEnvironment environment;
    environment.Set(nullptr, nullptr, "offscreen");
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowSystemMessageBox("Version", "line one\nline two"), kIdOk);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Version: line one\nline two\n");
}
