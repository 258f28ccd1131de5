// Common base of the widget listener interfaces. A listener is never deleted
// through one of these interfaces, so the destructor is protected and not virtual.
#pragma once

class CZelEventBase
{
protected:
    CZelEventBase() = default;
    CZelEventBase(const CZelEventBase&) = default;
    CZelEventBase& operator=(const CZelEventBase&) = default;
    ~CZelEventBase() = default;
};
