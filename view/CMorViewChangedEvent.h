// Listener interface: told when the user has moved the view's camera.
#pragma once

class CMorViewChangedEvent
{
public:
    virtual void onViewChanged() {}

protected:
    ~CMorViewChangedEvent() = default;
};
