// An ordered list of 32-bit vertex indexes: one batch of a primitive.
#pragma once

#include "CZelIndexBase.h"

#include <vector>

class CZelIndex : public CZelIndexBase
{
    ZEL_DECLARE_CLASS(CZelIndex, CZelIndexBase)
public:
    int32_t getAt(int position) const override;
    int getSize() const override { return static_cast<int>(m_entries.size()); }
    void clear() override { m_entries.clear(); }
    void createLinear(int32_t start, int count) override;
    void createLinear(int count) override { createLinear(0, count); }
    void createConstant(int32_t value, int count) override;
    void add(const int32_t* values, int count) override;
    void add(int32_t value) override { m_entries.push_back(value); }

private:
    std::vector<int32_t> m_entries;
};
