// An ordered group of shapes drawn inside the group's own transform. Children
// are reference counted (one reference per membership) unless switched off.
#pragma once

#include "CZelShape.h"

#include <vector>

class CZelComposite : public CZelShape
{
    ZEL_DECLARE_CLASS(CZelComposite, CZelShape)
public:
    CZelComposite();
    ~CZelComposite() override;

    void doUpdateBoundingSphere() override;
    void doCreateGeometry() override;
    void refresh() override;
    // Passed on to every child; the composite's own flag stays as it is.
    void setUseMaterial(int use) override;

    // Unlinks the child and returns it; the composite drops its reference but
    // never deletes it, so the caller owns it when nobody else holds it.
    // Null for an index out of range.
    virtual CZelShape* removeShape(int index);
    // Unlinks every occurrence of the shape in this tree; returns the shape
    // (the caller owns it as above).
    virtual CZelShape* removeShape(CZelShape* shape);
    // Appends the shape; adds a reference when reference counting is on.
    virtual void addChild(CZelShape* shape);
    // Unlinks the child and deletes it unless another owner still holds it.
    virtual void deleteShape(int index);

    // Borrowed; null for an index out of range.
    CZelShape* getChild(int index) const;
    int getSize() const { return static_cast<int>(m_children.size()); }
    // Empties the list, deleting the children that nobody else holds.
    void clear();
    void setUseReference(bool use) { m_useReference = use; }
    bool getUseReference() const { return m_useReference; }
    // Draws children 0, step, 2 step, ...; steps below 1 count as 1.
    void setDrawStep(int step) { m_drawStep = step; }
    int getDrawStep() const { return m_drawStep; }

private:
    bool m_useReference = true;
    int m_drawStep = 1;
    std::vector<CZelShape*> m_children;
};
