#include "graphics/DeclarationSet.h"

#include <gtest/gtest.h>

#include <string>

#include "LogCapture.h"
#include "core/FileSystem.h"
#include "core/TempFolder.h"

using lv::core::FontDeclaration;
using lv::graphics::CDeclarationGroup;
using lv::graphics::CDeclarationSet;

namespace {

const std::string P = "<?xml version=\"1.0\"?>";

void Load(CDeclarationSet& set, const std::string& xml, const char* group = nullptr)
{
    set.LoadXml(xml.data(), xml.size(), group);
}

std::string Name(const CFixedString* name)
{
    return name->GetText();
}

} // namespace

TEST(DeclarationSet, FontDeclarationFromTheExample)
{
    auto set = CDeclarationSet::Create();
    EXPECT_TRUE(set->IsEmpty());
    Load(*set, P + "<fonts><font id=\"font_14\" image=\"fnt14\" file=\"fonts\\f14.xml\" "
                   "color=\"4294967295\"/></fonts>");
    ASSERT_EQ(set->GetDeclarations().size(), 1u);
    const FontDeclaration& d = set->GetDeclarations()[0];
    EXPECT_EQ(Name(d.GetName()), "font_14");
    EXPECT_EQ(Name(d.GetImage()), "fnt14");
    EXPECT_EQ(d.GetFile(), "fonts/f14.xml");
    EXPECT_EQ(d.GetColor().ToArgb(), 0xFFFFFFFFu);
    EXPECT_EQ(d.GetColor(), CColor());
}

TEST(DeclarationSet, ColoursAndAttributeNames)
{
    struct Case
    {
        const char* attributes;
        u32 colour;
    };
    const Case cases[] = {
        {"color=\"0\"", 0x00000000u},          // transparent black
        {"", 0xFFFFFFFFu},                     // missing: opaque white
        {"color=\"-16777216\"", 0xFF000000u},  // signed form
        {"COL=\"255\"", 0x000000FFu},          // a prefix of the keyword, any case
        {"color=\"8589934591\"", 0xFFFFFFFFu}, // wraps to 32 bits
        {"color=\" +12abc\"", 12u},
    };
    for (const Case& c : cases) {
        auto set = CDeclarationSet::Create();
        Load(*set, P + "<r><font id=\"f\" " + c.attributes + "/></r>");
        ASSERT_EQ(set->GetDeclarations().size(), 1u) << c.attributes;
        EXPECT_EQ(set->GetDeclarations()[0].GetColor().ToArgb(), c.colour) << c.attributes;
    }
}

TEST(DeclarationSet, GroupsNestAndOtherElementsAreIgnored)
{
    auto set = CDeclarationSet::Create();
    Load(*set, P + "<r><GROUP id=\"menu\" flags=\"7\"><font id=\"a\"/><group id=\"deep\"><font "
                   "id=\"b\"/></group></GROUP>"
                   "<other><font id=\"lost\"/></other><font id=\"c\"><font id=\"inner\"/></font></r>");
    ASSERT_EQ(set->GetGroups().size(), 1u);
    CDeclarationGroup& menu = set->GetGroups().front();
    EXPECT_EQ(Name(menu.GetName()), "menu");
    EXPECT_EQ(menu.GetFlags(), 0);
    ASSERT_EQ(menu.GetDeclarations().size(), 1u);
    EXPECT_EQ(Name(menu.GetDeclarations()[0].GetName()), "a");
    ASSERT_EQ(set->GetDeclarations().size(), 1u);
    EXPECT_EQ(Name(set->GetDeclarations()[0].GetName()), "c");
    EXPECT_EQ(set->FindGroup("deep", false), nullptr);
    CDeclarationGroup* deep = set->FindGroup("deep", true);
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(Name(deep->GetDeclarations().at(0).GetName()), "b");
}

TEST(DeclarationSet, DuplicatesInOneFileAreReportedAcrossFilesNot)
{
    CScratchLogCapture log;
    auto set = CDeclarationSet::Create();
    Load(*set, P + "<r><font id=\"font_14\" image=\"first\"/><font id=\"font_14\" image=\"second\"/></r>");
    EXPECT_TRUE(log.Contains("[resdecl][2]: Resource declaration \"font_14\" already loaded."));
    ASSERT_EQ(set->GetDeclarations().size(), 1u);
    EXPECT_EQ(Name(set->GetDeclarations()[0].GetImage()), "first");

    CScratchLogCapture second;
    Load(*set, P + "<r><font id=\"font_14\" image=\"third\"/></r>");
    EXPECT_FALSE(second.Contains("already loaded"));
    EXPECT_EQ(set->GetDeclarations().size(), 2u);
}

TEST(DeclarationSet, NamedGroupTargetAndLongNames)
{
    CScratchLogCapture log;
    auto set = CDeclarationSet::Create();
    Load(*set, P + "<r><font id=\"a\"/></r>", "extra");
    Load(*set, P + "<r><font id=\"b\"/></r>", "extra");
    ASSERT_EQ(set->GetGroups().size(), 1u);
    EXPECT_EQ(Name(set->GetGroups().front().GetName()), "extra");
    EXPECT_EQ(set->GetGroups().front().GetDeclarations().size(), 2u);

    // A name too long for its record is cut to 87 characters, with a warning.
    const std::string longName(100, 'n');
    Load(*set, P + "<r><font id=\"" + longName + "\"/></r>");
    EXPECT_EQ(Name(set->GetDeclarations().back().GetName()), longName.substr(0, 87));
    EXPECT_TRUE(log.Contains("[resdecl][2]: Name \"" + longName + "\" is too long, cut to 87 characters"));
}

TEST(DeclarationSet, LoadFileThroughTheFileSystem)
{
    CTempFolder tmp;
    tmp.Write("fonts.xml", P + "<fonts><font id=\"f\" file=\"a\\b.xml\"/></fonts>");
    lv::core::CFileSystem files("");
    auto set = CDeclarationSet::Create();
    set->LoadFile(files, (tmp / "missing.xml").c_str(), nullptr); // nothing, no log
    EXPECT_TRUE(set->IsEmpty());
    set->LoadFile(files, (tmp / "fonts.xml").c_str(), nullptr);
    ASSERT_EQ(set->GetDeclarations().size(), 1u);
    EXPECT_EQ(set->GetDeclarations()[0].GetFile(), "a/b.xml");

    // Malformed: what the reader delivered before the fault stays declared (the cut element's
    // start too, without its attributes).
    Load(*set, P + "<r><font id=\"g\"/><font id=\"h");
    ASSERT_EQ(set->GetDeclarations().size(), 3u);
    EXPECT_EQ(Name(set->GetDeclarations()[1].GetName()), "g");
    EXPECT_EQ(Name(set->GetDeclarations()[2].GetName()), "");
}
