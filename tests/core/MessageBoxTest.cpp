#include "core/MessageBox.h"

#include "TempFolder.h"
#include "core/Log.h"
#include "core/TextConvert.h"

using namespace lv::core;

TEST(MessageBox, QuietByDefaultAndAlwaysLogged)
{
    EXPECT_TRUE(GetQuietMessageBoxes());
    CTempFolder tmp;
    CLog::Instance().Open(Utf8ToWide(tmp / "log.lvlog").c_str());

    EXPECT_EQ(ShowMessageBoxF("Error", "x %d", 5), 0);
    // Flushed without any further call.
    EXPECT_NE(tmp.Read("log.lvlog").find("[message][1]: caption: Error\r\nmessage: x 5\r\n"),
              std::string::npos);

    EXPECT_EQ(ShowMessage("plain"), 0);
    EXPECT_EQ(ShowMessageBoxW(u"Warning", u"caf\u00e9"), 0);
    const std::string long_text(3000, 'y');
    ShowMessageBoxF("Error", "%s", long_text.c_str());
    AssertFailed("file.cpp", 12, "count %d", 3);

    const std::string log = tmp.Read("log.lvlog");
    EXPECT_NE(log.find("caption: Message\r\nmessage: plain\r\n"), std::string::npos);
    EXPECT_NE(log.find("caption: Warning\r\nmessage: caf\xC3\xA9\r\n"), std::string::npos);
    EXPECT_NE(log.find("message: " + std::string(2047, 'y') + "\r\n"), std::string::npos);
    EXPECT_EQ(log.find(std::string(2048, 'y')), std::string::npos);
    EXPECT_NE(log.find("[assert][3]: assertion failed \"count 3\", file \"file.cpp\" line 12\r\n"),
              std::string::npos);
    CLog::Instance().Close();
}

TEST(MessageBox, QuietSwitchCanBeTurnedOff)
{
    SetQuietMessageBoxes(false);
    EXPECT_FALSE(GetQuietMessageBoxes());
    // Without a display the box goes to stderr and reports OK.
    EXPECT_EQ(ShowMessageBox("Warning", "audio"), 1);
    SetQuietMessageBoxes(true);
    EXPECT_TRUE(GetQuietMessageBoxes());
}

TEST(MessageBox, WideFormsLogUtf8)
{
    CTempFolder tmp;
    CLog::Instance().Open(Utf8ToWide(tmp / "log.lvlog").c_str());
    EXPECT_EQ(ShowMessageBoxFW(u"Error", u"file %ls: %d", u"\u00e9.xml", -7), 0);
    CLog::Instance().PrintW("xmlwriter", 3, u"Cannot open file to save (\"%ls\")", u"a/b.xml");
    const WString big(5000, u'w');
    CLog::Instance().PrintW("app", 3, u"%s|", big.c_str());
    AssertFailedW(u"x.cpp", 9, u"n=%d", 4); // quiet: logged only

    const std::string log = tmp.Read("log.lvlog");
    EXPECT_NE(log.find("caption: Error\r\nmessage: file \xC3\xA9.xml: -7\r\n"), std::string::npos);
    EXPECT_NE(log.find("[xmlwriter][3]: Cannot open file to save (\"a/b.xml\")\r\n"), std::string::npos);
    EXPECT_NE(log.find(std::string(5000, 'w') + "|\r\n"), std::string::npos);
    EXPECT_NE(log.find("[assert][3]: assertion failed \"n=4\", file \"x.cpp\" line 9\r\n"),
              std::string::npos);
    CLog::Instance().Close();
}

TEST(MessageBoxDeathTest, WideAssertionEndsTheProgramWhenNotQuiet)
{
    EXPECT_DEATH(
        {
            SetQuietMessageBoxes(false);
            AssertFailedW(u"x.cpp", 9, u"broken");
        },
        "assertion failed \"broken\"");
}
