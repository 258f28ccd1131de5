// Index list building.
#include "CZelIndex.h"

int32_t CZelIndex::getAt(int position) const
{
    if (position < 0 || position >= getSize())
        return -1;
    return m_entries[static_cast<size_t>(position)];
}

void CZelIndex::createLinear(int32_t start, int count)
{
    m_entries.clear();
    for (int i = 0; i < count; ++i)
        m_entries.push_back(start + i);
}

void CZelIndex::createConstant(int32_t value, int count)
{
    m_entries.assign(count > 0 ? static_cast<size_t>(count) : 0, value);
}

void CZelIndex::add(const int32_t* values, int count)
{
    for (int i = 0; i < count; ++i)
        add(values[i]);
}
