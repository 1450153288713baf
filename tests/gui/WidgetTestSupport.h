#pragma once
// A root window that writes the events of its widgets into a log ("event sender"), the sounds
// the GUI plays, and templates loaded from XML text.
#include "GuiTestImages.h"

#include "core/FloatRect.h"
#include "core/Settings.h"
#include "graphics/Vertex.h"
#include "gui/BaseWindow.h"
#include "gui/GuiSound.h"
#include "platform/d3d9/RecordingDirect3D.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

class CEventWindow : public lv::gui::CBaseWindow
{
public:
    explicit CEventWindow(std::vector<std::string>& log) : CBaseWindow(CFixedString("events")), m_Log(log)
    {
        SetSize(800, 600);
    }
    void OnEvent(const char* name, CBaseWidget* sender) override
    {
        m_Log.push_back(std::string(name) + " " + (sender ? sender->GetName().GetText() : "-"));
    }

private:
    std::vector<std::string>& m_Log;
};

// Records the names of the sounds played while it lives.
class CSoundLog
{
public:
    CSoundLog()
    {
        lv::gui::CGuiSound::SetObserver([this](const char* name) { Played.push_back(name); });
    }
    ~CSoundLog() { lv::gui::CGuiSound::SetObserver({}); }
    CSoundLog(const CSoundLog&) = delete;
    CSoundLog& operator=(const CSoundLog&) = delete;

    std::vector<std::string> Played;
};

// "<root><templates>templates</templates>node</root>"; Node() is the node, Templates() the section.
class CTemplateXml
{
public:
    CTemplateXml(const std::string& templates, const std::string& node)
    {
        EXPECT_TRUE(m_Settings.LoadXmlText("<?xml version=\"1.0\"?><root><templates>" + templates +
                                           "</templates>" + node + "</root>"));
    }
    const lv::core::CSettingsGroup& Templates() const
    {
        return m_Settings.GetFirstChild().GetChild("templates");
    }
    // The first element after the templates section.
    const lv::core::CSettingsGroup& Node() const { return Templates().GetNextSibling(); }

private:
    lv::core::CSettings m_Settings;
};

// The bounding box (x, y, width, height) of the vertices of the recorded draws, or empty.
inline CFloatRect DrawnBounds(const lv::platform::CRecordingLog& log)
{
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    bool any = false;
    for (const auto& d : log.Draws) {
        const auto* v = reinterpret_cast<const lv::graphics::CVertex*>(d.Vertices.data());
        for (size_t i = 0; i < d.Vertices.size() / sizeof(lv::graphics::CVertex); ++i) {
            any = true;
            x0 = std::min(x0, v[i].x + 0.5f);
            y0 = std::min(y0, v[i].y + 0.5f);
            x1 = std::max(x1, v[i].x + 0.5f);
            y1 = std::max(y1, v[i].y + 0.5f);
        }
    }
    return any ? CFloatRect(x0, y0, x1 - x0, y1 - y0) : CFloatRect();
}
