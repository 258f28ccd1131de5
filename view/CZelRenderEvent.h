// Listener interface: told when a widget renders its frame.
// Widgets keep borrowed pointers to their listeners (see CZelWidgetBase).
#pragma once

#include "CZelEventBase.h"

class CZelRenderEvent : public CZelEventBase
{
public:
    virtual void onRender() {}

protected:
    ~CZelRenderEvent() = default;
};
