// A drawable that owns a viewport and sets up the OpenGL projection and viewing
// transform; rendering a view issues its viewing transform.
#pragma once

#include "CZelGLBase.h"
#include "CZelPointer.h"
#include "CZelViewFrustum.h"
#include "CZelViewport.h"

class CZelView : public CZelGLBase
{
    ZEL_DECLARE_CLASS(CZelView, CZelGLBase)
public:
    CZelView();

    void doBeginTransform() override { viewTransform(); }
    // Viewport and projection; leaves the model-view matrix current and identity.
    virtual void initialize();
    // Pick matrix around the window point (x, y), y counted from the top.
    virtual void initializeSelect(int x, int y, int width, int height);
    // Fills the given frustum (borrowed) with this view's six planes. A view
    // without a frustum of its own gives planes that reject nothing.
    virtual void getViewFrustum(CZelViewFrustum& frustum);
    virtual void viewTransform() {}
    virtual void projectionTransform() {}

    void setViewport(int x, int y, int width, int height) { m_viewport->set(x, y, width, height); }
    void setViewportSize(int width, int height) { m_viewport->setSize(width, height); }
    // Borrowed: the view keeps its viewport.
    CZelViewport* getViewport() const { return m_viewport; }
    void setReloadProjectionOnSelect(bool reload) { m_reloadProjectionOnSelect = reload; }
    bool getReloadProjectionOnSelect() const { return m_reloadProjectionOnSelect; }

private:
    CZelPointer<CZelViewport> m_viewport;
    bool m_reloadProjectionOnSelect = true;
};
