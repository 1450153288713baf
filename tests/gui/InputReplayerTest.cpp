#include "RecordingWindow.h"
#include "core/TempFolder.h"
#include "support/RecordingSystemIntegration.h"

#include "core/InputRecord.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "gui/InputDispatcher.h"
#include "gui/InputRecorder.h"
#include "gui/InputReplayer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

using lv::core::CInputRecord;
using lv::gui::CInputRecorder;
using lv::gui::CInputReplayer;

namespace {

float g_Now = 0;
float Now()
{
    return g_Now;
}

std::string U32(u32 v)
{
    std::string s;
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>(v >> (8 * i)));
    return s;
}

class InputReplayer : public testing::Test
{
protected:
    void SetUp() override
    {
        g_Now = 1000;
        Replayer.SetClock(&Now);
        Replayer.Stop();
        Root.reset(new CRecordingWindow("root", Log));
        Root->SetSize(2000, 2000);
        Dispatcher.SetRoot(Root);
        Dispatcher.Update();
        Log.clear();
    }
    void TearDown() override
    {
        Replayer.Stop();
        Replayer.SetClock(nullptr);
    }

    // Loads bytes written to a file of the test's folder.
    bool LoadBytes(const std::string& bytes)
    {
        Folder.Write("replay", bytes);
        return Replayer.Load(Utf8ToWide(Folder / "replay").c_str());
    }

    // Steps frames at the given clock times.
    void Frames(std::initializer_list<float> times)
    {
        for (float t : times) {
            g_Now = t;
            Replayer.Step(Dispatcher);
        }
    }

    CTempFolder Folder;
    CRecordingSystemIntegration Platform;
    std::vector<std::string> Log;
    boost::intrusive_ptr<CRecordingWindow> Root;
    lv::gui::CInputDispatcher Dispatcher;
    CInputReplayer& Replayer = CInputReplayer::Instance();
};

} // namespace

TEST_F(InputReplayer, RecordsReachTheDispatcherInOrderWhenTheirTimeHasPassed)
{
    const std::vector<CInputRecord> records = {
        CInputRecord::Pointer(0, CInputRecord::Move, 0, 0, 10, 20),
        CInputRecord::Pointer(10, CInputRecord::ButtonDown, 0, 1, 10, 20),
        CInputRecord::Pointer(20, CInputRecord::ButtonUp, 0, 1, 10, 20),
    };
    ASSERT_TRUE(LoadBytes(lv::core::WriteInputRecording(records)));
    Replayer.Start();
    Frames({1000});
    EXPECT_TRUE(Log.empty()); // no time has passed yet
    Frames({1005});
    EXPECT_EQ(Log, (std::vector<std::string>{"root move 10,20 pass0 arg0 flags0",
                                             "root move 10,20 pass1 arg0 flags0"}));
    EXPECT_TRUE(Replayer.IsPlaying());
    Frames({1030});
    EXPECT_FALSE(Replayer.IsPlaying());
    const std::vector<std::string> expected = {
        "root move 10,20 pass0 arg0 flags0", "root move 10,20 pass1 arg0 flags0",
        "root down 10,20 pass0 arg0 flags1", "root down 10,20 pass1 arg0 flags1",
        "root up 10,20 pass0 arg0 flags1",   "root up 10,20 pass1 arg0 flags1"};
    EXPECT_EQ(Log, expected);
}

TEST_F(InputReplayer, PlaybackStandsStillWhileTheClockDoes)
{
    ASSERT_TRUE(
        LoadBytes(lv::core::WriteInputRecording({CInputRecord::Key(5, CInputRecord::KeyDown, 'A', 0, 3)})));
    Replayer.Start();
    Frames({1000, 1000, 1005});
    EXPECT_TRUE(Log.empty());
    EXPECT_TRUE(Replayer.IsPlaying());
    Frames({1006});
    EXPECT_EQ(Log, std::vector<std::string>{"root keydown 65 flags0 data3 pass0"});
}

TEST_F(InputReplayer, EmptyRecordingStopsInTheNextFrame)
{
    ASSERT_TRUE(LoadBytes(U32(16) + U32(0)));
    Replayer.Start();
    EXPECT_TRUE(Replayer.IsPlaying());
    Frames({1000});
    EXPECT_FALSE(Replayer.IsPlaying());
}

