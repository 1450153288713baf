// pack_builder: writes a resource pack from folders, single files, file lists and language copies.
//
//   pack_builder -o OUT.pack [-v] [FOLDER]... [--file NAME PATH]... [--list LISTFILE]...
//                [--lang CODE FOLDER]...
//
// FOLDER         every file below it, named by its path relative to the folder; a "!langs/<code>/"
//                folder inside becomes language copies as it stands
// --file         one disk file stored under NAME
// --list         a text file with one entry per line: "NAME" (read from the list's own folder) or
//                "NAME<TAB>PATH"; empty lines and lines starting with '#' are skipped
// --lang         every file below FOLDER as a language copy "!langs/CODE/<relative path>"
#include "content/PackWriter.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: pack_builder -o OUT.pack [-v] [FOLDER]... [--file NAME PATH]... "
                         "[--list LISTFILE]... [--lang CODE FOLDER]...\n");
    return 2;
}

bool AddList(lv::content::CPackWriter& writer, const std::filesystem::path& list, std::string* error)
{
    std::ifstream in(list);
    if (!in) {
        *error = "cannot read " + list.string();
        return false;
    }
    const std::filesystem::path base = list.parent_path();
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const size_t tab = line.find('\t');
        const std::string name = line.substr(0, tab);
        const std::filesystem::path file = tab == std::string::npos ? base / name : std::filesystem::path(line.substr(tab + 1));
        if (!writer.AddDiskFile(name, file, error))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    lv::content::CPackWriter writer;
    std::string output;
    bool verbose = false;
    std::string error;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        bool ok = true;
        if (arg == "-o" && i + 1 < argc) {
            output = argv[++i];
        } else if (arg == "-v") {
            verbose = true;
        } else if (arg == "--file" && i + 2 < argc) {
            ok = writer.AddDiskFile(argv[i + 1], argv[i + 2], &error);
            i += 2;
        } else if (arg == "--list" && i + 1 < argc) {
            ok = AddList(writer, argv[++i], &error);
        } else if (arg == "--lang" && i + 2 < argc) {
            ok = writer.AddFolder(argv[i + 2], std::string("!langs/") + argv[i + 1] + "/", &error);
            i += 2;
        } else if (!arg.empty() && arg[0] != '-') {
            ok = writer.AddFolder(arg, "", &error);
        } else {
            return Usage();
        }
        if (!ok) {
            std::fprintf(stderr, "pack_builder: %s\n", error.c_str());
            return 1;
        }
    }
    if (output.empty())
        return Usage();
    if (!writer.WriteFile(output, &error)) {
        std::fprintf(stderr, "pack_builder: %s\n", error.c_str());
        return 1;
    }
    if (verbose)
        std::printf("%s: %zu entries\n", output.c_str(), writer.GetEntryCount());
    return 0;
}
