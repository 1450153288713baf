#pragma once
// A Flash player for tests: controls that record the calls made on them and play a movie of a
// given number of frames that the test moves on by hand.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "platform/flash/FlashModule.h"

class CTestFlashModule;

class CTestFlashControl final : public lv::platform::CFlashControl
{
public:
    explicit CTestFlashControl(CTestFlashModule& module) : m_Module(module) {}
    ~CTestFlashControl() override;

    void PutWMode(const WChar* mode) override { Record("PutWMode(" + ToNarrow(mode) + ")"); }
    void PutScaleMode(s32 mode) override { Record("PutScaleMode(" + std::to_string(mode) + ")"); }
    void InPlaceActivate() override { Record("InPlaceActivate"); }
    HRESULT PutMovie(const WChar* path) override
    {
        Movie = ToNarrow(path);
        Record("PutMovie(" + Movie + ")");
        return Movie.find("refused") == std::string::npos ? S_OK : E_FAIL;
    }
    void Play() override
    {
        Record("Play");
        Playing = true;
    }
    void StopPlay() override
    {
        Record("StopPlay");
        Playing = false;
    }
    void GotoFrame(s32 frame) override
    {
        Record("GotoFrame(" + std::to_string(frame) + ")");
        Frame = frame;
    }
    bool IsPlaying() override { return Playing; }
    s32 TotalFrames() override { return Frames; }
    s32 CurrentFrame() override { return Frame; }
    void PutQuality2(const WChar* quality) override { Record("PutQuality2(" + ToNarrow(quality) + ")"); }
    void SetVariable(const WChar* name, const WChar* value) override { Variables[ToNarrow(name)] = ToNarrow(value); }
    WString GetVariable(const WChar* name) override
    {
        auto it = Variables.find(ToNarrow(name));
        return it == Variables.end() ? WString() : ToWide(it->second);
    }
    s32 FlashVersion() override { return 11 << 16; }
    void SetObjectRects(const RECT& r) override
    {
        Record("SetObjectRects(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
               std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")");
    }
    void Draw(IDirect3DSurface9* surface) override { Record(surface ? "Draw" : "Draw(null)"); }
    void Close() override { Record("Close"); }

    // Moves the movie on; past the last frame it stops by itself, as the player does.
    void Advance(s32 frames)
    {
        if (!Playing)
            return;
        Frame += frames;
        if (Frame >= Frames - 1) {
            Frame = Frames - 1;
            Playing = false;
        }
    }

    std::vector<std::string> Calls;
    std::map<std::string, std::string> Variables;
    std::string Movie;
    bool Playing = false;
    s32 Frame = 0;
    s32 Frames = 10;

private:
    void Record(std::string call) { Calls.push_back(std::move(call)); }
    CTestFlashModule& m_Module;
};

class CTestFlashModule final : public lv::platform::CFlashModule
{
public:
    CTestFlashModule() { lv::platform::SetFlashModule(this); }
    ~CTestFlashModule() override { lv::platform::SetFlashModule(nullptr); }

    bool Load() override
    {
        ++Loads;
        Loaded = true;
        return true;
    }
    void Unload() override
    {
        ++Unloads;
        Loaded = false;
    }
    lv::platform::CFlashControl* CreateControl(bool fromLibrary) override
    {
        FromLibrary = fromLibrary;
        auto* control = new CTestFlashControl(*this);
        Controls.push_back(control);
        return control;
    }

    int Loads = 0;
    int Unloads = 0;
    bool Loaded = false;
    bool FromLibrary = false;
    // Live controls in creation order.
    std::vector<CTestFlashControl*> Controls;
    // The calls of the control deleted last.
    std::vector<std::string> DeletedCalls;
};

inline CTestFlashControl::~CTestFlashControl()
{
    m_Module.DeletedCalls = Calls;
    std::erase(m_Module.Controls, this);
}
