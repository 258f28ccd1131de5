// Listener interface: told when a widget's GL context was resized or recreated.
// Widgets keep borrowed pointers to their listeners (see CZelWidgetBase).
#pragma once

#include "CZelEventBase.h"

class CZelResizeEvent : public CZelEventBase
{
public:
    virtual void onResize(int width, int height) {}

protected:
    ~CZelResizeEvent() = default;
};
