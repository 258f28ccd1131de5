// The rasterisation singleton.
#include "CZelRasterization.h"

#include "CZelPointer.h"

CZelRasterization* CZelRasterization::getInstance()
{
    static CZelPointer<CZelRasterization> instance(new CZelRasterization());
    return instance;
}