TEST_F(InputReplayer, BadFilesAreReportedAndLeaveNoRecords)
{
    CTempFolder logFolder;
    lv::core::CLog::Instance().Open(Utf8ToWide(logFolder / "log.lvlog").c_str());
    const std::string record(16, '\0');
    const std::pair<const char*, std::string> cases[] = {
        {"record size 12", U32(12) + U32(1) + record},
        {"short of its count", U32(16) + U32(2) + record},
        {"huge count", U32(16) + U32(0x10000000) + record},
    };
    for (const auto& [name, bytes] : cases) {
        ASSERT_TRUE(LoadBytes(U32(16) + U32(1) + record)) << name;
        EXPECT_FALSE(LoadBytes(bytes)) << name;
        EXPECT_EQ(Replayer.GetRecordCount(), 0u) << name;
    }
    lv::core::CLog::Instance().Close();
    const std::string log = logFolder.Read("log.lvlog");
    size_t reports = 0;
    // The log is a text file: its line breaks are CR LF.
    const std::string report =
        "caption: Ошибка\r\nmessage: Невозможно загрузить файл с данными!\r\n Файл испорчен "
        "либо сохранен другой версией движка";
    for (size_t at = 0; (at = log.find(report, at)) != std::string::npos; ++at)
        ++reports;
    EXPECT_EQ(reports, 3u);
}

TEST_F(InputReplayer, MissingFileKeepsThePreviousRecords)
{
    ASSERT_TRUE(LoadBytes(U32(16) + U32(1) + std::string(16, '\0')));
    EXPECT_FALSE(Replayer.Load(Utf8ToWide(Folder / "absent").c_str()));
    EXPECT_EQ(Replayer.GetRecordCount(), 1u);
}

TEST_F(InputReplayer, CursorFollowsTheRecordedPointer)
{
    Dispatcher.SetScreenArea(CFloatRect(10.7f, 20, 683, 384), CVector2(0.5f, 0.5f));
    ASSERT_TRUE(LoadBytes(
        lv::core::WriteInputRecording({CInputRecord::Pointer(0, CInputRecord::Move, 0, 0, 101, 40)})));
    Replayer.Start();
    Frames({1001});
    // (trunc(50.5) + trunc(10.7), 20 + 20) in the client, then moved by the client's origin.
    EXPECT_EQ(Platform.Calls, std::vector<std::string>{"SetCursorPos 160 90"});
}

TEST_F(InputReplayer, RecorderOutputReplaysToTheSameCalls)
{
    // Everything the recorder hears, sent straight to the dispatcher as it would be live.
    auto& recorder = CInputRecorder::Instance();
    recorder.SetClock(&Now);
    g_Now = 500;
    recorder.Start();
    recorder.OnMouseMove(CPoint2i(1, 2), 0);
    Dispatcher.DispatchMouseMove(CPoint2i(1, 2), 0, 0);
    g_Now = 510;
    recorder.OnMouseDown(CPoint2i(-3, 4), 1, 2);
    Dispatcher.DispatchMouseDown(CPoint2i(-3, 4), 1, 2, 0);
    recorder.OnDoubleClick(CPoint2i(5, 6), 1);
    Dispatcher.DispatchDoubleClick(CPoint2i(5, 6), 1);
    g_Now = 520;
    recorder.OnMouseWheel(CPoint2i(7, 8), -2, 0);
    Dispatcher.DispatchMouseWheel(CPoint2i(7, 8), -2, 0);
    recorder.OnMouseUp(CPoint2i(-3, 4), 1, 2);
    Dispatcher.DispatchMouseUp(CPoint2i(-3, 4), 1, 2, 0);
    recorder.OnKeyDown(10012, 4, 77);
    Dispatcher.DispatchKeyDown(10012, 4, 77);
    recorder.OnChar(0x436, 0, 1);
    Dispatcher.DispatchChar(0x436, 0, 1);
    recorder.OnKeyUp(10012, 4, 78);
    Dispatcher.DispatchKeyUp(10012, 4, 78);
    recorder.Stop();
    recorder.OnKeyUp(1, 1, 1); // not recording: dropped
    ASSERT_EQ(recorder.GetRecords().size(), 8u);
    EXPECT_EQ(recorder.GetRecords()[1].Time, 10u);
    ASSERT_TRUE(recorder.Save(Utf8ToWide(Folder / "replay").c_str()));
    recorder.SetClock(nullptr);
    EXPECT_FALSE(recorder.Save(Utf8ToWide(Folder / "no/such/folder/replay").c_str()));

    const std::vector<std::string> live = Log;
    Log.clear();
    ASSERT_TRUE(Replayer.Load(Utf8ToWide(Folder / "replay").c_str()));
    Replayer.Start();
    Frames({1100});
    EXPECT_FALSE(Replayer.IsPlaying());
    EXPECT_EQ(Log, live);
}

// The replayer lives until process exit; an object destroyed after it that still reaches for it
// gets an exception instead of freed memory.
TEST(InputReplayerDeathTest, UseAfterDestructionAtExitThrows)
{
    struct CLateUser
    {
        ~CLateUser()
        {
            try {
                lv::gui::CInputReplayer::Instance();
            } catch (const std::logic_error& e) {
                std::_Exit(std::string(e.what()) == "Dead Reference Detected" ? 7 : 2);
            }
            std::_Exit(1);
        }
    };
    EXPECT_EXIT(
        {
            // Made before the replayer, so destroyed after it.
            static CLateUser late;
            lv::gui::CInputReplayer::Instance();
            std::exit(0);
        },
        testing::ExitedWithCode(7), "");
}
