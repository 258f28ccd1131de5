// Interface of an ordered list of vertex indexes, as primitives read them.
#pragma once

#include "CZelBase.h"

#include <cstdint>

class CZelIndexBase : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelIndexBase, CZelBase)
public:
    // The entry at position, or -1 outside the list.
    virtual int32_t getAt(int position) const = 0;
    virtual int getSize() const = 0;
    virtual void clear() = 0;
    // The list becomes start, start + 1, ..., start + count - 1.
    virtual void createLinear(int32_t start, int count) = 0;
    // The list becomes 0 ... count - 1.
    virtual void createLinear(int count) = 0;
    // The list becomes count copies of value.
    virtual void createConstant(int32_t value, int count) = 0;
    // Appends count entries of values (borrowed).
    virtual void add(const int32_t* values, int count) = 0;
    virtual void add(int32_t value) = 0;
};
