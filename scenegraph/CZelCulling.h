// The frustum-culling pass a scene runs before drawing: marks every shape whose
// bounding sphere lies outside the view so that its next render draws nothing.
#pragma once

#include "CZelBase.h"
#include "CZelComposite.h"
#include "CZelMatrixStack.h"
#include "CZelPointer.h"
#include "CZelView.h"
#include "CZelViewFrustum.h"

class CZelCulling : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelCulling, CZelBase)
public:
    CZelCulling();

    // Both add a reference; null switches the pass off.
    void setComposite(CZelComposite* composite) { m_composite = composite; }
    void setView(CZelView* view) { m_view = view; }
    int getCulledCount() const { return m_culledCount; }
    // Borrowed: the frustum of the last pass.
    CZelViewFrustum* getFrustum() const { return m_frustum; }

    // Asks the view for its frustum, resets the count and culls the tree.
    void cull();

private:
    void cullShape(CZelShape* shape, bool isRoot);

    CZelPointer<CZelComposite> m_composite;
    CZelPointer<CZelMatrixStack> m_matrixStack;
    CZelPointer<CZelViewFrustum> m_frustum;
    CZelPointer<CZelView> m_view;
    int m_culledCount = 0;
};
