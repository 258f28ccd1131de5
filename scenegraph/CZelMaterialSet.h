// An ordered list of materials, each held with one reference.
#pragma once

#include "CZelBase.h"
#include "CZelMaterial.h"
#include "CZelPointer.h"

#include <vector>

class CZelMaterialSet : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelMaterialSet, CZelBase)
public:
    // Appends and adds a reference.
    void add(CZelMaterial* material) { m_materials.emplace_back(material); }
    // Borrowed; null outside the list.
    CZelMaterial* getMaterial(int index) const;
    int getSize() const { return static_cast<int>(m_materials.size()); }

private:
    std::vector<CZelPointer<CZelMaterial>> m_materials;
};
