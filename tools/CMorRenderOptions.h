// The command line of morvex-render: what to draw, how large and with which
// view and diagram settings. Checks every value; applies them to a frame and
// its diagram.
#pragma once

#include "CMorGltfBuilder.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CMorFrame;

class CMorRenderOptions
{
public:
    enum CameraSource { CAMERA_STORED, CAMERA_AUTOMATIC, CAMERA_GIVEN };

    // False with getErrorMessage for anything it cannot take; --help only
    // sets getShowHelp.
    bool parse(int argc, const char* const* argv);
    const std::string& getErrorMessage() const { return m_errorMessage; }
    static const char* getHelpText();

    // False with getErrorMessage when a value lies beyond what the frame's
    // GL draws (a line wider than its widest); after initializeFrame.
    bool fitsFrame(const CMorFrame& frame);
    // Settings of the view given on the command line (background,
    // antialiasing, light); after the file is open, whose format 2 settings
    // they override.
    void applyToFrame(CMorFrame& frame) const;
    // Settings of the open diagram and the camera; the frame must hold one.
    void applyToDiagram(CMorFrame& frame) const;

    bool getShowHelp() const { return m_showHelp; }
    bool getQuiet() const { return m_quiet; }
    const std::string& getInput() const { return m_input; }
    const std::string& getOutput() const { return m_output; }
    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }
    int getTiles() const { return m_tiles; }
    // The longer side of each fence's picture in a 3-D export.
    int getTextureLimit() const { return m_textureLimit; }
    // Bytes for picture tiles.
    uint64_t getMemoryBudget() const { return m_memoryBudget; }
    bool getAntialiasRequested() const { return (m_given & GIVEN_ANTIALIAS) != 0 && m_antialias; }
    // Draw fences whose pictures are missing as outlines instead of failing.
    bool getSkipMissing() const { return m_skipMissing; }
    // Pixels of the picture (with tiles, of the whole picture; origin top
    // left) to tell the fence point under, in the order given.
    const std::vector<std::pair<long long, long long>>& getPicks() const { return m_picks; }

private:
    // The view settings the command line gives.
    enum Given {
        GIVEN_BACKGROUND = 1,
        GIVEN_SOLID = 2,
        GIVEN_UPPER = 4,
        GIVEN_LOWER = 8,
        GIVEN_ANTIALIAS = 16,
        GIVEN_LIGHT_DIRECTION = 32
    };

    bool fail(const std::string& message);
    bool take(const std::string& option, const std::string& value);
    // The picks against the picture's size and kind, once all is read.
    bool checkPicks();

    std::string m_errorMessage;
    bool m_showHelp = false;
    bool m_quiet = false;
    bool m_skipMissing = false;
    std::string m_input;
    std::string m_output;
    int m_width = 1280;
    int m_height = 960;
    int m_tiles = 1;
    int m_textureLimit = CMorGltfBuilder::DEFAULT_TEXTURE_LIMIT;
    uint64_t m_memoryBudget = 1ULL << 30;
    bool m_antialias = false;
    int m_antialiasLevel = 2;
    int m_backgroundType = 0;
    float m_solidColor[3] = {1.0f, 1.0f, 1.0f};
    float m_upperColor[3] = {0.5f, 0.5f, 1.0f};
    float m_lowerColor[3] = {1.0f, 1.0f, 1.0f};
    int m_lightDirection = 0;
    int m_given = 0;
    int m_lighting = -1; // -1: as the diagram has it
    int m_mapAxisLabels = -1; // -1: as the diagram has it
    double m_exaggeration = 0.0; // 0: as the diagram has it
    bool m_keepWhite = false;
    int m_whiteTolerance = -1; // below 0: as the diagram has it
    bool m_noBoundingBox = false;
    bool m_noAxes = false;
    double m_textSize = -1.0; // below 0: as the diagram has it
    int m_lineWidth = 0;      // 0: as the diagram has it
    double m_legendSize = -1.0;
    int m_legendPositionX = -1;
    int m_legendPositionY = -1;
    int m_legendMarginX = -1;
    int m_legendMarginY = -1;
    CameraSource m_cameraSource = CAMERA_STORED;
    double m_camera[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    int m_cameraValues = 0;
    std::vector<std::pair<long long, long long>> m_picks;
};
