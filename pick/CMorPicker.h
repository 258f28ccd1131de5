// Finds what the view shows under a point of its picture: casts the ray
// through it against every fence as the fence's panel stands (pieces of its
// polyline, the picture's proportions or elevation range, its crop, the
// exaggeration), in double precision, and passes through the pixels the
// drawing leaves out (transparent, or white while white is removed).
#pragma once

#include "CMorPick.h"

#include <vector>

class CFence;
class CFenceDiagram;
class CZelCamera;
class CZelVec3d;

class CMorPicker
{
public:
    // Both borrowed, only read; the camera is the one the diagram is seen through.
    CMorPicker(const CFenceDiagram* diagram, const CZelCamera* camera);

    // Under the centre of pixel (x, y) of a width x height picture of the
    // view (origin top left); a tiled picture is one picture here.
    CMorPick pickPixel(double x, double y, double width, double height) const;
    // Under a point of the picture in normalised device coordinates (-1 to 1,
    // y upwards) of a picture aspect times as wide as high.
    CMorPick pickThrough(double ndcX, double ndcY, double aspect) const;

private:
    struct Hit;
    // Every place where the ray (origin o, direction r, in the diagram's
    // geometry before exaggeration) meets the fence's panel.
    void meetFence(int index, const CFence* fence, const CZelVec3d& o, const CZelVec3d& r, double nearest,
                   double farthest, std::vector<Hit>& hits) const;
    // Whether the drawing shows the hit's pixel; sets the pick's pixel.
    bool shows(const Hit& hit, CMorPick& pick) const;

    const CFenceDiagram* m_diagram;
    const CZelCamera* m_camera;
};
