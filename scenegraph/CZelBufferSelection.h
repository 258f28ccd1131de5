// The list that gives every shape of a scene a selection name: its index in
// a depth-first walk of the scene's composite.
#pragma once

#include "CZelBase.h"
#include "CZelComposite.h"
#include "CZelView.h"

#include <vector>

class CZelBufferSelection : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelBufferSelection, CZelBase)
public:
    // Both borrowed: the scene that sets them outlives the list.
    void setComposite(CZelComposite* composite) { m_composite = composite; }
    void setView(CZelView* view) { m_view = view; }
    CZelView* getView() const { return m_view; }

    // Rebuilds the list and renames every listed shape.
    void compile();
    // Borrowed; null outside the list.
    CZelShape* getShape(int index) const;
    int getSize() const { return static_cast<int>(m_shapes.size()); }

private:
    void visit(CZelShape* shape);

    CZelComposite* m_composite = nullptr;
    CZelView* m_view = nullptr;
    std::vector<CZelShape*> m_shapes;
};
