// Listener interface: told when the OpenGL context of a widget exists for the first time.
// Widgets keep borrowed pointers to their listeners (see CZelWidgetBase).
#pragma once

#include "CZelEventBase.h"

class CZelInitEvent : public CZelEventBase
{
public:
    virtual void onInit(int width, int height) {}

protected:
    ~CZelInitEvent() = default;
};
