// What lies under a point of the view: a point of a fence in true map units
// with the pixel of its picture there, or nothing.
#pragma once

struct CMorPick
{
    bool hit = false;
    // The fence's place in its description file, from 0.
    int fence = -1;
    double east = 0.0;
    double north = 0.0;
    double elevation = 0.0;
    // False for a fence drawn as the outline of a missing picture.
    bool hasPixel = false;
    // The picture's pixel, rounded down, counted from the top left of the
    // whole picture in its file (crop or not).
    long long column = 0;
    long long row = 0;
    // How far in front of the eye, along the view.
    double depth = 0.0;
};
