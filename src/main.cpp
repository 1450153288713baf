// The program's entry point: answers "--version", otherwise prepares the process and runs the
// game's application object.
#include "core/CrashReport.h"
#include "core/FrameworkVersion.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "game/play/GameApplication.h"
#include "platform/Display.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/SystemInfo.h"
#include "qe/QuestEngineVersion.h"

#include <cstdio>
#include <string>

namespace {

const WChar kTemplateBanner[] = u"Lumivane Hidden Object Adventure Template";

bool AsksForVersion(int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        line += argv[i];
        line += ' ';
    }
    return line.find("--version") != std::string::npos;
}

void ShowVersion()
{
    WString questEngine;
    qe::GetQuestEngineVersion(questEngine);
    const WString text = WString(kTemplateBanner) + u"\n" + lv::core::GetFrameworkVersion() + u"\n" + questEngine;
    const std::string narrow = WideToUtf8(text);
    // Without a display the answer belongs on the terminal that asked.
    if (lv::platform::HasDisplay()) {
        lv::platform::ShowSystemMessageBox("Version", narrow.c_str());
    } else {
        std::printf("%s\n", narrow.c_str());
    }
}

// Game files are found relative to the program's folder, wherever it was started from. A
// folder that cannot be found leaves the current one.
void EnterProgramFolder()
{
    const std::string path = lv::platform::GetExecutablePath();
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return;
    lv::platform::SetCurrentDirectory(path.substr(0, slash).c_str());
}

} // namespace

int main(int argc, char** argv)
{
    if (AsksForVersion(argc, argv)) {
        ShowVersion();
        return 0;
    }
    lv::core::InstallCrashHandler();
    EnterProgramFolder();
    {
        game::CGameApplication application;
        if (application.Init())
            application.Run();
        application.Shutdown();
    }
    // The log lives for the whole process; its file and stream go with the program's end.
    lv::core::CLog::Instance().Close();
    return 0;
}
