// Intrusive smart pointer over any class with addReference, deleteReference and
// referenced. Holding a pointer adds a reference; dropping the last one deletes it.
#pragma once

#include <cstddef>

template <class T>
class CZelPointer
{
public:
    CZelPointer() = default;
    // Adds a reference to p when it is not null.
    CZelPointer(T* p) : m_ptr(p) // NOLINT: implicit by design, like a raw pointer
    {
        if (m_ptr)
            m_ptr->addReference();
    }
    CZelPointer(const CZelPointer& other) : CZelPointer(other.m_ptr) {}
    virtual ~CZelPointer() { release(); }

    // Releases the old object (deleting it when no holder is left) and adds a
    // reference to the new one; assigning the held pointer changes nothing.
    CZelPointer& operator=(T* p)
    {
        if (p == m_ptr)
            return *this;
        release();
        m_ptr = p;
        if (m_ptr)
            m_ptr->addReference();
        return *this;
    }
    CZelPointer& operator=(const CZelPointer& other) { return *this = other.m_ptr; }

    T* operator->() const { return m_ptr; }
    T& operator*() const { return *m_ptr; }
    operator T*() const { return m_ptr; }
    // Borrowed: the pointer keeps its reference.
    T* get() const { return m_ptr; }

    bool operator==(const T* p) const { return m_ptr == p; }
    bool operator!=(const T* p) const { return m_ptr != p; }
    bool operator==(std::nullptr_t) const { return m_ptr == nullptr; }
    bool operator!=(std::nullptr_t) const { return m_ptr != nullptr; }

private:
    void release()
    {
        if (!m_ptr)
            return;
        m_ptr->deleteReference();
        if (!m_ptr->referenced())
            delete m_ptr;
    }

    T* m_ptr = nullptr;
};
