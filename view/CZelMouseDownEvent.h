// Listener interface: told when a mouse button went down in a widget.
// Widgets keep borrowed pointers to their listeners (see CZelWidgetBase).
#pragma once

#include "CZelEventBase.h"

class CZelMouseDownEvent : public CZelEventBase
{
public:
    virtual void onMouseDown(int x, int y) {}

protected:
    ~CZelMouseDownEvent() = default;
};
