#pragma once
// Points the process-wide log at a fresh file in a folder of its own for one test and reads back
// what was written.
#include "core/Log.h"
#include "core/TempFolder.h"
#include "core/TextConvert.h"

class CScratchLogCapture
{
public:
    CScratchLogCapture() { lv::core::CLog::Instance().Open(Utf8ToWide(m_Folder / "log.lvlog").c_str()); }
    ~CScratchLogCapture() { lv::core::CLog::Instance().Close(); }

    std::string Text() const
    {
        lv::core::CLog::Instance().Flush();
        return m_Folder.Read("log.lvlog");
    }
    bool Contains(const std::string& text) const { return Text().find(text) != std::string::npos; }

private:
    CTempFolder m_Folder;
};
