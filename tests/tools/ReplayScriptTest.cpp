#include "content/ReplayScript.h"

#include "gui/InputDispatcher.h"

#include <gtest/gtest.h>

namespace {

using lv::content::CompileReplayScript;
using lv::content::SReplayCheckpoint;
using lv::content::SReplayScript;
using lv::core::CInputRecord;
using lv::gui::CInputDispatcher;

CInputRecord At(u32 t, u8 type, u16 param, s32 x, s32 y)
{
    return CInputRecord::Pointer(t, type, param, 0, x, y);
}

CInputRecord KeyAt(u32 t, u8 type, u16 param, s32 flags = 0)
{
    return CInputRecord::Key(t, type, param, flags, 0);
}

TEST(ReplayScript, StatementsCompileToTheirRecords)
{
    const struct
    {
        const char* script;
        std::vector<CInputRecord> records;
    } rows[] = {
        {"at 0 move 10 20", {At(0, CInputRecord::Move, 0, 10, 20)}},
        {"at 5 down 1 2\nat 6 up 1 2 right",
         {At(5, CInputRecord::ButtonDown, 0, 1, 2), At(6, CInputRecord::ButtonUp, 1, 1, 2)}},
        {"at 100 click 683 -4 middle",
         {At(100, CInputRecord::ButtonDown, 2, 683, -4), At(100, CInputRecord::ButtonUp, 2, 683, -4)}},
        {"at 7 key ctrl+alt+p",
         {KeyAt(7, CInputRecord::KeyDown, 'P', CInputDispatcher::kCtrl | CInputDispatcher::kAlt),
          KeyAt(7, CInputRecord::KeyUp, 'P', CInputDispatcher::kCtrl | CInputDispatcher::kAlt)}},
        {"at 1 keydown escape\nat 2 keyup f3\nat 3 keydown shift+#65",
         {KeyAt(1, CInputRecord::KeyDown, CInputDispatcher::KeyEscape),
          KeyAt(2, CInputRecord::KeyUp, CInputDispatcher::KeyF1 + 2),
          KeyAt(3, CInputRecord::KeyDown, 65, CInputDispatcher::kShift)}},
        {"at 9 char \xC3\xA9", {KeyAt(9, CInputRecord::Char, 0xE9)}},
        {"at 9 text Ab c", {KeyAt(9, CInputRecord::Char, 'A'), KeyAt(9, CInputRecord::Char, 'b'),
                            KeyAt(9, CInputRecord::Char, ' '), KeyAt(9, CInputRecord::Char, 'c')}},
        {"# a comment\n\n  at 3 move 1 1   # the pointer\r\n", {At(3, CInputRecord::Move, 0, 1, 1)}},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.script);
        SReplayScript script;
        std::string error;
        ASSERT_TRUE(CompileReplayScript(row.script, script, error)) << error;
        EXPECT_EQ(script.records, row.records);
        EXPECT_TRUE(script.checkpoints.empty());
    }
}

TEST(ReplayScript, CheckpointsTakeTheirOwnOrTheLastTimeAndAreNotPlayed)
{
    SReplayScript script;
    std::string error;
    ASSERT_TRUE(CompileReplayScript("checkpoint start\nat 400 click 5 5\ncheckpoint menu\nat 900 checkpoint hall\n",
                                    script, error))
        << error;
    EXPECT_EQ(script.records.size(), 2u);
    EXPECT_EQ(script.checkpoints,
              (std::vector<SReplayCheckpoint>{{"start", 0}, {"menu", 400}, {"hall", 900}}));
    // The file image reads back as the same records.
    std::vector<CInputRecord> back;
    const std::string image = lv::core::WriteInputRecording(script.records);
    ASSERT_EQ(lv::core::ParseInputRecording(reinterpret_cast<const u8*>(image.data()), image.size(), back),
              lv::core::EInputRecordingStatus::Ok);
    EXPECT_EQ(back, script.records);
}

TEST(ReplayScript, BadStatementsNameTheirLine)
{
    const struct
    {
        const char* script;
        const char* error;
    } rows[] = {
        {"move 1 2", "line 1: a statement starts with 'at' or 'checkpoint'"},
        {"at 10 move 1 2\nat 5 move 1 2", "line 2: time 5 goes back before 10"},
        {"at x move 1 2", "line 1: a time in milliseconds"},
        {"at 1", "line 1: an event must follow"},
        {"at 1 move 1", "line 1: 'move' needs x and y"},
        {"at 1 move 1 70000", "line 1: 'move' needs x and y"},
        {"at 1 click 1 2 thumb", "line 1: unknown button 'thumb'"},
        {"at 1 key hyper+a", "line 1: unknown key 'hyper+a'"},
        {"at 1 key f13", "line 1: unknown key 'f13'"},
        {"at 1 char ab", "line 1: 'char' needs one character"},
        {"at 1 text \xC3", "line 1: 'text' needs some text"},
        {"at 1 jump 1 2", "line 1: unknown event 'jump'"},
        {"at 1 move 1 2 3", "line 1: unknown button '3'"},
        {"at 1 key a b", "line 1: unexpected 'b'"},
        {"checkpoint", "line 1: a checkpoint needs a name"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.script);
        SReplayScript script;
        std::string error;
        EXPECT_FALSE(CompileReplayScript(row.script, script, error));
        EXPECT_EQ(error.rfind(row.error, 0), 0u) << error;
    }
}

} // namespace
