// kivamo-demos: writes the demo movies into a folder (default: the current one).
#include "swfwriter/demomovies.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    std::string folder = argc > 1 ? argv[1] : ".";
    if (argc > 2 || folder == "--help" || folder == "-h") {
        std::fprintf(stderr, "usage: kivamo-demos [FOLDER]\n");
        return 2;
    }
    for (const auto& demo : kivamo::test::demoMovies()) {
        std::string path = folder + "/" + demo.fileName;
        if (!kivamo::test::writeFile(path, demo.bytes)) {
            std::fprintf(stderr, "kivamo-demos: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s: %s\n", path.c_str(), demo.description.c_str());
    }
    return 0;
}
