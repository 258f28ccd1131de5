// Listener interface: told when a mouse button was released in a widget.
// Widgets keep borrowed pointers to their listeners (see CZelWidgetBase).
#pragma once

#include "CZelEventBase.h"

class CZelMouseUpEvent : public CZelEventBase
{
public:
    virtual void onMouseUp(int x, int y) {}

protected:
    ~CZelMouseUpEvent() = default;
};
