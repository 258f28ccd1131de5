// morvex_icons: the program icon as PNG files for the desktop's icon theme,
// FOLDER/NxN/apps/morvex.png for each size N given, drawn by the program's
// own artwork code. The build runs it; it is not installed itself.
#include "CMorArtwork.h"
#include "CZelPngWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: morvex_icons FOLDER SIZE...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "morvex_icons: bad size %s\n", argv[i]);
            return 2;
        }
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / name / "apps";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        const CMorCanvas icon = CMorArtwork::programIcon(size);
        CZelPngWriter writer;
        bool written = writer.open((folder / "morvex.png").string(), size, size, icon.depth());
        for (int row = 0; written && row < size; ++row)
            written = writer.writeRow(icon.data() + static_cast<size_t>(row) * size * icon.depth());
        if (!written || !writer.close()) {
            std::fprintf(stderr, "morvex_icons: %s\n", writer.getErrorMessage().c_str());
            return 1;
        }
    }
    return 0;
}
