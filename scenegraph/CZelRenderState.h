// A state object that brackets a shape's drawing: saved and applied before the
// transform, restored after it. The base changes nothing.
#pragma once

#include "CZelBase.h"

class CZelRenderState : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelRenderState, CZelBase)
public:
    virtual void saveState() {}
    virtual void applyState() {}
    virtual void restoreState() {}
};
