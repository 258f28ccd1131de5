// A fence picture read for a 3-D export: the part of the file the fence shows
// (its crop), reduced by averaging while the rows arrive so that its longer
// side stays within a limit. Pixels the diagram leaves out (transparent ones,
// and white or near-white ones while white is removed) get alpha 0, all others
// 255; a reduced pixel is left out when most of what it stands for is, and
// takes its colour from the kept part alone, so that no white seeps into the
// edges of what is kept.
#pragma once

#include "CZelFileImage.h"

#include <string>
#include <vector>

class CMorExportPicture
{
public:
    struct Options
    {
        // The longest side of the result, in pixels.
        int limit = 4096;
        bool removeWhite = true;
        // Pixels whose red, green and blue all lie within this of 255 are
        // white too.
        int whiteTolerance = 0;
        // x0, y0, x1, y1 of the file's pixels from the top left, ends
        // exclusive; null, or a crop that does not fit, for the whole picture.
        const int* crop = nullptr;
    };

    // Reads the file with the reader its extension names. False with message
    // (for the user) and detail (for the log, may be empty) when it cannot.
    bool read(const std::string& path, const Options& options, std::string& message, std::string& detail);

    // The picture as read: RGBA, top row first.
    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }
    const std::vector<unsigned char>& getPixels() const { return m_pixels; }
    // The size of what it shows in the file (the crop's), before reduction.
    int getSourceWidth() const { return m_sourceWidth; }
    int getSourceHeight() const { return m_sourceHeight; }
    // Whether any pixel is left out.
    bool hasLeftOut() const { return m_leftOut; }

    // The shrinking itself, for pictures already in memory: starts a picture
    // whose rows hold channels bytes a pixel (1 grey, 2 grey and alpha, 3 RGB,
    // 4 RGBA) and of which the window x0..x1, top..bottom is kept, reduced to
    // width x height at most (never enlarged). False for sizes out of range.
    bool start(int rowWidth, int rows, int channels, int x0, int top, int x1, int bottom, int width, int height,
               const Options& options);
    // One row, counted from the top, in any order; each once.
    void addRow(int rowFromTop, const unsigned char* row);

private:
    // The source pixels or rows that make up each result pixel or row, with
    // the share of each.
    struct Span
    {
        int first = 0;
        std::vector<float> weights;
    };
    static std::vector<Span> spans(int source, int target);
    void finishRow(int row);

    Options m_options;
    int m_channels = 0;
    int m_x0 = 0;
    int m_top = 0;
    int m_sourceWidth = 0;
    int m_sourceHeight = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_leftOut = false;
    std::vector<Span> m_columns;
    // For each source row of the window, the result rows it adds to.
    std::vector<std::vector<std::pair<int, float>>> m_rowShares;
    // Rows each result row still waits for, and the sums of those begun:
    // red, green and blue of the kept part times its share, and that share.
    std::vector<int> m_rowsMissing;
    std::vector<std::vector<float>> m_sums;
    std::vector<float> m_rowWeight;
    std::vector<float> m_across;
    std::vector<unsigned char> m_pixels;
};
