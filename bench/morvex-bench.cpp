// The benchmark suite: generates the synthetic diagrams, measures decoding,
// opening, drawing, tiled pictures, memory, the readers and panel building,
// each in fresh processes, and prints one table of medians, every figure also
// as a ratio to its lower bound. Measurements, not tests.
#include "CBenchChild.h"
#include "CSyntheticDiagram.h"

#include <dirent.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Figures = std::map<std::string, std::vector<double>>;

std::string g_self;

// Runs this program with the arguments in a child process; adds its result
// lines and its peak resident memory ("peak", bytes) to the figures.
bool runChild(const std::vector<std::string>& arguments, Figures& figures)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return false;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeEnds[1], 1);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        std::vector<char*> argv{const_cast<char*>(g_self.c_str())};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(g_self.c_str(), argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string output;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<size_t>(n));
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench: %s %s failed\n", g_self.c_str(), arguments.front().c_str());
        return false;
    }
    char name[64];
    double value = 0.0;
    const char* line = output.c_str();
    int used = 0;
    while (std::sscanf(line, "%63s %lf\n%n", name, &value, &used) == 2) {
        figures[name].push_back(value);
        line += used;
    }
    figures["peak"].push_back(static_cast<double>(usage.ru_maxrss) * 1024.0);
    return true;
}

double median(const Figures& figures, const std::string& name)
{
    auto found = figures.find(name);
    if (found == figures.end() || found->second.empty())
        return 0.0;
    std::vector<double> values = found->second;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string milliseconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, seconds < 0.1 ? "%.2f ms" : "%.0f ms", seconds * 1e3);
    return text;
}

std::string mebibytes(double bytes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f MiB", bytes / (1024.0 * 1024.0));
    return text;
}

void row(const std::string& diagram, const std::string& measure, const std::string& figure,
         const std::string& bound, double ratio, const std::string& note)
{
    char ratioText[16] = "";
    if (ratio > 0.0)
        std::snprintf(ratioText, sizeof ratioText, "%.2f", ratio);
    std::printf("%-9s %-34s %10s  %-30s %6s  %s\n", diagram.c_str(), measure.c_str(), figure.c_str(), bound.c_str(),
                ratioText, note.c_str());
    std::fflush(stdout);
}

std::string verdict(bool met, const std::string& target)
{
    return target + (met ? ": met" : ": MISSED");
}

struct Diagram {
    std::string name;
    std::string description;
    std::vector<std::string> images;
    double pixels = 0.0;
};

bool exampleDiagram(Diagram& diagram)
{
    diagram.name = "example";
    const std::string dir = std::string(MORVEX_SOURCE_DIR) + "/data/examples";
    diagram.description = dir + "/example.fnc";
    DIR* images = opendir((dir + "/images").c_str());
    if (images == nullptr)
        return false;
    while (dirent* entry = readdir(images))
        if (entry->d_name[0] != '.')
            diagram.images.push_back(dir + "/images/" + entry->d_name);
    closedir(images);
    std::sort(diagram.images.begin(), diagram.images.end());
    return !diagram.images.empty();
}

bool syntheticDiagram(const std::string& name, const std::string& dataDir, int fences, int width, int height,
                      CSyntheticDiagram::Format format, Diagram& diagram)
{
    CSyntheticDiagram synthetic(fences, width, height, format, 6);
    synthetic.setFastCompression(static_cast<double>(width) * height > 1e8);
    std::printf("(preparing the %s diagram in %s/%s)\n", name.c_str(), dataDir.c_str(), name.c_str());
    std::fflush(stdout);
    if (!synthetic.write(dataDir + "/" + name)) {
        std::fprintf(stderr, "bench: %s\n", synthetic.getErrorMessage().c_str());
        return false;
    }
    diagram.name = name;
    diagram.description = synthetic.getDescriptionPath();
    diagram.images = synthetic.getImagePaths();
    diagram.pixels = synthetic.getPixelCount();
    return true;
}

