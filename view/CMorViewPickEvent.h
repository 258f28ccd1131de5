// Listener interface: told when what lies under the pointer in the view, or
// the measurement, has changed.
#pragma once

class CMorViewPickEvent
{
public:
    virtual void onViewPick() {}

protected:
    ~CMorViewPickEvent() = default;
};
