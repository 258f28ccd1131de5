// One fence of a diagram: a section image standing along its polyline.
#pragma once

#include "CZelImagePlane.h"

class CFence : public CZelImagePlane
{
    ZEL_DECLARE_CLASS(CFence, CZelImagePlane)
};