// The VTK peer under a private X server, when python3-vtk9 is there.
bool runPeer(const Diagram& diagram, int runs, const std::string& dataDir, Figures& figures)
{
    const std::string source = MORVEX_SOURCE_DIR;
    if (std::system("/usr/bin/python3 -c 'import vtkmodules' >/dev/null 2>&1") != 0)
        return false;
    for (int run = 0; run < runs; ++run) {
        const std::string command = source + "/tests/gui/rig.sh --run /usr/bin/python3 " + source +
                                    "/bench/peers/vtk_peer.py '" + diagram.description + "' '" + dataDir +
                                    "/peer.png' 1280 960 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr)
            return false;
        char name[64];
        double value = 0.0;
        char line[256];
        while (std::fgets(line, sizeof line, pipe))
            if (std::sscanf(line, "peer-%63s %lf", name, &value) == 2)
                figures[name].push_back(value);
        if (pclose(pipe) != 0)
            return false;
    }
    return !figures.empty();
}

// The seconds a command reports for opening a diagram: the program's own
// "Opened FILE: N fences in T s" line, or the viewer script's "viewer-open T".
// 0 when neither comes or the command fails.
double openSeconds(const std::string& command)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return 0.0;
    double seconds = 0.0;
    char line[8192];
    while (std::fgets(line, sizeof line, pipe)) {
        const char* fences = std::strstr(line, " fences in ");
        if (std::strncmp(line, "Opened ", 7) == 0 && fences != nullptr)
            seconds = std::atof(fences + 11);
        else if (std::strncmp(line, "viewer-open ", 12) == 0)
            seconds = std::atof(line + 12);
    }
    return pclose(pipe) == 0 ? seconds : 0.0;
}

// Removes the tile cache the children share, so that the next open makes
// every pyramid anew.
void clearCache(const std::string& dataDir)
{
    const std::string command = "rm -rf '" + dataDir + "/cache'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "bench: cannot clear %s/cache\n", dataDir.c_str());
}

// The viewer itself under a private X server opens the diagram through File >
// Open, with its log window shown and hidden, against the headless renderer
// opening the same file; both say how long their open took.
void measureViewer(const Diagram& diagram, int runs, const std::string& dataDir)
{
    const std::string binary = MORVEX_BINARY_DIR;
    Figures figures;
    for (int run = 0; run < runs; ++run) {
        // Both make every pyramid anew: the viewer under the rig caches in
        // a private folder each time.
        clearCache(dataDir);
        const double headless = openSeconds(binary + "/morvex-render '" + diagram.description + "' -o '" + dataDir +
                                            "/render.png' 2>/dev/null");
        for (const char* log : {"hidden", "shown"}) {
            const double viewer = openSeconds(std::string(MORVEX_SOURCE_DIR) + "/bench/viewer-open.sh " + binary +
                                              "/morvex '" + diagram.description + "' " + log + " 2>/dev/null");
            if (viewer > 0.0)
                figures[log].push_back(viewer);
        }
        if (headless > 0.0)
            figures["headless"].push_back(headless);
    }
    const double headless = median(figures, "headless");
    row("viewer", "morvex-render: open " + diagram.name, headless > 0.0 ? milliseconds(headless) : "-", "", 0.0,
        headless > 0.0 ? "" : "not run: morvex-render failed");
    for (const char* log : {"hidden", "shown"}) {
        const double viewer = median(figures, log);
        row("", std::string("viewer under Xvfb, log window ") + log, viewer > 0.0 ? milliseconds(viewer) : "-",
            "morvex-render's open", viewer > 0.0 && headless > 0.0 ? viewer / headless : 0.0,
            viewer > 0.0 ? verdict(viewer <= 1.2 * headless, "<= 1.2") : "not run: Xvfb, xdotool or the viewer failed");
    }
}

