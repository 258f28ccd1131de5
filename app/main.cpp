// Entry point of the Morvex fence-diagram viewer.
#include "CMorDisplay.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    std::string reason;
    if (!CMorDisplay::isAvailable(reason)) {
        std::fprintf(stderr, "morvex: cannot show a window: %s.\n"
                             "morvex: Morvex is a desktop program; run it inside an X session.\n",
                     reason.c_str());
        return 1;
    }
    std::printf("Morvex %s\n", MORVEX_VERSION);
    for (int i = 1; i < argc; ++i)
        std::printf("argument %d: %s\n", i, argv[i]);
    std::printf("This build holds the scene-graph core; the viewer window is not part of it yet.\n");
    return 0;
}
