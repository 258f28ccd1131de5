// The application's OpenGL view: owns the scene, the camera, the light and the
// mouse navigation; draws a solid or gradient background and the scene, once
// or several times jittered into the accumulation buffer; keeps the view
// parameters the dialogs edit and tells the main window about changes.
#pragma once

#include "CMorViewChangedEvent.h"
#include "CMorViewCloseEvent.h"
#include "CZelCamera.h"
#include "CZelClearEvent.h"
#include "CZelDestroyEvent.h"
#include "CZelFltkBase.h"
#include "CZelInitEvent.h"
#include "CZelKeyboardEvent.h"
#include "CZelLight.h"
#include "CZelMouseDownEvent.h"
#include "CZelMouseMoveEvent.h"
#include "CZelMouseUpEvent.h"
#include "CZelMouseViewHandler.h"
#include "CZelPointer.h"
#include "CZelRenderEvent.h"
#include "CZelResizeEvent.h"
#include "CZelScene.h"

#include <string>
#include <vector>

class CMorView : public CZelFltkBase,
                 public CZelInitEvent,
                 public CZelKeyboardEvent,
                 public CZelClearEvent,
                 public CZelResizeEvent,
                 public CZelRenderEvent,
                 public CZelMouseDownEvent,
                 public CZelMouseMoveEvent,
                 public CZelMouseUpEvent,
                 public CZelDestroyEvent
{
    ZEL_DECLARE_CLASS(CMorView, CZelFltkBase)

public:
    enum { BACKGROUND_SOLID = 0, BACKGROUND_GRADIENT = 1 };

    CMorView(int x, int y, int width, int height);
    // Tells the close listener while the view is still whole.
    ~CMorView() override;

    int handle(int event) override;
    // Shows the window with an accumulation buffer added to its GL mode when
    // the display offers one.
    void show() override;

    // Widget hooks and listener operations in one.
    void onInit(int width, int height) override;
    void onDestroy() override;
    void onMouseDown(int x, int y) override;
    void onMouseUp(int x, int y) override;
    void onMouseMove(int x, int y) override;
    void onRender() override;
    void onClear() override;
    void onResize(int width, int height) override;

    void addCommandLineParam(const std::string& param);
    const std::vector<std::string>& getCommandLineParams() const { return m_commandLineParams; }
    // Both borrowed; null for none.
    void setChangedListener(CMorViewChangedEvent* listener) { m_changedListener = listener; }
    void setCloseListener(CMorViewCloseEvent* listener) { m_closeListener = listener; }

    // Borrowed; null before the first frame.
    CZelCamera* getCamera() const { return m_camera; }
    CZelScene* getScene() const { return m_scene; }
    CZelLight* getLight() const { return m_light; }
    CZelMouseViewHandler* getMouseHandler() const { return m_mouseHandler; }

    // Each setter stores the value and asks for a redraw.
    void setBackgroundType(int type);
    int getBackgroundType() const { return m_backgroundType; }
    void setSolidColor(float r, float g, float b);
    void getSolidColor(float& r, float& g, float& b) const;
    void setUpperColor(float r, float g, float b);
    void getUpperColor(float& r, float& g, float& b) const;
    void setLowerColor(float r, float g, float b);
    void getLowerColor(float& r, float& g, float& b) const;
    void setAntialias(bool antialias);
    bool getAntialias() const { return m_antialias; }
    // Levels outside 0 to 6 are taken as the nearest one.
    void setAntialiasLevel(int level);
    int getAntialiasLevel() const { return m_antialiasLevel; }
    // Directions 0 to 7 turn the light around the vertical in steps of 45
    // degrees; anything else is direction 0.
    void setLightDirection(int direction);
    int getLightDirection() const { return m_lightDirection; }

    // Tiled drawing: the frame shows tile (row, column) of a rows x columns
    // grid, row 0 at the bottom; the gradient background is cut to match.
    void setTileMode(bool on, int row = 0, int column = 0, int rows = 1, int columns = 1);
    bool getTileMode() const { return m_tileMode; }

    // True when the current GL context has an accumulation buffer.
    static bool hasAccumulationBuffer();

private:
    void renderScene();
    void clearGradient();
    void tellChanged();
    void tellClose();

    std::vector<std::string> m_commandLineParams;
    CZelPointer<CZelCamera> m_camera;
    CZelPointer<CZelScene> m_scene;
    CZelPointer<CZelLight> m_light;
    float m_solidColor[3] = {1.0f, 1.0f, 1.0f};
    float m_upperColor[3] = {0.5f, 0.5f, 1.0f};
    float m_lowerColor[3] = {1.0f, 1.0f, 1.0f};
    int m_backgroundType = BACKGROUND_SOLID;
    bool m_antialias = false;
    int m_antialiasLevel = 2;
    int m_lightDirection = 0;
    bool m_tileMode = false;
    int m_tileRow = 0;
    int m_tileColumn = 0;
    int m_tileRows = 1;
    int m_tileColumns = 1;
    CZelPointer<CZelMouseViewHandler> m_mouseHandler;
    CMorViewChangedEvent* m_changedListener = nullptr;
    CMorViewCloseEvent* m_closeListener = nullptr;
    bool m_toldSinglePass = false;
};
