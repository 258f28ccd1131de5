// Listener interface: told what was dropped onto the view (the text the drag
// source sent, for files a text/uri-list).
#pragma once

#include <string>

class CMorViewDropEvent
{
public:
    virtual void onViewDrop(const std::string& text) {}

protected:
    ~CMorViewDropEvent() = default;
};
