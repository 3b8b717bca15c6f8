// Program entry of kivamo.
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--version")) {
            std::printf("kivamo %s\n", KIVAMO_VERSION);
            return 0;
        }
        if (!std::strcmp(argv[i], "--help")) {
            std::printf("usage: kivamo [MOVIE.swf | LIST.kvl]\n");
            return 0;
        }
    }
    QCoreApplication app(argc, argv);
    // The player window is not part of this build yet; kivamo-swf shows what the engine reads.
    std::fprintf(stderr, "kivamo: the player window is not built yet; use kivamo-swf info MOVIE.swf\n");
    return 0;
}
