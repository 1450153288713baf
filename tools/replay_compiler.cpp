// replay_compiler: compiles a text script of timed input into the input recording that the
// program plays back with Ctrl+Alt+P (the file "replay" in its working folder).
//
//   replay_compiler play.txt replay
//
// The script's statements are described in content/ReplayScript.h; its checkpoints are only
// listed, for the tests that read the script.
#include "content/ReplayScript.h"

#include <cstdio>
#include <fstream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: replay_compiler script.txt replay\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "replay_compiler: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    lv::content::SReplayScript script;
    std::string error;
    if (!lv::content::CompileReplayScript(text.str(), script, error)) {
        std::fprintf(stderr, "replay_compiler: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const std::string image = lv::core::WriteInputRecording(script.records);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "replay_compiler: cannot write %s\n", argv[2]);
        return 1;
    }
    for (const auto& checkpoint : script.checkpoints)
        std::printf("checkpoint %s at %u ms\n", checkpoint.name.c_str(), checkpoint.time);
    std::printf("%s: %zu records, %zu checkpoints\n", argv[2], script.records.size(), script.checkpoints.size());
    return 0;
}
