// The program-wide rasterisation object. It holds no state of its own; one
// instance, made on first use and destroyed at program exit.
#pragma once

#include "CZelBase.h"

class CZelRasterization : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelRasterization, CZelBase)
public:
    // Borrowed: the instance lives until program exit.
    static CZelRasterization* getInstance();
};
