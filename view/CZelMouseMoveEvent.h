// Listener interface: told when the pointer moved in a widget, with or without a button held.
// Widgets keep borrowed pointers to their listeners (see CZelWidgetBase).
#pragma once

#include "CZelEventBase.h"

class CZelMouseMoveEvent : public CZelEventBase
{
public:
    virtual void onMouseMove(int x, int y) {}

protected:
    ~CZelMouseMoveEvent() = default;
};
