// Encodes RGB pixels as a baseline JPEG in memory.
#pragma once

#include <string>
#include <vector>

class CMorJpegWriter
{
public:
    // rgb: width x height pixels, top row first; quality 1 to 100. False with
    // error set when the encoder fails.
    static bool encode(const unsigned char* rgb, int width, int height, int quality, std::vector<unsigned char>& jpeg,
                       std::string& error);
};
