// One measuring pass of the benchmark suite, run in a process of its own so
// that its peak memory and its first frame are its own: decoding a diagram's
// pictures with the plain libraries, opening and drawing a diagram, building a
// large fence panel, or reading one picture through the program's reader.
// Results go to standard output as "name seconds-or-bytes" lines.
#pragma once

#include <string>
#include <vector>

class CBenchChild
{
public:
    // The pictures decoded by libpng, libjpeg and plain reading (BMP) alone:
    // the lower bound of opening a diagram.
    static int decode(const std::vector<std::string>& paths);
    // Opens the diagram on an offscreen context of width x height, then draws
    // the first frame (every tile at the level it needs), steady frames
    // without and with antialiasing, their lower bounds, and a tiles x tiles
    // tiled picture into outputPng. With closeUps, instead of antialiasing
    // and the tiled picture: steady frames one picture pixel to a screen
    // pixel on the first fence's middle, and whether its checkerboard four
    // times enlarged stays a checkerboard.
    static int open(const std::string& description, int width, int height, int tiles, const std::string& outputPng,
                    bool closeUps);
    // Builds the panel of a 16384 x 4096 picture, against copying its pixels.
    static int panel();
    // Reads one picture through the program's reader and through the plain
    // library, alternately.
    static int reader(const std::string& path);

private:
    // The pixel count decoded, 0 on failure.
    static double plainDecode(const std::string& path);
};
