#include "core/Settings.h"

#include "ContentTestSupport.h"
#include "core/FileSystem.h"
#include "core/FileUtils.h"
#include "core/Log.h"
#include "core/NamePool.h"
#include "core/PathUtils.h"
#include "core/TextConvert.h"
#include "core/XmlParser.h"
#include "core/XmlWriter.h"

#include <cstdio>
#include <string>

using namespace lv::core;

namespace {

// A game.xml-like document exercising everything the tree keeps.
const char kGameXml[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<game product="Hidden Things" version="105" debug_level="2">
  <settings debug="true" survey="True" sg="1"/>
  <order b="2" a="1" c="3"/>
  <window id="main">
    <named_object name="ok_button">
      <button id="ok" text="&lt;OK&gt;"/>
    </named_object>
    <label id="title"/>
  </window>
</game>
)";

// What every load of kGameXml must give, wherever it came from.
void ExpectGameTree(const CSettingsGroup& root)
{
    ASSERT_EQ(root.CountChildren(""), 1u);
    const CSettingsGroup& game = root.GetFirstChild();
    EXPECT_STREQ(game.GetName().GetText(), "game");
    EXPECT_EQ(game.GetInt("version"), 105);

    const CSettingsGroup& settings = game.GetChild("settings");
    EXPECT_TRUE(settings.GetBool("debug"));
    EXPECT_FALSE(settings.GetBool("survey")) << "only the exact text true counts";
    EXPECT_FALSE(settings.GetBool("sg"));
    EXPECT_FALSE(settings.GetBool("missing"));

    const CSettingsGroup& order = game.GetChild("order");
    ASSERT_EQ(order.GetAttributeCount(), 3u);
    EXPECT_STREQ(order.GetAttributeNameAt(0).GetText(), "a");
    EXPECT_STREQ(order.GetAttributeNameAt(1).GetText(), "b");
    EXPECT_STREQ(order.GetAttributeNameAt(2).GetText(), "c");
    EXPECT_TRUE(order.GetAttributeNameAt(3).IsEmpty());
    EXPECT_EQ(&order.GetAttributeNameAt(3), &CSettingsGroup::EmptyName());

    const CSettingsGroup& window = game.GetChild("window");
    ASSERT_EQ(window.CountChildren(""), 2u) << "a named_object makes no node of its own";
    EXPECT_STREQ(window.GetFirstChild().GetName().GetText(), "button");
    EXPECT_EQ(window.FindChild("named_object"), nullptr);
    const CSettingsGroup* ok = window.FindNamedObject("ok_button");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok, window.FindFirstChild());
    EXPECT_EQ(ok->GetParent(), &window);
    EXPECT_EQ(ok->GetAttribute("text"), "<OK>");
    EXPECT_EQ(window.FindChild("label")->GetAttribute("id"), "title");
}

CSettings& Parse(CSettings& s, const std::string& xml)
{
    EXPECT_TRUE(s.LoadXmlText(xml)) << xml;
    return s;
}

} // namespace

TEST(Settings, GameFileFromBuffer)
{
    CSettings s;
    ASSERT_TRUE(s.ParseXmlText(kGameXml, sizeof(kGameXml) - 1));
    ExpectGameTree(s);
}

