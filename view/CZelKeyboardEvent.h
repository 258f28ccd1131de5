// Listener interface: told when an ordinary key was pressed in a widget.
// Widgets keep borrowed pointers to their listeners (see CZelWidgetBase).
#pragma once

#include "CZelEventBase.h"

class CZelKeyboardEvent : public CZelEventBase
{
public:
    virtual void onKeyboard(int key, int x, int y) {}

protected:
    ~CZelKeyboardEvent() = default;
};