void measureDiagram(const Diagram& diagram, int runs, const std::string& dataDir, bool peer)
{
    // The gigapixel diagram is measured for its targets alone: opening,
    // frames far and near and memory; the others in full.
    const bool huge = diagram.name == "gigapixel";
    Figures decode, open, again;
    std::vector<std::string> decodeArguments{"--child-decode"};
    decodeArguments.insert(decodeArguments.end(), diagram.images.begin(), diagram.images.end());
    for (int run = 0; run < runs; ++run) {
        clearCache(dataDir);
        if (!runChild(decodeArguments, decode) ||
            !runChild({"--child-open", diagram.description, "1280", "960", "4", dataDir + "/tiled.png",
                       huge ? "close" : "full"},
                      open) ||
            !runChild({"--child-open", diagram.description, "1280", "960", "4", dataDir + "/tiled.png", "close"},
                      again))
            return;
    }
    clearCache(dataDir);
    double pixels = diagram.pixels;
    if (pixels <= 0.0)
        pixels = median(decode, "pixels");
    const bool big = diagram.name != "example";
    const double decodeTime = median(decode, "decode");
    const double openTime = median(open, "open");
    const double steady = median(again, "steady");
    char label[64];
    std::snprintf(label, sizeof label, "decode only (%zu pictures)", diagram.images.size());
    row(diagram.name, label, milliseconds(decodeTime), "itself: libpng/libjpeg alone", 1.0, "");
    const double openLimit = huge ? 1.0 : diagram.name == "medium" ? 0.83 : 1.25;
    char openTarget[16];
    std::snprintf(openTarget, sizeof openTarget, "<= %.2f", openLimit);
    row("", "first open: decode, pyramid, cache", milliseconds(openTime), "decode only", openTime / decodeTime,
        big ? verdict(openTime <= openLimit * decodeTime, openTarget) : "");
    const double cached = median(again, "open") + median(again, "first");
    row("", "second open + first frame, cached", milliseconds(cached), "decode only", cached / decodeTime,
        huge ? verdict(cached <= 0.15 * decodeTime, "<= 0.15") : "");
    row("", "first frame 1280x960 (first open)", milliseconds(median(open, "first")), "steady frame",
        median(open, "first") / steady, "");
    row("", "steady frame, whole diagram", milliseconds(steady), "clear only", steady / median(again, "clear"),
        huge ? verdict(steady < 0.033, "< 33 ms") : diagram.name == "medium" ? verdict(steady <= 0.016, "<= 16 ms") : "");
    const double near = median(again, "near");
    row("", "steady frame, 1 picture px per px", milliseconds(near), "clear only", near / median(again, "clear"),
        huge ? verdict(near < 0.033, "< 33 ms") : "");
    // Only the synthetic pictures hold the checkerboard.
    if (big)
        row("", "close-up: 1-px checkerboard kept", median(again, "checker") > 0.5 ? "yes" : "no", "", 0.0,
            verdict(median(again, "checker") > 0.5, "kept"));
    if (!huge) {
        row("", "steady frame, antialias 2 (4 pass)", milliseconds(median(open, "aa2")), "4 bare accumulated passes",
            median(open, "aa2") / median(open, "aa2bare"), "");
        row("", "steady frame, antialias 6 (66 p.)", milliseconds(median(open, "aa6")), "66 bare accumulated passes",
            median(open, "aa6") / median(open, "aa6bare"), "");
        row("", "4x4 tiled picture 5120x3840 PNG", milliseconds(median(open, "tiled")), "16 steady frames",
            median(open, "tiled") / (16.0 * steady), "");
    }
    const double peak = std::max(median(open, "peak"), median(again, "peak"));
    char perPixel[64] = "";
    if (pixels > 0.0)
        std::snprintf(perPixel, sizeof perPixel, "%.2f bytes per image pixel", peak / pixels);
    const bool peakMet = huge ? peak < 1.5 * (1 << 30) : peak / pixels <= 3.0;
    row("", "peak memory (either open)", mebibytes(peak), "3 bytes per image pixel",
        pixels > 0.0 ? peak / (3.0 * pixels) : 0.0,
        huge ? verdict(peakMet, std::string(perPixel) + ", < 1536 MiB")
             : big ? verdict(peakMet, std::string(perPixel) + ", <= 3") : perPixel);

    Figures peerFigures;
    if (peer && !huge && runPeer(diagram, std::min(runs, 3), dataDir, peerFigures)) {
        const double peerOpen = median(peerFigures, "open");
        const double peerFrame = median(peerFigures, "steady");
        row("", "VTK peer: open (read, build, 1st)", milliseconds(peerOpen), "ours: first open + first frame",
            peerOpen / (openTime + median(open, "first")),
            verdict(openTime + median(open, "first") < peerOpen, "ours ahead"));
        row("", "VTK peer: steady frame", milliseconds(peerFrame), "ours: steady frame", peerFrame / steady,
            verdict(steady < peerFrame, "ours ahead"));
        row("", "VTK peer: peak memory", mebibytes(median(peerFigures, "peak")), "ours: peak memory",
            median(peerFigures, "peak") / peak, "");
    } else if (peer && !huge) {
        row("", "VTK peer", "-", "", 0.0, "not run: python3-vtk9 missing or the peer failed");
    }
}

