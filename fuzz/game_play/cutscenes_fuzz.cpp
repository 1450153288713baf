// Loads "properties/cutscenes.xml" from arbitrary text into a cutscene player and plays the
// cutscenes "intro", "x" and the first id the text names, part after part, with clicks on the
// skip area and stops: parts are never more than seven and every end leaves the player idle.
#include "content/WebMWriter.h"
#include "core/TimeSystem.h"
#include "game/play/CutscenePlayer.h"
#include "game/play/GameWindow.h"
#include "sound/AudioManager.h"
#include "support/InFolder.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace {

using fuzzsupport::CInFolder;

void Fail()
{
    __builtin_trap();
}

double g_Now = 0.0;

struct CFuzzWorld
{
    CFuzzWorld()
    {
        std::random_device random;
        Folder = std::filesystem::temp_directory_path() / ("cutscenes_fuzz-" + std::to_string(random()));
        std::filesystem::create_directories(Folder / "properties");
        lv::content::CWebMWriterOptions options;
        options.width = 16;
        options.height = 16;
        lv::content::CWebMWriter writer(options);
        for (u32 k = 0; k < 3; ++k)
            writer.AddFrame(lv::content::CYuvFrame(16, 16, static_cast<u8>(60 + 40 * k)));
        if (!writer.WriteFile(Folder / "v.webm"))
            Fail();
        game::CGameWindow::SetAudio(&Audio);
        game::CGameWindow::SetClock(&Clock);
    }
    ~CFuzzWorld()
    {
        std::error_code error;
        std::filesystem::remove_all(Folder, error);
    }

    std::filesystem::path Folder;
    lv::core::CTimeSystem Clock{[] { return g_Now; }};
    // No voice pool: every sound is refused, which the player must survive too.
    lv::sound::CAudioManager Audio{Clock, nullptr};
};

void Check(const game::CCutscenePlayer& player)
{
    if (player.GetPartCount() < 0 || player.GetPartCount() > game::CCutscenePlayer::kMaxParts)
        Fail();
    if (player.IsPlaying() != (player.GetCurrentPart() >= 0 && player.GetCurrentPart() < player.GetPartCount()))
        Fail();
}

void PlayThrough(CFuzzWorld& world, game::CCutscenePlayer& player, const std::string& id, bool click)
{
    player.Play(id.c_str());
    Check(player);
    const CIntRect& area = player.GetSkipArea();
    for (int frame = 0; frame < 24 && player.IsPlaying(); ++frame)
    {
        g_Now += 40.0;
        world.Clock.Tick();
        player.Update();
        if (click && player.IsPlaying() && !player.OnClick(CPoint2i(area.X + 1, area.Y + 1)))
            Fail();
        player.OnMouseMove(CPoint2i(area.X + 2, area.Y + 2));
        Check(player);
    }
    player.Stop();
    if (player.IsPlaying() || player.GetPartCount() != 0)
        Fail();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CFuzzWorld world;
    const CInFolder inFolder(world.Folder);
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::ofstream(world.Folder / "properties/cutscenes.xml", std::ios::binary)
        .write(input.data(), static_cast<std::streamsize>(input.size()));

    std::string named;
    const size_t at = input.find("id=\"");
    if (at != std::string_view::npos)
    {
        const size_t end = input.find('"', at + 4);
        named = std::string(input.substr(at + 4, end == std::string_view::npos ? 0 : end - at - 4));
    }
    game::CCutscenePlayer player;
    PlayThrough(world, player, "intro", false);
    PlayThrough(world, player, "x", true);
    PlayThrough(world, player, named, true);
    return 0;
}
