// Listener interface: told when a widget is going away.
// Widgets keep borrowed pointers to their listeners (see CZelWidgetBase).
#pragma once

#include "CZelEventBase.h"

class CZelDestroyEvent : public CZelEventBase
{
public:
    virtual void onDestroy() {}

protected:
    ~CZelDestroyEvent() = default;
};
