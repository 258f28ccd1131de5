// Export of the example diagram from a 1280 x 960 view as 1 x 1, 4 x 4 and
// 8 x 8 tiles, joined by the image tool "convert" and by the program's own PNG
// writer: time per export and the picture's size. Drawn offscreen.
#include "CMorExporter.h"
#include "CMorFrame.h"
#include "CMorClock.h"
#include "OffscreenContext.h"
#include "runCommand.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

constexpr int WIDTH = 1280;
constexpr int HEIGHT = 960;

long long fileSize(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

uint32_t runTool(const std::string& program, const std::vector<std::string>& arguments, const std::string& directory)
{
    return runCommand(program, arguments, directory);
}

} // namespace

int main(int argc, char** argv)
{
    // The program's log lines would bury the table.
    std::cout.setstate(std::ios_base::badbit);
    const std::string diagram = argc > 1 ? argv[1] : MORVEX_SOURCE_DIR "/data/examples/example.fnc";
    OffscreenContext context(WIDTH, HEIGHT);
    if (!context.isValid()) {
        std::fprintf(stderr, "no offscreen context: %s\n", context.getRenderer().c_str());
        return 1;
    }
    CMorFrame frame;
    frame.initializeFrame(WIDTH, HEIGHT);
    frame.resizeFrame(WIDTH, HEIGHT);
    frame.setBackgroundType(CMorFrame::BACKGROUND_GRADIENT);
    if (!frame.open(diagram)) {
        std::fprintf(stderr, "%s\n", frame.getErrorMessage().c_str());
        return 1;
    }
    char pattern[] = "/tmp/morvex-export-bench-XXXXXX";
    const std::string directory = mkdtemp(pattern);
    std::printf("\nExport of %s from a %d x %d view (%s)\n", diagram.c_str(), WIDTH, HEIGHT,
                context.getRenderer().c_str());
    std::printf("%-12s %-22s %10s %12s %14s\n", "multiplier", "writer", "seconds", "megapixels", "file bytes");
    for (int n : {1, 4, 8}) {
        for (bool tool : {true, false}) {
            const std::string output = directory + "/export-" + std::to_string(n) + (tool ? "-tool" : "-own") + ".png";
            CMorExporter exporter(&frame, tool ? CMorExporter::ToolRunner(runTool) : CMorExporter::ToolRunner());
            const double start = CMorClock::now();
            const bool ok = exporter.exportImage(output, n, n);
            const double seconds = CMorClock::now() - start;
            const char* writer = !ok ? "failed"
                                 : exporter.getWriter() == CMorExporter::WRITER_TOOL ? "convert"
                                                                                      : "own PNG writer";
            const double megapixels = static_cast<double>(n) * WIDTH * n * HEIGHT / 1e6;
            std::printf("%-12s %-22s %10.2f %12.1f %14lld\n", (std::to_string(n) + " x " + std::to_string(n)).c_str(),
                        writer, seconds, megapixels, fileSize(output));
            std::fflush(stdout);
            if (!ok)
                std::fprintf(stderr, "%s\n", exporter.getErrorMessage().c_str());
            if (std::getenv("MORVEX_BENCH_KEEP") == nullptr)
                std::remove(output.c_str());
        }
    }
    if (std::getenv("MORVEX_BENCH_KEEP") == nullptr)
        rmdir(directory.c_str());
    else
        std::printf("Pictures kept in %s\n", directory.c_str());
    return 0;
}
