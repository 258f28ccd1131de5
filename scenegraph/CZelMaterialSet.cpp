// The material list.
#include "CZelMaterialSet.h"

CZelMaterial* CZelMaterialSet::getMaterial(int index) const
{
    if (index < 0 || index >= getSize())
        return nullptr;
    return m_materials[static_cast<size_t>(index)];
}
