// Draws a measurement over the view: the points A and B as small squares and
// the line between them, where the camera sees them, on top of everything.
#pragma once

#include "CMorMeasurement.h"

class CFenceCoordinates;
class CZelCamera;

class CMorMeasureOverlay
{
public:
    // Drawing code, in window pixels of a width x height frame (origin top
    // left) with the projection the caller has set; depth test and lighting
    // off. Everything is borrowed. A point behind the eye is left out and the
    // line cut where it passes behind the eye.
    static void draw(const CMorMeasurement& measurement, const CZelCamera& camera,
                     const CFenceCoordinates& coordinates, int width, int height);
};
