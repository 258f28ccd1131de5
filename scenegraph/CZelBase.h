// Base of every scene-graph object: a reference count (the primary base, so a
// CZelBase pointer and its CZelRefCountBase pointer are the same address) and a
// class name.
#pragma once

#include "CZelRTTIBase.h"
#include "CZelRefCountBase.h"

class CZelBase : public CZelRefCountBase, public CZelRTTIBase
{
    ZEL_DECLARE_CLASS(CZelBase, CZelRTTIBase)
};
