#pragma once
// A window for tests that writes every call it receives as a line of text into a shared log.
#include "gui/BaseWindow.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace lv::graphics {
class CRenderer;
}

class CRecordingWindow : public lv::gui::CBaseWindow
{
public:
    CRecordingWindow(const char* name, std::vector<std::string>& log)
        : CBaseWindow(CFixedString(name)), m_Log(log)
    {
    }

    // Runs inside the next handler of a given pass; lets a test close or disable the window.
    std::function<void(u8 pass)> DuringPass;
    bool Handles = false;

    void OnActivate() override { Add("activate"); }
    bool OnDeactivate() override
    {
        Add("deactivate");
        return true;
    }
    void Update() override
    {
        Add("update");
        CBaseWindow::Update();
    }
    void Draw(lv::graphics::CRenderer& renderer) override
    {
        Add("draw");
        CBaseWindow::Draw(renderer);
    }
    bool OnMouseDown(const CPoint2i& p, s32 button, s32 flags, u8 pass) override
    {
        return Event("down", p, pass, button, flags);
    }
    bool OnMouseUp(const CPoint2i& p, s32 button, s32 flags, u8 pass) override
    {
        return Event("up", p, pass, button, flags);
    }
    bool OnMouseMove(const CPoint2i& p, s32 flags, u8 pass) override
    {
        return Event("move", p, pass, 0, flags);
    }
    bool OnMouseDoubleClick(const CPoint2i& p, s32 flags, u8 pass) override
    {
        return Event("dblclk", p, pass, 0, flags);
    }
    bool OnMouseWheel(const CPoint2i& p, s32 notches, s32 flags, u8 pass) override
    {
        return Event("wheel", p, pass, notches, flags);
    }
    bool OnKeyDown(s32 key, s32 flags, s32 data, u8 pass) override
    {
        return Key("keydown", key, flags, data, pass);
    }
    bool OnKeyUp(s32 key, s32 flags, s32 data, u8 pass) override
    {
        return Key("keyup", key, flags, data, pass);
    }
    bool OnChar(u16 c, s32 flags, s32 data, u8 pass) override { return Key("char", c, flags, data, pass); }

private:
    void Add(const std::string& what) { m_Log.push_back(std::string(GetName().GetText()) + " " + what); }
    bool Event(const char* what, const CPoint2i& p, u8 pass, s32 arg, s32 flags)
    {
        char line[128];
        std::snprintf(line, sizeof(line), "%s %d,%d pass%d arg%d flags%d", what, p.X, p.Y, pass, arg, flags);
        Add(line);
        if (DuringPass)
            DuringPass(pass);
        return Handles;
    }
    bool Key(const char* what, s32 key, s32 flags, s32 data, u8 pass)
    {
        char line[128];
        std::snprintf(line, sizeof(line), "%s %d flags%d data%d pass%d", what, key, flags, data, pass);
        Add(line);
        return Handles;
    }

    std::vector<std::string>& m_Log;
};

