// Listener interface: told when a widget clears its frame before rendering.
// Widgets keep borrowed pointers to their listeners (see CZelWidgetBase).
#pragma once

#include "CZelEventBase.h"

class CZelClearEvent : public CZelEventBase
{
public:
    virtual void onClear() {}

protected:
    ~CZelClearEvent() = default;
};