TEST(Settings, GameFileFromPackThenDisk)
{
    CTempFolder tmp;
    lv::content::CPackWriter writer;
    ASSERT_TRUE(writer.AddFile("properties/settings_test.xml", std::string(kGameXml)));
    const std::string pack = WritePack(tmp, "settings_test.pack", writer);
    // The same relative path on disk holds another document: packs come first.
    tmp.Write("properties/settings_test.xml", R"(<?xml version="1.0"?><disk/>)");
    tmp.Write("loose/game.xml", kGameXml);

    CFileSystem& files = CFileSystem::Instance();
    ASSERT_TRUE(files.MountPack(pack.c_str()));
    CLogCapture log(tmp);
    {
        CWorkingFolder cwd(tmp.Path());
        CSettings fromPack;
        ASSERT_TRUE(fromPack.LoadXml("properties/settings_test.xml"));
        ExpectGameTree(fromPack);
        EXPECT_TRUE(log.Contains("[core][0]: CSettings::LoadXml loading properties/settings_test.xml\r\n"));

        CSettings fromDisk;
        ASSERT_TRUE(fromDisk.LoadXml("loose/game.xml"));
        ExpectGameTree(fromDisk);

        // A wide path is a disk file, never a pack entry.
        CSettings wide;
        ASSERT_TRUE(wide.LoadXml(u"properties/settings_test.xml"));
        EXPECT_STREQ(wide.GetFirstChild().GetName().GetText(), "disk");

        EXPECT_FALSE(fromDisk.LoadXml("properties/nowhere.xml"));
        EXPECT_TRUE(log.Contains("[core][3]: CSettings::LoadXml failed on file properties/nowhere.xml\r\n"));
        EXPECT_EQ(fromDisk.CountChildren(""), 1u);
        EXPECT_FALSE(fromDisk.LoadXml(static_cast<const char*>(nullptr)));
    }
    files.UnmountPack(pack.c_str());
}

TEST(Settings, MatchingFilesAndMerge)
{
    CTempFolder tmp;
    tmp.Write("clips/b.xml", R"(<?xml version="1.0"?><clips><clip id="b1"/><clip id="b2"/></clips>)");
    tmp.Write("clips/a.xml", R"(<?xml version="1.0"?><clips><clip id="a1"/></clips>)");
    tmp.Write("clips/other.xml", R"(<?xml version="1.0"?><sounds><sound id="s"/></sounds>)");
    tmp.Write("single/all.xml", R"(<?xml version="1.0"?><clips><clip id="all"/></clips>)");
    const WString many = Utf8ToWide(tmp / "clips/*.xml");
    const WString single = Utf8ToWide(tmp / "single/*.xml");
    const WString none = Utf8ToWide(tmp / "none/*.xml");

    CSettings s;
    EXPECT_EQ(s.LoadMatchingFiles(many.c_str(), single.c_str()), 3);
    ASSERT_EQ(s.CountChildren(""), 3u);
    EXPECT_EQ(s.GetFirstChild().GetFirstChild().GetAttribute("id"), "a1");
    CSettings fallback;
    EXPECT_EQ(fallback.LoadMatchingFiles(none.c_str(), single.c_str()), 1);
    EXPECT_EQ(fallback.GetChild("clips").GetChild("clip").GetAttribute("id"), "all");
    EXPECT_EQ(fallback.LoadMatchingFiles(none.c_str(), none.c_str()), 0);

    CSettingsGroup target(CFixedString("target"));
    EXPECT_TRUE(CSettings::MergeFiles(target, many.c_str(), single.c_str(), CFixedString("all_clips"),
                                      CFixedString("clips"), true));
    EXPECT_TRUE(CSettings::MergeFiles(target, many.c_str(), single.c_str(), CFixedString("first_b"),
                                      CFixedString("clips"), false));
    const CSettingsGroup& merged = target.GetChild("all_clips");
    ASSERT_EQ(merged.CountChildren("clip"), 3u);
    EXPECT_EQ(merged.CountChildren(""), 3u) << "only children of elements named clips";
    EXPECT_EQ(merged.GetFirstChild().GetAttribute("id"), "a1");
    EXPECT_EQ(merged.GetFirstChild().GetParent(), &merged);
    EXPECT_EQ(target.GetChild("first_b").GetFirstChild().GetAttribute("id"), "all");
}

TEST(Settings, WidePathReadsDiskFileAndLoadingTwiceAppends)
{
    CTempFolder tmp;
    tmp.Write("game.xml", kGameXml);
    CSettings s;
    CTempFolder logFolder;
    CLogCapture log(logFolder);
    const WString path = Utf8ToWide(tmp / "game.xml");
    ASSERT_TRUE(s.LoadXml(path.c_str()));
    ExpectGameTree(s);
    EXPECT_TRUE(log.Contains("[core][0]: CSettings::LoadXml loading " + (tmp / "game.xml") + "\r\n"));

    ASSERT_TRUE(s.LoadXml(path.c_str()));
    ASSERT_EQ(s.CountChildren(""), 2u);
    EXPECT_EQ(s.CountChildren("game"), 2u);
    EXPECT_EQ(s.GetFirstChild().FindNextSibling(), s.GetChildren()[1].get());
    EXPECT_EQ(s.GetChildren()[1]->FindNextSibling(), nullptr);
    EXPECT_EQ(s.FindNextSibling(), nullptr) << "a root has no sibling";
}

