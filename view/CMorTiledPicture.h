// Draws a picture larger than the GL drawing area as a grid of tiles through
// a CMorFrame and hands its rows out from the top down, one tile row at a
// time: memory grows with the picture's width, never with the tile count.
#pragma once

#include <functional>
#include <string>

class CMorFrame;

class CMorTiledPicture
{
public:
    // Takes one RGB row of the joined picture, pictureWidth x 3 bytes; false
    // stops the picture (the sink keeps its own reason).
    using RowSink = std::function<bool(const unsigned char* row)>;
    // Draws the frame's current tile into the drawing area that is read next.
    using TileDrawer = std::function<void()>;

    // frame: borrowed, initialised with the size of the current drawing area.
    // The picture is rows x columns times that size.
    CMorTiledPicture(CMorFrame* frame, int rows, int columns);

    long long getWidth() const;
    long long getHeight() const;
    // Replaces the plain frame drawing, for windows that draw through their
    // own toolkit; the drawer runs with the frame in tile mode.
    void setTileDrawer(const TileDrawer& drawer) { m_drawer = drawer; }

    // Draws every tile and passes every row of the picture to the sink, top
    // row first. Needs the frame's GL context current. False with
    // getErrorMessage when the row buffer cannot be had or the sink stops.
    bool write(const RowSink& sink);
    const std::string& getErrorMessage() const { return m_errorMessage; }

private:
    CMorFrame* m_frame;
    int m_rows;
    int m_columns;
    TileDrawer m_drawer;
    std::string m_errorMessage;
};
