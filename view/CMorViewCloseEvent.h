// Listener interface: told when the view is hidden or goes away.
#pragma once

class CMorViewCloseEvent
{
public:
    virtual void onViewClose() {}

protected:
    ~CMorViewCloseEvent() = default;
};
