// The content of a fence-diagram description file (".fnc") as plain values:
// read with every token checked, written so that every real reads back as the
// same double. Building the scene from it is the diagram's business.
//
// Format 2 ("#MORVEX2") has the tokens of format 1 in the same order plus
// option blocks: the diagram's options after the first word and each fence's
// options after its label end, every block closed by "end".
#pragma once

#include <string>
#include <vector>

class CFenceDescription
{
public:
    struct Point {
        double x, y, z; // map coordinates X, Y and elevation Z, as in the file
    };
    struct Fence {
        std::vector<Point> points;
        std::string imageToken;
        std::string description; // empty for "-"
        int labelEnd = 0;
        // The section's top and bottom edge stand at these elevations.
        bool hasElevation = false;
        double top = 0.0;
        double bottom = 0.0;
        // Only pixels x0 <= x < x1, y0 <= y < y1 (from the top left) are the
        // section. Checked against the picture once it is read; cropLine is
        // the line the option stands on, for that message.
        bool hasCrop = false;
        int crop[4] = {0, 0, 0, 0};
        int cropLine = 0;
    };
    // The diagram's options, each at the value a file without it means.
    struct Options {
        double verticalExaggeration = 1.0;
        bool mapAxisLabels = false;
        std::string crs; // empty for none
        int background = 0; // 0 solid, 1 gradient
        float solidColor[3] = {1.0f, 1.0f, 1.0f};
        float upperColor[3] = {0.5f, 0.5f, 1.0f};
        float lowerColor[3] = {1.0f, 1.0f, 1.0f};
        bool lighting = false;
        int lightDirection = 0;
        int antialias = -1; // -1 off, else the level 0 to 6
        bool removeWhite = true;
        int whiteTolerance = 0;
        bool boundingBox = true;
        float boundingBoxColor[3] = {0.0f, 0.0f, 0.0f};
        bool axes = true;
        int lineWidth = 1;
        double textSize = 0.02;
        double margin = 0.02;
        float textColor[3] = {0.0f, 0.0f, 0.0f};
        int labelIntervals[3] = {1, 1, 1};
        bool legend = true;

        bool operator==(const Options& other) const;
        bool operator!=(const Options& other) const { return !(*this == other); }
    };
    struct Legend {
        std::string token;
        int marginX = 0;
        int marginY = 0;
        int positionX = 0; // 0 left, 1 centre, 2 right
        bool top = false;  // the file's vertical placement 1; anything else is bottom
        double size = 0.0;
    };

    // Point counts beyond this are taken as a damaged file.
    static constexpr int MAX_POINTS = 1000000;
    // The whole file is read into memory; larger files are refused unread.
    static constexpr long long MAX_FILE_BYTES = 256LL << 20;

    // The format the file was read in, 1 or 2.
    int fileFormat = 1;
    Options options;
    std::vector<Fence> fences;
    // Camera axes: east, elevation, north.
    double cameraPosition[3] = {0.0, 0.0, 0.0};
    double cameraTarget[3] = {0.0, 0.0, 0.0};
    double cameraPerspective[3] = {0.0, 0.0, 0.0}; // field of view, near, far
    bool hasLegend = false;
    Legend legend;

    // Reads the file; false with a message that names the file, the line and
    // the fence when anything is missing, malformed or out of range. A file
    // that begins with "#MORVEX2" is read in format 2, one that begins with
    // "#MORVEX" and a higher number is refused as a newer Morvex's; any
    // other first word is not checked while the rest reads in format 1; when
    // it does not, a first word other than "#MORVEX1" is named in a line that
    // comes before the reason.
    bool read(const std::string& path, std::string& error);
    // Reads from text already in memory; name is used in the messages.
    bool parse(const std::string& text, const std::string& name, std::string& error);
    // The file text: one item a line, reals in their shortest exact form;
    // format 1 unless an option is not at its default.
    std::string format() const;
    // The format that format() writes.
    int neededFormat() const;

private:
    bool parseFields(const std::string& text, const std::string& name, std::string& error);
};
