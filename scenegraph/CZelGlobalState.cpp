// The drawing switches singleton.
#include "CZelGlobalState.h"

#include "CZelPointer.h"

CZelGlobalState* CZelGlobalState::getInstance()
{
    static CZelPointer<CZelGlobalState> instance(new CZelGlobalState());
    return instance;
}
