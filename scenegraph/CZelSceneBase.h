// The root of a drawing: a view, three composites drawn in a fixed order, the
// lights, a culling pass and a selection list. One render draws one frame in
// mono, anaglyph or quad-buffered stereo.
#pragma once

#include "CZelBufferSelection.h"
#include "CZelComposite.h"
#include "CZelCulling.h"
#include "CZelLighting.h"
#include "CZelPassCallback.h"
#include "CZelPointer.h"
#include "CZelShape.h"
#include "CZelView.h"

class CZelSceneBase : public CZelShape
{
    ZEL_DECLARE_CLASS(CZelSceneBase, CZelShape)
public:
    enum LightMode { LIGHTS_WITH_CAMERA = 0, LIGHTS_IN_WORLD = 1 };
    enum StereoMode { MONO = 0, ANAGLYPH = 1, QUAD_BUFFERED = 2 };
    enum AnaglyphColor { ANAGLYPH_GREEN = 0, ANAGLYPH_BLUE = 1, ANAGLYPH_CYAN = 2 };

    CZelSceneBase();

    void doCreateGeometry() override;
    virtual void doCreateLightsBefore(int pass);
    virtual void doCreateView(int pass);
    virtual void doCreateLightsAfter(int pass);
    virtual void doCreateContents(int pass);
    // Lights, view and contents of one pass.
    virtual void renderPass(int pass);
    // Adds a reference to the view; culling and selection follow it.
    virtual void setView(CZelView* view);

    // Appends to the content composite (which adds a reference).
    void addChild(CZelShape* shape);

    // All borrowed: the scene keeps them.
    CZelComposite* getComposite() const { return m_composite; }
    CZelComposite* getPreComposite() const { return m_preComposite; }
    CZelComposite* getPostComposite() const { return m_postComposite; }
    CZelView* getView() const { return m_view; }
    CZelCulling* getCulling() const { return m_culling; }
    CZelBufferSelection* getSelection() const { return m_selection; }

    void setLightMode(int mode) { m_lightMode = mode; }
    int getLightMode() const { return m_lightMode; }
    void setStereoMode(int mode) { m_stereoMode = mode; }
    int getStereoMode() const { return m_stereoMode; }
    void setAnaglyphColor(int color) { m_anaglyphColor = color; }
    int getAnaglyphColor() const { return m_anaglyphColor; }
    void setUseCulling(bool use) { m_useCulling = use; }
    bool getUseCulling() const { return m_useCulling; }
    bool isChanged() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }
    void setMultiPass(bool multiPass) { m_multiPass = multiPass; }
    void setPasses(int passes) { m_passes = passes; }
    // Borrowed; null draws the scene's own pass.
    void setPassCallback(CZelPassCallback* callback) { m_passCallback = callback; }

private:
    void drawMono();
    void drawAnaglyph();
    void drawQuadBuffered();
    void eyePass(int eye);
    bool viewIsCamera() const;

    CZelPassCallback* m_passCallback = nullptr;
    CZelPointer<CZelComposite> m_preComposite;
    CZelPointer<CZelComposite> m_composite;
    CZelPointer<CZelComposite> m_postComposite;
    CZelPointer<CZelView> m_view;
    CZelLighting* m_lighting;
    CZelPointer<CZelCulling> m_culling;
    CZelPointer<CZelBufferSelection> m_selection;
    int m_lightMode = LIGHTS_WITH_CAMERA;
    int m_stereoMode = MONO;
    int m_anaglyphColor = ANAGLYPH_GREEN;
    bool m_useCulling = false;
    bool m_changed = false;
    bool m_multiPass = false;
    int m_passes = 1;
};
