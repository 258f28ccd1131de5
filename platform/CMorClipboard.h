// The desktop clipboard: offers a picture to other programs.
#pragma once

class CMorClipboard
{
public:
    // Puts a copy of width x height RGB pixels (top row first; rgb stays the
    // caller's) on the clipboard; other
    // programs get it as a BMP picture (image/bmp) for as long as this program
    // runs. False when the pixels are empty.
    static bool copyImage(const unsigned char* rgb, int width, int height);
};