TEST(Settings, WidePathRelativeToWorkingFolderAndMissingFile)
{
    CTempFolder tmp;
    tmp.Write("sub/profile.xml", R"(<?xml version="1.0"?><profile name="x"/>)");
    WChar previous[kMaxPath] = {};
    ASSERT_TRUE(GetWorkingDirectory(previous));
    ASSERT_TRUE(SetWorkingDirectory(Utf8ToWide(tmp.Path().string()).c_str()));
    const WString absolute = MakeAbsolutePath(u"sub/profile.xml");
    CSettings s;
    const bool loaded = s.LoadXml(u"sub/profile.xml");
    SetWorkingDirectory(previous);

    EXPECT_EQ(absolute, Utf8ToWide(tmp / "sub/profile.xml"));
    EXPECT_EQ(MakeAbsolutePath(u"/abs/x.xml"), u"/abs/x.xml");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(s.GetChild("profile").GetAttribute("name"), "x");

    CTempFolder logFolder;
    CLogCapture log(logFolder);
    const std::string missing = tmp / "nowhere.xml";
    EXPECT_FALSE(s.LoadXml(Utf8ToWide(missing).c_str()));
    EXPECT_TRUE(log.Contains("[core][3]: CSettings::LoadXml failed on file " + missing + "\r\n"));
    EXPECT_EQ(s.CountChildren(""), 1u);
}

TEST(Settings, RelativePathUnderAWorkingFolderOfAnyLength)
{
    CTempFolder tmp;
    std::string deep;
    while ((tmp.Path() / deep).string().size() < 390)
        deep += std::string(60, 'd') + "/";
    tmp.Write(deep + "deep.xml", R"(<?xml version="1.0"?><deep/>)");
    const std::string folder = (tmp.Path() / deep).string();
    ASSERT_GT(folder.size(), 386u);
    CWorkingFolder cwd(folder);
    const std::string expected = (std::filesystem::current_path() / "deep.xml").string();
    EXPECT_EQ(MakeAbsolutePath(u"deep.xml"), Utf8ToWide(expected));
    CSettings s;
    EXPECT_TRUE(s.LoadXml(u"deep.xml"));
    EXPECT_NE(s.FindChild("deep"), nullptr);
}

TEST(Settings, RejectedDocumentLeavesTreeAsItWas)
{
    CSettings s;
    Parse(s, R"(<?xml version="1.0"?><keep/>)");
    // The parser only sees the stray closing tag after it has reported the first elements.
    const char* rejected[] = {
        "<a x='1'/>",
        R"(<?xml version="1.0"?><a x="1"><b/></a></c>)",
        R"(<?xml version="1.0"?><named_object name="n"><b/></named_object></c>)",
    };
    for (const char* text : rejected) {
        EXPECT_FALSE(s.LoadXmlText(text)) << text;
        EXPECT_EQ(s.CountChildren(""), 1u) << text;
        EXPECT_TRUE(s.GetNamedObjects().empty()) << text;
    }
    std::string deep = "<?xml version=\"1.0\"?>";
    for (int i = 0; i < kXmlMaxDepth + 1; ++i)
        deep += "<d>";
    EXPECT_FALSE(s.LoadXmlText(deep));
    EXPECT_EQ(s.CountChildren(""), 1u);
    EXPECT_STREQ(s.GetFirstChild().GetName().GetText(), "keep");
}

