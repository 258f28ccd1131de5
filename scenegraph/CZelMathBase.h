// Base of the small math value classes: its own reference count and class name,
// so that CZelPointer can hold vectors and matrices without CZelBase.
#pragma once

#include <cstdint>
#include <string>

class CZelMathBase
{
public:
    CZelMathBase() = default;
    CZelMathBase(const CZelMathBase&) : m_refCount(0) {}
    CZelMathBase& operator=(const CZelMathBase&) { return *this; }
    virtual ~CZelMathBase() = default;
    virtual bool isClass(const std::string& name) const;
    virtual std::string getClassNameThis() const { return "CZelMathBase"; }

    void addReference() { ++m_refCount; }
    // Never lets the count become negative.
    void deleteReference()
    {
        if (m_refCount > 0)
            --m_refCount;
    }
    bool referenced() const { return m_refCount > 0; }

private:
    int32_t m_refCount = 0;
};
