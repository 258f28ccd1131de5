// Intrusive reference count shared by every scene-graph object. Nothing deletes
// itself: the holder that drops the last reference deletes the object.
#pragma once

#include <cstdint>

class CZelRefCountBase
{
public:
    CZelRefCountBase() = default;
    CZelRefCountBase(const CZelRefCountBase&) : m_refCount(0) {}
    CZelRefCountBase& operator=(const CZelRefCountBase&) { return *this; }
    virtual ~CZelRefCountBase() = default;

    void addReference() { ++m_refCount; }
    // Never lets the count become negative.
    void deleteReference()
    {
        if (m_refCount > 0)
            --m_refCount;
    }
    bool referenced() const { return m_refCount > 0; }
    int32_t getReferenceCount() const { return m_refCount; }

private:
    int32_t m_refCount = 0;
};
