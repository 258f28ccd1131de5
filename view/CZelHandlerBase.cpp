// Activation of a handler.
#include "CZelHandlerBase.h"

void CZelHandlerBase::activate()
{
    m_active = true;
    doActivate();
}
