#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("game %s\n", "0.1");
            return 0;
        }
    }
    std::printf("game: the application is not assembled yet; try --version\n");
    return 0;
}
