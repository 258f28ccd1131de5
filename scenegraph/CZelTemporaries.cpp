// The rings live for the whole program; they are created on first use.
#include "CZelTemporaries.h"

#include "CZelMat4d.h"
#include "CZelVec3d.h"
#include "CZelVec4d.h"

namespace {

template <class T, int N>
T& nextSlot()
{
    static T ring[N];
    static int next = 0;
    T& slot = ring[next];
    next = (next + 1) % N;
    slot = T();
    return slot;
}

} // namespace

CZelVec3d& getTempVec3d()
{
    return nextSlot<CZelVec3d, 32>();
}

CZelVec4d& getTempVec4d()
{
    return nextSlot<CZelVec4d, 32>();
}

CZelMat4d& getTempMat4d()
{
    return nextSlot<CZelMat4d, 16>();
}
