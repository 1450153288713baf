#pragma once
// Fixtures of the scene stack, miniscene, tutorial and achievement tests: the miniframe images
// at fixed sizes, the clips "skip_progress" (200 x 40), "tutorial_1".."tutorial_16" and
// "achive_<id>" for the fifteen awards, the detective popups and "achive_unlisted"; and a quest
// whose main scene "hall" has miniscenes "closeup" (600 x 400, with images "close_over", a
// hidden "close_normal" in its place, and "edge" across its right side), "mini2".."mini6" (200 x 100; "mini3" with scene flag 4), plus
// the tutorial's scenes "HOME_ENTER" and "home_enter_hidden" with their gate objects.
#include "GameWindowTestSupport.h"

#include "anim/ClipManager.h"
#include "anim/ClipsBuilder.h"
#include "content/ImageWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "core/ContentTestSupport.h"
#include "core/MessageBox.h"
#include "game/play/SceneStack.h"
#include "graphics/ImageHandle.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "qe/SceneView.h"

#include <fstream>
#include <string>
#include <vector>

namespace scenestacktest {

struct SStackImage
{
    const char* name;
    u32 width, height;
    u32 colour;
};

inline const std::vector<SStackImage>& StackImages()
{
    static const std::vector<SStackImage> images = {
        {"windows_miniframe_miniframe", 96, 96, 0xFF806040u},
        {"windows_miniframe_button_closed_normal", 30, 28, 0xFFC00000u},
        {"windows_miniframe_button_closed_on", 30, 28, 0xFFFF4040u},
        {"windows_miniframe_button_closed_press", 30, 28, 0xFF800000u},
        {"windows_miniframe_button_info_normal", 24, 26, 0xFF00C000u},
        {"windows_miniframe_button_info_on", 24, 26, 0xFF40FF40u},
        {"windows_miniframe_button_info_press", 24, 26, 0xFF008000u},
        {"scenes_interactive", 64, 64, 0xFF202020u},
        {"scenes_black", 64, 64, 0xFF000000u},
        {"solid", 40, 40, 0xFFFFFFFFu},
    };
    return images;
}

inline const char* const kAchievementIds[15] = {
    "collector", "eagle_eye", "detective",   "geniy",    "shopogolik",    "thinker",  "champion", "explorer",
    "rescuer",   "ranger",    "runner",      "csatle_enter", "alchemist", "spider_winner", "engineer"};

// Safe to call from every test: the first call declares the images and loads the clips.
inline void DeclareStackContent()
{
    static const bool declared = [] {
        lv::core::SetQuietMessageBoxes(true);
        static const CTempFolder folder;
        std::filesystem::create_directories(folder.Path() / "gfx");
        std::string surfaces, group;
        for (const SStackImage& image : StackImages())
        {
            std::vector<u32> pixels(image.width * image.height, image.colour);
            std::vector<u8> png;
            EXPECT_TRUE(lv::content::EncodePngArgb(image.width, image.height, pixels, true, png));
            const std::string path = std::string("gfx/") + image.name + ".png";
            std::ofstream(folder.Path() / path, std::ios::binary)
                .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
            surfaces += "<surface path=\"" + path + "\" width=\"" + std::to_string(image.width) + "\" height=\"" +
                        std::to_string(image.height) + "\"/>";
            group += std::string("<image id=\"") + image.name + "\" path=\"" + path + "\" cols=\"1\" rows=\"1\"/>";
        }
        const CWorkingFolder cwd(folder.Path());
        std::vector<u8> blob;
        EXPECT_TRUE(lv::content::CompileTextureDeclarations("<?xml version=\"1.0\"?>\n<resources><surfaces>" +
                                                                surfaces + "</surfaces><group id=\"stack\">" +
                                                                group + "</group></resources>",
                                                            blob));
        auto* declarations = new lv::graphics::CTextureDeclarations();
        EXPECT_TRUE(declarations->LoadBlob(blob.data(), static_cast<u32>(blob.size())));
        lv::graphics::CTextureManager::Instance().Init(declarations);

        std::vector<std::string> names = {"skip_progress", "achive_detective_sniper", "achive_sniper",
                                          "achive_detective", "achive_unlisted"};
        for (int i = 1; i <= 16; ++i)
            names.push_back("tutorial_" + std::to_string(i));
        for (const char* id : kAchievementIds)
            names.push_back(std::string("achive_") + id);
        lv::misc::anim::CClipsBuilder builder;
        for (const std::string& name : names)
        {
            const std::string size = name == "skip_progress" ? "w=\"200\" h=\"40\"" : "w=\"100\" h=\"100\"";
            const std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Clip id=\"" + name + "\" " + size +
                                    ">\n<image id=\"a\" i_id=\"solid\" vis=\"true\">\n"
                                    "<kp t=\"0\" p=\"20 20\" py=\"-20 -20 20 -20 20 20 -20 20\" c=\"-1\" itpl=\"true\"/>\n"
                                    "<kp t=\"30000\" p=\"20 20\" py=\"-20 -20 20 -20 20 20 -20 20\" c=\"-1\"/>\n"
                                    "</image>\n</Clip>\n";
            EXPECT_TRUE(builder.AddXml(xml.data(), xml.size())) << name;
        }
        static const std::vector<u8> image = builder.Build();
        EXPECT_TRUE(lv::misc::anim::CClipManager::Instance().LoadImage(image.data(), static_cast<u32>(image.size())));
        return true;
    }();
    (void)declared;
    // Scene images are hit-tested on their pixel copy: "solid" is opaque all over. Filled at
    // every call, as a test that releases the device textures takes the copy with them.
    lv::graphics::CImageHandle* solid = lv::graphics::CTextureManager::Instance().GetImage("solid");
    EXPECT_NE(solid, nullptr);
    if (solid == nullptr)
        return;
    solid->EnsurePixelCopy();
    for (u32 y = 0; y < 40; ++y)
        for (u32 x = 0; x < 40; ++x)
            if (u32* pixel = solid->GetPixelAddress(x, y, -1))
                *pixel = 0xFFFFFFFFu;
}

// One quest record; every guid carries the record's prefix.
inline void StackQuestRecord(int record, std::string& structure, std::string& content)
{
    const std::string p = std::to_string(record + 1);
    auto scene = [&p](const char* id, const char* guid, const char* flags, const char* size) {
        return std::string("<scene id=\"") + id + "\" guid=\"" + p + guid + "\" flags=\"" + flags + "\" size=\"" +
               size + "\" work_area=\"0 0 " + size + "\"/>";
    };
    auto area = [&p](const char* id, const char* guid, int x, int y) {
        const std::string l = std::to_string(x - 20), r = std::to_string(x + 20), t = std::to_string(y - 20),
                          b = std::to_string(y + 20);
        return std::string("<area id=\"") + id + "\" guid=\"" + p + guid + "\" offset=\"" + std::to_string(x) + " " +
               std::to_string(y) + "\" size=\"40 40\"><point offset=\"" + l + " " + t + "\"/><point offset=\"" + r +
               " " + t + "\"/><point offset=\"" + r + " " + b + "\"/><point offset=\"" + l + " " + b + "\"/></area>";
    };
    // Each block hides the hall's lamp, so a click that reaches its object is seen.
    auto hides = [&p](const char* guid, const char* object) {
        return std::string("<action_block guid=\"") + p + guid + "\" id=\"use " + object + "\" object=\"" + object +
               "\" active_object=\"\"><correct_commands><hide a1=\"hall/lamp\"/></correct_commands></action_block>";
    };
    structure += "<quest id=\"q" + std::to_string(record) + "\">" + scene("hall", "11", "1", "1366 768") +
                 scene("closeup", "12", "2", "600 400") + scene("HOME_ENTER", "13", "0", "1366 768") +
                 scene("home_enter_hidden", "14", "0", "1366 768");
    const char* minis[] = {"mini2", "mini3", "mini4", "mini5", "mini6"};
    for (int i = 0; i < 5; ++i)
        structure += scene(minis[i], ("2" + std::to_string(i)).c_str(), i == 1 ? "6" : "2", "200 100");
    structure += "</quest>";

    content += "<scene_content guid=\"" + p + "11\"><objects>" + area("box", "a1", 120, 120) + "<image id=\"lamp\" guid=\"" +
               p + "a2\" image_id=\"solid\" color=\"-1\" offset=\"500 300\" size=\"40 40\"/></objects><scripts>" + hides("c1", "box") +
               "</scripts></scene_content>";
    content += "<scene_content guid=\"" + p + "12\"><objects><image id=\"close_over\" guid=\"" + p +
               "a3\" image_id=\"solid\" color=\"-1\" offset=\"560 40\" size=\"40 40\"/><image id=\"close_normal\" guid=\"" + p +
               "a9\" image_id=\"solid\" color=\"-1\" offset=\"560 40\" size=\"40 40\" object_flags=\"2\"/><image id=\"edge\" guid=\"" + p +
               "b1\" image_id=\"solid\" color=\"-1\" offset=\"590 300\" size=\"40 40\"/>" + area("spot", "a4", 300, 200) +
               "</objects><scripts>" + hides("c2", "spot") + "</scripts></scene_content>";
    content += "<scene_content guid=\"" + p + "13\"><objects>" + area("area_open_mailbox", "a5", 200, 200) +
               area("area_hog", "a6", 400, 200) + area("other", "a7", 600, 200) + "</objects><scripts>" +
               hides("c3", "area_open_mailbox") + hides("c4", "area_hog") + hides("c5", "other") +
               "</scripts></scene_content>";
    content += "<scene_content guid=\"" + p + "14\"><objects>" + area("area_take_petard", "a8", 200, 200) +
               area("area_rats", "a9", 400, 200) + "</objects><scripts>" + hides("c6", "area_take_petard") +
               hides("c7", "area_rats") + "</scripts></scene_content>";
    for (int i = 0; i < 5; ++i)
        content += "<scene_content guid=\"" + p + "2" + std::to_string(i) + "\"><objects/></scene_content>";
}

// Four records alike, so the bonus mode (record 3) plays the same scenes.
inline std::string StackQuestXml()
{
    std::string structure, content;
    for (int record = 0; record < 4; ++record)
        StackQuestRecord(record, structure, content);
    return "<?xml version=\"1.0\"?><quest_data><Structure>" + structure + "</Structure>" + content + "</quest_data>";
}

class StackFixture : public gamewindowtest::GameWindowFixture
{
protected:
    void SetUp() override
    {
        GameWindowFixture::SetUp();
        DeclareStackContent();
        DeclareSounds(R"(<sound id="gui_window_open_close" file="open.ogg"/><sound id="gui_button_press" file="press.ogg"/>)",
                      {"open.ogg", "press.ogg"});
        qe::CQuestData::Instance().Clear();
        qe::CScriptData::Instance().Release();
        const std::string xml = StackQuestXml();
        ASSERT_TRUE(qe::CQuestData::Instance().BuildFromXmlText(xml));
        ASSERT_TRUE(m_Scripts.LoadXmlText(xml));
        qe::CScriptData::Instance().Compile(m_Scripts.GetFirstChild());
    }

    // A window playing the fixture quest in the hall, past the opening transition.
    void Start()
    {
        MakeWindow();
        ASSERT_TRUE(Window->StartGame(false, false, false, false));
        Window->GetSceneStack().GetQuest()->RefreshScripts();
        Frames(40, 16);
    }

    game::CSceneStack& Stack() { return Window->GetSceneStack(); }
    qe::CScene* Scene(const char* name) { return Stack().GetQuest()->FindScene(name); }
    const char* TopName()
    {
        qe::CScene* scene = Stack().GetTopView()->GetScene();
        return scene ? scene->GetName().GetText() : "";
    }
    bool LampHidden() { return Stack().GetQuest()->FindObjectByPath("hall/lamp")->HasFlags(2); }
    // The file of the sound played last, "" when none.
    std::string LastSound()
    {
        CRecordingVoice* voice = Pool.Last();
        return voice ? voice->m_OpenedFile : "";
    }
    s32 SoundCount() { return Pool.m_Takes; }

private:
    lv::core::CSettings m_Scripts;
};

} // namespace scenestacktest
