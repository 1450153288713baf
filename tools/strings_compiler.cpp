// strings_compiler: compiles a strings.xml into the binary string table.
//
//   strings_compiler strings.xml strings.bindump
//
// Every element with an "id" attribute defines the string with that id from its text. Ids that
// occur again are reported and keep their first text, as the game does.
#include "content/StringTableWriter.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: strings_compiler strings.xml strings.bindump\n");
        return 2;
    }
    lv::content::CStringTableWriter writer;
    std::vector<s32> duplicates;
    std::string error;
    if (!writer.AddXmlFile(argv[1], &duplicates, &error)) {
        std::fprintf(stderr, "strings_compiler: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    for (s32 id : duplicates)
        std::fprintf(stderr, "strings_compiler: %s: duplicate string id %d, the first text is kept\n", argv[1], id);
    if (!writer.WriteBindump(argv[2], &error)) {
        std::fprintf(stderr, "strings_compiler: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %zu strings\n", argv[2], writer.GetCount());
    return 0;
}
