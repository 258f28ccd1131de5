// Base of every object that issues OpenGL commands. render runs one fixed
// sequence of hooks (transform, highlight, material, geometry) that subclasses
// fill in; compile records the same sequence into a display list.
#pragma once

#include "CZelBase.h"
#include "CZelBoundingSphere.h"
#include "CZelPointer.h"
#include "CZelRenderState.h"

#include <string>

enum HighlightState { HS_ON = 0, HS_OFF = 1 };

class CZelGLBase : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelGLBase, CZelBase)
public:
    CZelGLBase() = default;
    CZelGLBase(const CZelGLBase&) = delete;
    CZelGLBase& operator=(const CZelGLBase&) = delete;
    ~CZelGLBase() override;

    virtual void render();
    virtual void doUpdateBoundingSphere() {}
    virtual void doBeginGeometry() {}
    virtual void doEndGeometry() {}
    virtual void compile();
    virtual void doCreateHighlight() {}
    virtual void doCreateGeometry() {}
    virtual void doCreateMaterial() {}
    virtual void doBeginTransform() {}
    virtual void doEndTransform() {}

    void setName(const std::string& name) { m_name = name; }
    const std::string& getName() const { return m_name; }
    void setTag(int tag) { m_tag = tag; }
    int getTag() const { return m_tag; }

    // 0 draws; any other value makes render draw nothing.
    void setState(int state) { m_state = state; }
    int getState() const { return m_state; }
    void setHighlight(HighlightState highlight) { m_highlight = highlight; }
    HighlightState getHighlight() const { return m_highlight; }
    void setHighlightDrawing(bool on) { m_highlightDrawing = on; }
    void setMaterialDrawing(bool on) { m_materialDrawing = on; }

    // render plays the list made by compile instead of drawing; the caller
    // switches it on after compiling.
    void setUseDisplayList(bool use) { m_useDisplayList = use; }
    bool getUseDisplayList() const { return m_useDisplayList; }
    unsigned int getDisplayList() const { return m_displayList; }

    // Adds a reference to the state; null removes it.
    void setRenderState(CZelRenderState* state) { m_renderState = state; }
    // Borrowed.
    CZelRenderState* getRenderState() const { return m_renderState; }

    // Culling marks a shape for the next render only.
    void setCulled(bool culled) { m_culled = culled; }
    bool isCulled() const { return m_culled; }

    // Creates the sphere on first use, then lets the subclass size it.
    void updateBoundingSphere();
    // Borrowed; null until updateBoundingSphere ran.
    CZelBoundingSphere* getBoundingSphere() const { return m_boundingSphere; }

private:
    void drawSequence();

    std::string m_name;
    int m_tag = -1;
    HighlightState m_highlight = HS_OFF;
    int m_state = 0;
    CZelPointer<CZelBoundingSphere> m_boundingSphere;
    unsigned int m_displayList = 0;
    bool m_useDisplayList = false;
    bool m_highlightDrawing = true;
    bool m_culled = false;
    bool m_materialDrawing = true;
    CZelPointer<CZelRenderState> m_renderState;
};