// A name is a C string: one that starts with a zero character registers nothing, and one with a
// zero inside is registered under the text before it.
TEST(Settings, NamedObjectNamesEndAtAZero)
{
    CSettings s;
    const CSettingsGroup& a = Parse(s, R"(<?xml version="1.0"?>
        <a><named_object name="&#0;x"><b/></named_object><named_object name="ok&#0;x"><c/></named_object></a>)")
                                  .GetFirstChild();
    ASSERT_EQ(a.CountChildren(""), 2u);
    ASSERT_EQ(a.GetNamedObjects().size(), 1u);
    EXPECT_STREQ(a.GetNamedObjects()[0].Name->GetText(), "ok");
    EXPECT_EQ(a.FindNamedObject("ok", false), a.FindChild("c"));
}

TEST(Settings, IntegerAndNumberReaders)
{
    CSettings s;
    const CSettingsGroup& g = Parse(s, R"(<?xml version="1.0"?>
        <v i="42" neg="-7" empty="" bad="4x" space=" 5" big="99999999999" f="2.5" u="4000000000"/>)")
                                  .GetFirstChild();
    CTempFolder logFolder;
    CLogCapture log(logFolder);
    const struct
    {
        const char* Name;
        s32 Get;
        bool Logged;
    } ints[] = {
        {"i", 42, false}, {"neg", -7, false}, {"empty", 0, false}, {"missing", 0, false},
        {"bad", 0, true}, {"space", 0, true}, {"big", 0, true},
    };
    for (const auto& c : ints) {
        EXPECT_EQ(g.GetInt(c.Name), c.Get) << c.Name;
        s32 read = 1234;
        g.ReadInt(c.Name, read);
        const bool stored = g.HasAttribute(c.Name) && !c.Logged;
        EXPECT_EQ(read, stored ? c.Get : 1234) << c.Name;
    }
    const std::string text = log.Text();
    EXPECT_NE(text.find("[core][2]: CSettingsGroup: element 'v' attribute 'bad' is not a number: '4x'"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("attribute 'big' is not a number: '99999999999'"), std::string::npos);
    EXPECT_EQ(text.find("attribute 'i' "), std::string::npos);

    EXPECT_FLOAT_EQ(g.GetFloat("f"), 2.5f);
    EXPECT_FLOAT_EQ(g.GetFloat("i"), 42.0f);
    EXPECT_FLOAT_EQ(g.GetFloat("empty"), 0.0f);
    EXPECT_FLOAT_EQ(g.GetFloat("bad"), 0.0f);
    float f = 7.5f;
    g.ReadFloat("bad", f);
    g.ReadFloat("missing", f);
    EXPECT_FLOAT_EQ(f, 7.5f);
    g.ReadFloat("f", f);
    EXPECT_FLOAT_EQ(f, 2.5f);

    u32 u = 9;
    g.ReadUInt("bad", u);
    EXPECT_EQ(u, 9u);
    g.ReadUInt("u", u);
    EXPECT_EQ(u, 4000000000u);
    g.ReadUInt("empty", u);
    EXPECT_EQ(u, 0u);
}

TEST(Settings, BoolWideStringAndColourReaders)
{
    CSettings s;
    const CSettingsGroup& g = Parse(s, R"(<?xml version="1.0" encoding="UTF-8"?>
        <v t="true" cap="True" one="1" w="Привет &amp; A" argb="#255 10 20 30" alpha="#128" white="-1"
           sat="4294967295" none=""/>)")
                                  .GetFirstChild();
    bool b = true;
    g.ReadBool("cap", b);
    EXPECT_FALSE(b);
    g.ReadBool("t", b);
    EXPECT_TRUE(b);
    g.ReadBool("missing", b);
    EXPECT_TRUE(b);
    EXPECT_FALSE(g.GetBool("one"));

    WString w = u"default";
    g.ReadWString("missing", w);
    EXPECT_EQ(w, u"default");
    g.ReadWString("w", w);
    EXPECT_EQ(w, u"Привет & A");

    const struct
    {
        const char* Name;
        CColor Expected;
    } colours[] = {
        {"argb", CColor::CColorArgb(255, 10, 20, 30)},
        {"alpha", CColor::CColorArgb(128, 255, 255, 255)},
        {"white", CColor(0xFFFFFFFFu)},
        {"sat", CColor(0x7FFFFFFFu)},
        {"none", CColor(0u)},
        {"missing", CColor(0u)},
    };
    for (const auto& c : colours) {
        EXPECT_EQ(ReadXmlColorAttribute(g, c.Name), c.Expected) << c.Name;
        CColor out = CColor::CColorArgb(1, 2, 3, 4);
        g.ReadColor(c.Name, out);
        EXPECT_EQ(out, g.HasAttribute(c.Name) ? c.Expected : CColor::CColorArgb(1, 2, 3, 4)) << c.Name;
    }
}

TEST(Settings, ChildSearchesAndEmptyObjects)
{
    CSettings s;
    Parse(s, R"(<?xml version="1.0"?>
        <root>
          <item id="1"><item id="1.1"><leaf id="x"/></item></item>
          <item id="2"/>
          <leaf id="y"/>
          <named_object name="rows"><row n="a"/><row n="b"/></named_object>
          <panel><named_object name="deep"><cell/></named_object></panel>
        </root>)");
    const CSettingsGroup& root = s.GetChild("root");

    // Depth first, pre-order: a child's subtree comes before its next sibling.
    EXPECT_EQ(root.FindChild("leaf")->GetAttribute("id"), "y");
    EXPECT_EQ(root.FindChild("leaf", true)->GetAttribute("id"), "x");
    EXPECT_EQ(root.FindChildByAttribute("item", "id", "1.1"), nullptr);
    EXPECT_EQ(root.FindChildByAttribute("item", "id", "1.1", true)->GetAttribute("id"), "1.1");
    EXPECT_EQ(root.GetChildByAttribute("item", "id", "2").GetAttribute("id"), "2");
    EXPECT_EQ(root.CountChildren("item"), 2u);
    EXPECT_EQ(root.CountChildren("row"), 2u);
    EXPECT_EQ(root.CountChildren(""), 6u);

    // Every child of one named_object is registered under its name, in order.
    ASSERT_EQ(root.GetNamedObjects().size(), 2u);
    EXPECT_EQ(root.GetNamedObject("rows").GetAttribute("n"), "a");
    EXPECT_EQ(root.FindNamedObject("deep"), nullptr);
    EXPECT_STREQ(root.GetChild("panel").GetNamedObject("deep").GetName().GetText(), "cell");
    // Recursive named-object search follows only named-object tables.
    EXPECT_EQ(s.FindNamedObject("rows", true), nullptr);

    // Misses: null from Find, the shared empty objects from Get, and chains keep working.
    EXPECT_EQ(root.FindChild("nothing"), nullptr);
    EXPECT_EQ(&root.GetChild("nothing"), &CSettingsGroup::EmptyGroup());
    EXPECT_EQ(&root.GetChild("nothing").GetChild("x").GetAttribute("y"), &CSettingsGroup::EmptyString());
    EXPECT_EQ(&root.GetNamedObject("nothing"), &CSettingsGroup::EmptyGroup());
    EXPECT_EQ(&root.GetChildByAttribute("item", "id", "9"), &CSettingsGroup::EmptyGroup());
    EXPECT_EQ(CSettingsGroup::EmptyGroup().FindFirstChild(), nullptr);
    EXPECT_EQ(&CSettingsGroup::EmptyGroup().GetNextSibling(), &CSettingsGroup::EmptyGroup());

    // Iteration in document order.
    std::string names;
    for (const CSettingsGroup* c = root.FindFirstChild(); c; c = c->FindNextSibling())
        names += std::string(c->GetName().GetText()) + " ";
    EXPECT_EQ(names, "item item leaf row row panel ");
}

TEST(Settings, NameKeysOfEveryKind)
{
    CSettings s;
    const CSettingsGroup& g = Parse(s, R"(<?xml version="1.0"?><g><child k="v"/></g>)").GetFirstChild();
    const CFixedString fixed("child");
    const CFixedString* pooled = InternName(CFixedString("child"));
    EXPECT_EQ(&g.GetFirstChild().GetName(), pooled) << "names are pooled";
    EXPECT_NE(g.FindChild(fixed), nullptr);
    EXPECT_NE(g.FindChild(*pooled), nullptr);
    EXPECT_NE(g.FindChild(std::string("child")), nullptr);
    EXPECT_NE(g.FindChild(std::string_view("childish", 5)), nullptr);
    EXPECT_EQ(g.FindChild("Child"), nullptr) << "names are case-sensitive";
    EXPECT_EQ(g.FindChild("chil"), nullptr);
    EXPECT_EQ(g.GetFirstChild().GetAttribute(g.GetFirstChild().GetAttributeNameAt(0)), "v");

    // A name cut to fit its record equals nothing, not even its own first 87 characters.
    const std::string longName(100, 'n');
    CSettings t;
    const CSettingsGroup& lg =
        Parse(t, "<?xml version=\"1.0\"?><" + longName + " " + longName + "=\"1\"/>").GetFirstChild();
    EXPECT_TRUE(lg.GetName().IsTruncated());
    EXPECT_EQ(t.FindChild(longName), nullptr);
    EXPECT_EQ(t.FindChild(std::string(87, 'n')), nullptr);
    EXPECT_EQ(t.FindChild(lg.GetName()), nullptr);
    EXPECT_FALSE(lg.HasAttribute(std::string(87, 'n')));
    EXPECT_EQ(lg.GetAttributeCount(), 1u);
}

TEST(Settings, AttributesSortedWithDuplicatesKept)
{
    CSettingsGroup g(CFixedString("g"));
    g.SetAttribute(CFixedString("zeta"), std::string("1"));
    g.SetAttribute("alpha", "2");
    g.SetAttribute("mid", nullptr);
    g.SetAttribute(CFixedString("alpha"), std::string("3"));
    ASSERT_EQ(g.GetAttributeCount(), 4u);
    const char* order[] = {"alpha", "alpha", "mid", "zeta"};
    for (u32 i = 0; i < 4; ++i)
        EXPECT_STREQ(g.GetAttributeNameAt(i).GetText(), order[i]);
    EXPECT_TRUE(g.HasAttribute("mid"));
    EXPECT_EQ(g.GetAttribute("mid"), "");
    const std::string& alpha = g.GetAttribute("alpha");
    EXPECT_TRUE(alpha == "2" || alpha == "3");
    EXPECT_EQ(g.FindAttribute("none"), nullptr);
    EXPECT_EQ(g.FindAttribute("zeta")->GetString(), "1");

    // Binary search over many names, present and absent.
    CSettingsGroup many(CFixedString("m"));
    for (int i = 999; i >= 0; i -= 2)
        many.SetAttribute(("k" + std::to_string(i)).c_str(), std::to_string(i).c_str());
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(many.HasAttribute("k" + std::to_string(i)), i % 2 == 1) << i;
    EXPECT_EQ(many.GetInt("k555"), 555);
}

TEST(Settings, ManyAttributesInReverseOrderLoadSortedWithDuplicatesInOrder)
{
    // 20,000 attributes in reverse name order (each insertion in place used to move all the
    // others), then a repeated name whose values must keep their document order.
    constexpr int kCount = 20000;
    std::string xml = "<?xml version=\"1.0\"?>\n<big";
    for (int i = kCount - 1; i >= 0; --i) {
        char name[32];
        std::snprintf(name, sizeof(name), " a%05d=\"%d\"", i, i);
        xml += name;
    }
    xml += " a00007=\"second\" a00007=\"third\"/>\n<after z=\"1\" b=\"2\"";
    CSettings s;
    ASSERT_TRUE(s.LoadXmlText(xml)); // the document ends inside the last start tag
    const CSettingsGroup& big = s.GetChild("big");
    ASSERT_EQ(big.GetAttributeCount(), static_cast<u32>(kCount + 2));
    const auto& attributes = big.GetAttributes();
    for (size_t i = 1; i < attributes.size(); ++i)
        ASSERT_FALSE(attributes[i - 1].Name->IsGreater(*attributes[i].Name)) << i;
    EXPECT_EQ(big.GetInt("a12345"), 12345);
    EXPECT_EQ(attributes[7].Value.GetString(), "7");
    EXPECT_EQ(attributes[8].Value.GetString(), "second");
    EXPECT_EQ(attributes[9].Value.GetString(), "third");
    const CSettingsGroup& after = s.GetChild("after");
    ASSERT_EQ(after.GetAttributeCount(), 2u);
    EXPECT_STREQ(after.GetAttributeNameAt(0).GetText(), "b");
    EXPECT_EQ(after.GetInt("z"), 1);
}

TEST(Settings, AddRemoveAndCopy)
{
    CSettings s;
    Parse(s, R"(<?xml version="1.0"?>
        <w id="1"><named_object name="tabs"><tab n="a"/></named_object><body x="1"><p/></body></w>)");
    const CSettingsGroup& w = s.GetFirstChild();

    CSettingsGroup copy(CFixedString("other"));
    w.CopyTo(copy);
    EXPECT_STREQ(copy.GetName().GetText(), "w");
    EXPECT_EQ(copy.GetAttribute("id"), "1");
    ASSERT_EQ(copy.CountChildren(""), 2u);
    EXPECT_EQ(copy.GetNamedObject("tabs").GetAttribute("n"), "a");
    EXPECT_NE(copy.FindNamedObject("tabs"), w.FindNamedObject("tabs")) << "a deep copy";
    EXPECT_NE(copy.GetChild("body").FindChild("p"), nullptr);
    EXPECT_EQ(copy.GetChild("body").GetParent(), &copy);

    // Removal takes the registration with it and renumbers the siblings.
    const CSettingsGroup* tab = copy.FindNamedObject("tabs");
    EXPECT_FALSE(copy.RemoveChild(w.FindFirstChild()));
    EXPECT_TRUE(copy.RemoveChild(tab));
    EXPECT_FALSE(copy.RemoveChild(tab));
    EXPECT_EQ(copy.FindNamedObject("tabs"), nullptr);
    ASSERT_EQ(copy.CountChildren(""), 1u);
    EXPECT_EQ(copy.GetFirstChild().FindNextSibling(), nullptr);

    // A child keeps working after its parent is gone, and moving a child detaches it first.
    CSettingsGroup::Ptr kept = copy.GetChildren()[0];
    {
        CSettingsGroup a(CFixedString("a"));
        EXPECT_TRUE(a.AddChild(kept, CFixedString("reg")));
        EXPECT_EQ(copy.CountChildren(""), 0u);
        EXPECT_EQ(a.GetNamedObject("reg").GetParent(), &a);
        EXPECT_FALSE(kept->AddChild(kept));
        CSettingsGroup::Ptr inner = kept->GetChildren()[0];
        EXPECT_FALSE(inner->AddChild(kept)) << "a group cannot own its ancestor";
        EXPECT_FALSE(a.AddChild(CSettingsGroup::Ptr()));
    }
    EXPECT_EQ(kept->GetParent(), nullptr);
    EXPECT_EQ(kept->FindNextSibling(), nullptr);
}

TEST(Settings, WriterRoundTripKeepsEscapesAndCyrillic)
{
    CTempFolder tmp;
    const WString text = u"A&B \"Привет\" <мир>";
    const WString path = Utf8ToWide(tmp / "profile.xml");
    {
        CXmlWriter writer(true);
        CXmlWriter::CElement root(writer, "profile");
        root.SetAttribute("name", text.c_str());
        root.SetAttribute("level", 3);
        CXmlWriter::CElement child(root, "option");
        child.SetAttribute("on", true);
        child.Close();
        root.Close();
        ASSERT_TRUE(writer.SaveToFile(path));
    }
    CSettings s;
    ASSERT_TRUE(s.LoadXml(path.c_str()));
    const CSettingsGroup& profile = s.GetChild("profile");
    EXPECT_EQ(profile.GetAttribute("name"), WideToUtf8(text));
    WString read;
    profile.ReadWString("name", read);
    EXPECT_EQ(read, text);
    EXPECT_EQ(profile.GetInt("level"), 3);
    EXPECT_TRUE(profile.GetChild("option").GetBool("on"));
}

TEST(SettingsValues, InternedAndCounted)
{
    using Value = CSettingsRefCountedConstString;
    Value empty;
    Value::CollectGarbage();
    const u64 total = Value::GetTotalBytes();
    {
        Value a("interned-value-x");
        Value b(std::string("interned-value-x"));
        EXPECT_EQ(&a.GetString(), &b.GetString()) << "one entry per text";
        EXPECT_EQ(Value::GetTotalBytes(), total + 17);
        EXPECT_EQ(Value::GetReferencedBytes(), total + 17);
        Value c;
        EXPECT_TRUE(c.empty());
        c = a;
        c = c;
        EXPECT_EQ(c, a);
        c = "other";
        EXPECT_EQ(c.GetString(), "other");
        EXPECT_TRUE(a < c);
        EXPECT_FALSE(c < a);
        EXPECT_EQ(Value::GetReferencedBytes(), total + 17 + 6);
    }
    // Released entries stay in the pool (far below the collection size) until a collection.
    EXPECT_EQ(Value::GetTotalBytes(), total + 17 + 6);
    EXPECT_EQ(Value::GetReferencedBytes(), total);
}

TEST(SettingsValues, CollectionRunsOnlyPastBothThresholds)
{
    using Value = CSettingsRefCountedConstString;
    CTempFolder logFolder;
    CLogCapture log(logFolder);
    Value::CollectGarbage();
    const std::string startLine = "[core][0]: CSettingsRefCountedConstString strings gc start. bytes: ";
    const std::string endLine = "[core][0]: CSettingsRefCountedConstString strings gc end. bytes: ";
    auto runs = [&] { return log.Count(startLine); };
    const size_t initialRuns = runs();
    const u64 base = Value::GetTotalBytes();
    ASSERT_EQ(Value::GetReferencedBytes(), base);
    ASSERT_LT(base, 1000u);

    // Up to 4096 bytes nothing is collected, however much of it is unreferenced.
    u64 made = 0;
    for (int i = 0; made + 100 <= Value::kCollectMinBytes - base; ++i) {
        Value v(std::string(96, 'a') + std::to_string(100 + i)); // 99 characters
        made += v.size() + 1;
    }
    EXPECT_EQ(Value::GetTotalBytes(), base + made);
    EXPECT_EQ(Value::GetReferencedBytes(), base);
    EXPECT_EQ(runs(), initialRuns);

    // The next released text takes the pool past 4096 bytes: one collection frees everything
    // unreferenced.
    const u64 before = Value::GetTotalBytes() + 201;
    {
        Value v(std::string(200, 'z'));
    }
    EXPECT_EQ(runs(), initialRuns + 1);
    EXPECT_TRUE(log.Contains(startLine + std::to_string(before) + "\r\n"));
    EXPECT_TRUE(log.Contains(endLine + std::to_string(base) + "\r\n"));
    EXPECT_EQ(Value::GetTotalBytes(), base);

    // Above 4096 bytes, releases leave the pool alone while at most 10 % is unreferenced.
    std::vector<Value> live;
    for (int i = 0; i < 100; ++i)
        live.emplace_back(std::string(90, 'L') + std::to_string(1000 + i) + "-----"); // 99 characters
    const u64 total = Value::GetTotalBytes();
    ASSERT_EQ(total, base + 100 * 100);
    size_t released = 0;
    while ((released + 1) * 100 * 100 / total <= Value::kCollectMaxWastePercent) {
        live.pop_back();
        ++released;
        EXPECT_EQ(runs(), initialRuns + 1) << released;
    }
    EXPECT_GE(released, 9u);
    live.pop_back();
    EXPECT_EQ(runs(), initialRuns + 2);
    EXPECT_EQ(Value::GetTotalBytes(), Value::GetReferencedBytes());
    EXPECT_EQ(Value::GetTotalBytes(), base + live.size() * 100);
}
