// The content of a fence-diagram description file (".fnc") as plain values:
// read with every token checked, written so that every real reads back as the
// same double. Building the scene from it is the diagram's business.
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

    std::vector<Fence> fences;
    double cameraPosition[3] = {0.0, 0.0, 0.0};
    double cameraTarget[3] = {0.0, 0.0, 0.0};
    double cameraPerspective[3] = {0.0, 0.0, 0.0}; // field of view, near, far
    bool hasLegend = false;
    Legend legend;

    // Reads the file; false with a message that names the file, the line and
    // the fence when anything is missing, malformed or out of range. The
    // first word is not checked while the rest reads; when it does not, a
    // first word other than "#MORVEX1" or "#MORVEX2" is named in a line that
    // comes before the reason.
    bool read(const std::string& path, std::string& error);
    // Reads from text already in memory; name is used in the messages.
    bool parse(const std::string& text, const std::string& name, std::string& error);
    // The file text: one item a line, reals in their shortest exact form.
    std::string format() const;

private:
    bool parseFields(const std::string& text, const std::string& name, std::string& error);
};
