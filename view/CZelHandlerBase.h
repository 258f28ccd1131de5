// Base of the interaction handlers: an object that listens to a widget and
// acts only while it is active.
#pragma once

#include "CZelBase.h"

class CZelHandlerBase : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelHandlerBase, CZelBase)

public:
    // Sets the active flag, then runs doActivate.
    void activate();
    bool isActive() const { return m_active; }
    virtual void doActivate() {}

protected:
    void setActive(bool active) { m_active = active; }

private:
    bool m_active = false;
};
