// The desktop clipboard: offers data to other programs, in several formats at
// once (a picture as PNG and as BMP, say).
#pragma once

#include <string>
#include <vector>

class CMorClipboard
{
public:
    struct Format {
        // The MIME type other programs ask for, such as "image/png".
        std::string type;
        std::vector<unsigned char> data;
    };

    // Takes the clipboard and offers the formats, in order of preference,
    // until another program takes the clipboard or this program ends. The data
    // are moved in. False with a sentence in error when there is nothing to
    // offer or the clipboard could not be had.
    static bool offer(std::vector<Format> formats, std::string& error);
    // Offers text (UTF-8) as UTF8_STRING, TEXT, STRING and text/plain, as
    // programs ask for text; replaces whatever was offered before.
    static bool offerText(const std::string& text, std::string& error);
};