// Free bytes on the disk that holds the folder.
double freeBytes(const std::string& folder)
{
    struct statvfs info;
    return statvfs(folder.c_str(), &info) == 0 ? static_cast<double>(info.f_bavail) * info.f_frsize : 0.0;
}

int suite(int argc, char** argv)
{
    int runs = 5;
    std::string sizes = "example,medium,large,gigapixel";
    std::string dataDir = MORVEX_BENCH_DATA;
    bool peer = true;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (option == "--sizes" && i + 1 < argc)
            sizes = argv[++i];
        else if (option == "--data" && i + 1 < argc)
            dataDir = argv[++i];
        else if (option == "--no-peer")
            peer = false;
        else if (option == "--keep-data")
            keep = true;
        else {
            std::fprintf(stderr,
                         "Usage: morvex_bench [--runs N] [--sizes example,medium,large,gigapixel] [--data DIR] [--no-peer]\n"
                         "                   [--keep-data]\n"
                         "       morvex_bench --generate DIR FENCES WIDTH HEIGHT png|jpeg|mixed POINTS\n");
            return 2;
        }
    }
    std::string command = "mkdir -p '" + dataDir + "'";
    if (std::system(command.c_str()) != 0)
        return 1;
    // XDG_CACHE_HOME must be absolute, or the children fall back on the
    // user's own cache and never start afresh.
    if (char* absolute = realpath(dataDir.c_str(), nullptr)) {
        dataDir = absolute;
        std::free(absolute);
    }
    // The children cache their tiles here, never in the user's cache.
    setenv("XDG_CACHE_HOME", (dataDir + "/cache").c_str(), 1);
    std::vector<Diagram> diagrams;
    const std::string list = "," + sizes + ",";
    std::string skipped;
    Diagram diagram;
    if (list.find(",example,") != std::string::npos && exampleDiagram(diagram))
        diagrams.push_back(diagram);
    if (list.find(",medium,") != std::string::npos &&
        syntheticDiagram("medium", dataDir, 20, 4096, 1024, CSyntheticDiagram::FORMAT_PNG, diagram))
        diagrams.push_back(diagram);
    if (list.find(",large,") != std::string::npos &&
        syntheticDiagram("large", dataDir, 20, 8192, 2048, CSyntheticDiagram::FORMAT_MIXED, diagram))
        diagrams.push_back(diagram);
    // 2 gigapixels: about 2.5 GiB of pictures and 6 GiB of cached tiles.
    const std::string gigapixelDir = dataDir + "/gigapixel";
    const double needed = 12.0 * (1 << 30);
    if (list.find(",gigapixel,") != std::string::npos) {
        DIR* existing = opendir(gigapixelDir.c_str());
        const bool made = existing != nullptr;
        if (existing != nullptr)
            closedir(existing);
        if (!made && freeBytes(dataDir) < needed) {
            char note[128];
            std::snprintf(note, sizeof note, "not run: %.0f GiB free on the disk, it needs 12",
                          freeBytes(dataDir) / (1 << 30));
            skipped = note;
        } else if (syntheticDiagram("gigapixel", dataDir, 8, 20000, 12500, CSyntheticDiagram::FORMAT_PNG, diagram)) {
            diagrams.push_back(diagram);
        }
    }

    std::printf("\nMorvex benchmarks: medians of %d runs, each in a fresh process, offscreen (OSMesa) at 1280 x 960.\n"
                "ratio = figure / its lower bound.\n\n",
                runs);
    row("diagram", "measure", "median", "lower bound", 0.0, "ratio  target");
    for (const Diagram& d : diagrams)
        measureDiagram(d, d.name == "gigapixel" ? 1 : runs, dataDir, peer);
    if (!skipped.empty())
        row("gigapixel", "8 PNG sections of 20000 x 12500", "-", "", 0.0, skipped);
    // Its pictures are kept only when asked: they fill gigabytes.
    if (!keep && std::system(("rm -rf '" + gigapixelDir + "'").c_str()) != 0)
        std::fprintf(stderr, "bench: cannot remove %s\n", gigapixelDir.c_str());

    Figures panel;
    for (int run = 0; run < runs; ++run)
        if (!runChild({"--child-panel"}, panel))
            break;
    row("panel", "pyramid of 16384x4096 in memory", milliseconds(median(panel, "panel")), "copying its pixels once",
        median(panel, "panel") / median(panel, "panelcopy"), "");
    for (const Diagram& d : diagrams) {
        if (d.name != "large")
            continue;
        for (size_t k = 0; k < 2 && k < d.images.size(); ++k) {
            Figures reader;
            for (int run = 0; run < runs; ++run)
                if (!runChild({"--child-reader", d.images[k]}, reader))
                    break;
            const bool png = d.images[k].find(".png") != std::string::npos;
            row("reader", png ? "PNG 8192x2048" : "JPEG 8192x2048", milliseconds(median(reader, "reader")),
                png ? "libpng alone" : "libjpeg alone", median(reader, "reader") / median(reader, "plain"), "");
        }
    }
    for (const Diagram& d : diagrams)
        if (d.name == "medium")
            measureViewer(d, std::min(runs, 3), dataDir);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    g_self = "/proc/self/exe";
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length > 0)
        g_self.assign(path, static_cast<size_t>(length));
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--child-decode")
        return CBenchChild::decode(std::vector<std::string>(argv + 2, argv + argc));
    if (mode == "--child-open" && argc == 8)
        return CBenchChild::open(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), argv[6],
                                 std::string(argv[7]) == "close");
    if (mode == "--child-panel")
        return CBenchChild::panel();
    if (mode == "--child-reader" && argc == 3)
        return CBenchChild::reader(argv[2]);
    if (mode == "--generate") {
        CSyntheticDiagram::Format format = CSyntheticDiagram::FORMAT_PNG;
        if (argc != 8 || !CSyntheticDiagram::parseFormat(argv[6], format)) {
            std::fprintf(stderr, "Usage: morvex_bench --generate DIR FENCES WIDTH HEIGHT png|jpeg|mixed POINTS\n");
            return 2;
        }
        CSyntheticDiagram diagram(std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), format,
                                  std::atoi(argv[7]));
        diagram.setFastCompression(static_cast<double>(std::atoi(argv[4])) * std::atoi(argv[5]) > 1e8);
        if (!diagram.write(argv[2])) {
            std::fprintf(stderr, "%s\n", diagram.getErrorMessage().c_str());
            return 1;
        }
        std::printf("%s\n", diagram.getDescriptionPath().c_str());
        return 0;
    }
    return suite(argc, argv);
}
