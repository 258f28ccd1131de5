// Selection names by depth-first walk.
#include "CZelBufferSelection.h"

void CZelBufferSelection::compile()
{
    m_shapes.clear();
    if (m_composite)
        visit(m_composite);
}

// Children first; a composite itself only when it loads a name of its own.
void CZelBufferSelection::visit(CZelShape* shape)
{
    if (shape->isClass("CZelComposite")) {
        CZelComposite* group = static_cast<CZelComposite*>(shape);
        for (int i = 0; i < group->getSize(); ++i)
            visit(group->getChild(i));
        if (!shape->getUseName())
            return;
    }
    shape->setSelectName(getSize());
    m_shapes.push_back(shape);
}

CZelShape* CZelBufferSelection::getShape(int index) const
{
    if (index < 0 || index >= getSize())
        return nullptr;
    return m_shapes[static_cast<size_t>(index)];
}
