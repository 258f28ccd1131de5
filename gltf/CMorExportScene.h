// What a 3-D export shows, gathered from an open diagram as plain values, so
// that the export can be built away from the scene (on another thread) while
// the window goes on. Coordinates are the export's local ones: x east, y up,
// z south, relative to the local origin, with true elevations above the
// lowest fence bottom; the export's root node stretches them by the vertical
// exaggeration and moves them to the origin.
#pragma once

#include "CFenceDescription.h"
#include "CZelImage.h"
#include "CZelPointer.h"
#include "CZelVec3d.h"

#include <string>
#include <vector>

class CFenceDiagram;

class CMorExportScene
{
public:
    struct Fence
    {
        // The description, or "Fence N" for none.
        std::string name;
        // The top edge; the panel hangs height below it.
        std::vector<CZelVec3d> line;
        double height = 0.0;
        // A missing picture: the outline of the panel.
        bool outline = false;
        std::string picture;
        bool hasCrop = false;
        int crop[4] = {0, 0, 0, 0};
    };
    struct Label
    {
        std::string text;
        // Where the middle of the text stands.
        CZelVec3d position;
        // A number of an axis rather than the name of a fence.
        bool axisNumber = false;
    };
    // Line segments as pairs of points, in one colour.
    struct Lines
    {
        std::string name;
        float color[3] = {0.0f, 0.0f, 0.0f};
        std::vector<CZelVec3d> points;
    };

    // Takes everything shown from the diagram (borrowed; loaded from
    // descriptionPath), its camera and the view's options (background,
    // light). The diagram's axes must have been laid out by a draw for map
    // labels to be spaced as on the screen.
    void gather(const CFenceDiagram& diagram, const std::string& descriptionPath,
                const CFenceDescription::Options& view);

    // The local origin in the scene (x east, y the base elevation, z south),
    // and the same point as a map point: east, north, elevation.
    CZelVec3d origin;
    double mapOrigin[3] = {0.0, 0.0, 0.0};
    double exaggeration = 1.0;
    std::string crs;
    std::string title;

    std::vector<Fence> fences;
    std::vector<Label> labels;
    std::vector<Lines> lines;
    // Height of the text, in scene units.
    double textSize = 1.0;
    float textColor[3] = {0.0f, 0.0f, 0.0f};

    bool removeWhite = true;
    int whiteTolerance = 0;
    bool lighting = false;
    int lightDirection = 0;

    // The camera in the scene's world coordinates (exaggerated), and its
    // vertical field of view in degrees.
    CZelVec3d eye, target;
    double fieldOfView = 45.0;
    double nearDistance = 1.0;
    double farDistance = 1000.0;

    int background = 0; // 0 solid, 1 gradient
    float solidColor[3] = {1.0f, 1.0f, 1.0f};
    float upperColor[3] = {0.5f, 0.5f, 1.0f};
    float lowerColor[3] = {1.0f, 1.0f, 1.0f};

    // Null when there is none or it is hidden. Read only from here on.
    CZelPointer<CZelImage> legend;
    CFenceDescription::Legend legendPlace;
};
