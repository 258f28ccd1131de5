// The application's view: background, antialiased scene drawing, parameters.
#include "CMorView.h"

#include "CMorJitterTable.h"
#include "CZelLighting.h"

#include <GL/gl.h>

#include <iostream>

namespace {

// Light 0's horizontal direction per light-direction setting; y is always 1.
const float lightDirections[8][2] = {{1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}, {0, 1}};

void store(float target[3], float r, float g, float b)
{
    target[0] = r;
    target[1] = g;
    target[2] = b;
}

void load(const float source[3], float& r, float& g, float& b)
{
    r = source[0];
    g = source[1];
    b = source[2];
}

} // namespace

CMorView::CMorView(int x, int y, int width, int height) : CZelFltkBase(x, y, width, height, nullptr)
{
    addInitEvent(this);
    addKeyboardEvent(this);
    addClearEvent(this);
    addResizeEvent(this);
    addRenderEvent(this);
    addMouseDownEvent(this);
    addMouseMoveEvent(this);
    addMouseUpEvent(this);
    addDestroyEvent(this);
}

CMorView::~CMorView()
{
    notifyDestroy();
    m_mouseHandler = nullptr;
}

int CMorView::handle(int event)
{
    if (event == FL_HIDE) {
        tellClose();
        CZelFltkBase::handle(event);
        return 1;
    }
    return CZelFltkBase::handle(event);
}

void CMorView::show()
{
    if (!shown() && (mode() & FL_ACCUM) == 0 && can_do(mode() | FL_ACCUM))
        mode(mode() | FL_ACCUM);
    CZelFltkBase::show();
}

bool CMorView::hasAccumulationBuffer()
{
    GLint red = 0;
    glGetIntegerv(GL_ACCUM_RED_BITS, &red);
    return red > 0;
}

void CMorView::onInit(int width, int height)
{
    std::cout << "onInit()" << std::endl;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    store(m_solidColor, 1.0f, 1.0f, 1.0f);
    store(m_upperColor, 0.5f, 0.5f, 1.0f);
    store(m_lowerColor, 1.0f, 1.0f, 1.0f);
    m_backgroundType = BACKGROUND_SOLID;
    m_antialias = false;
    m_antialiasLevel = 2;
    m_lightDirection = 0;
    m_tileMode = false;

    m_camera = new CZelCamera();
    m_camera->setPerspective(45.0, 0.1, 1000.0);
    m_camera->setPosition(0.0, 3.0, 5.0);
    m_camera->setTarget(0.0, 0.0, 0.0);
    m_camera->setUseJitter(true);

    m_scene = new CZelScene();
    m_scene->setView(m_camera);

    CZelLighting* lighting = CZelLighting::getInstance();
    lighting->enable();
    lighting->setTwoSide(true);
    m_light = lighting->getLight(0);
    m_light->setLightPosition(1.0f, 1.0f, 1.0f, 0.0f);
    m_light->setDiffuse(1.0f, 1.0f, 1.0f, 1.0f);
    m_light->setAmbient(0.2f, 0.2f, 0.2f, 1.0f);
    m_light->enable();

    m_mouseHandler = new CZelMouseViewHandler(this, m_camera);
    m_mouseHandler->activate();
}

void CMorView::onDestroy()
{
    tellClose();
}

void CMorView::onMouseDown(int x, int y)
{
    tellChanged();
}

void CMorView::onMouseUp(int x, int y)
{
    tellChanged();
}

void CMorView::onMouseMove(int x, int y)
{
    tellChanged();
}

void CMorView::onClear()
{
    if (m_backgroundType == BACKGROUND_SOLID) {
        glClearColor(m_solidColor[0], m_solidColor[1], m_solidColor[2], 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    } else if (m_backgroundType == BACKGROUND_GRADIENT) {
        clearGradient();
    }
}

void CMorView::clearGradient()
{
    const int width = getWidth();
    const int height = getHeight();
    glClear(GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    if (m_tileMode && m_tileColumns > 0 && m_tileRows > 0) {
        const int tw = width / m_tileColumns;
        const int th = height / m_tileRows;
        glOrtho(m_tileColumn * tw, (m_tileColumn + 1) * tw, (m_tileRows - m_tileRow) * th,
                (m_tileRows - m_tileRow - 1) * th, -1.0, 1.0);
    } else {
        glOrtho(0, width, height, 0, -1.0, 1.0);
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_MODELVIEW);
    // The quad is drawn in window pixels whatever the model-view holds.
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glBegin(GL_QUADS);
    glColor3fv(m_upperColor);
    glVertex2i(width, 0);
    glVertex2i(0, 0);
    glColor3fv(m_lowerColor);
    glVertex2i(0, height);
    glVertex2i(width, height);
    glEnd();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void CMorView::renderScene()
{
    m_camera->initialize();
    m_scene->render();
    glLineWidth(1.0f);
}

void CMorView::onRender()
{
    if (m_scene == nullptr)
        return;
    if (!m_antialias) {
        renderScene();
        return;
    }
    if (!hasAccumulationBuffer()) {
        if (!m_toldSinglePass) {
            std::cout << "Antialiasing needs an accumulation buffer, which this display does not offer: "
                         "drawing in one pass."
                      << std::endl;
            m_toldSinglePass = true;
        }
        renderScene();
        return;
    }
    const int passes = CMorJitterTable::getPassCount(m_antialiasLevel);
    glClear(GL_ACCUM_BUFFER_BIT);
    for (int pass = 0; pass < passes; ++pass) {
        onClear();
        double x = 0.0, y = 0.0;
        CMorJitterTable::getOffset(m_antialiasLevel, pass, x, y);
        m_camera->setJitter(x, y);
        renderScene();
        glAccum(GL_ACCUM, 1.0f / passes);
    }
    glAccum(GL_RETURN, 1.0f);
    m_camera->setJitter(0.0, 0.0);
    m_camera->initialize();
}

void CMorView::onResize(int width, int height)
{
    if (m_scene == nullptr || m_scene->getView() == nullptr)
        return;
    m_scene->getView()->setViewport(0, 0, width, height);
    m_scene->getView()->initialize();
}

void CMorView::addCommandLineParam(const std::string& param)
{
    m_commandLineParams.push_back(param);
    std::cout << "addCommandLineParam(): Adding command line param " << param << std::endl;
}

void CMorView::setBackgroundType(int type)
{
    m_backgroundType = type;
    redraw();
}

void CMorView::setSolidColor(float r, float g, float b)
{
    store(m_solidColor, r, g, b);
    redraw();
}

void CMorView::getSolidColor(float& r, float& g, float& b) const
{
    load(m_solidColor, r, g, b);
}

void CMorView::setUpperColor(float r, float g, float b)
{
    store(m_upperColor, r, g, b);
    redraw();
}

void CMorView::getUpperColor(float& r, float& g, float& b) const
{
    load(m_upperColor, r, g, b);
}

void CMorView::setLowerColor(float r, float g, float b)
{
    store(m_lowerColor, r, g, b);
    redraw();
}

void CMorView::getLowerColor(float& r, float& g, float& b) const
{
    load(m_lowerColor, r, g, b);
}

void CMorView::setAntialias(bool antialias)
{
    m_antialias = antialias;
    redraw();
}

void CMorView::setAntialiasLevel(int level)
{
    if (level < 0)
        level = 0;
    if (level >= CMorJitterTable::LEVEL_COUNT)
        level = CMorJitterTable::LEVEL_COUNT - 1;
    m_antialiasLevel = level;
    redraw();
}

void CMorView::setLightDirection(int direction)
{
    if (direction < 0 || direction > 7)
        direction = 0;
    m_lightDirection = direction;
    if (m_light != nullptr)
        m_light->setLightPosition(lightDirections[direction][0], 1.0f, lightDirections[direction][1], 0.0f);
    redraw();
}

void CMorView::setTileMode(bool on, int row, int column, int rows, int columns)
{
    m_tileMode = on;
    m_tileRow = row;
    m_tileColumn = column;
    m_tileRows = rows;
    m_tileColumns = columns;
}

void CMorView::tellChanged()
{
    if (m_changedListener != nullptr)
        m_changedListener->onViewChanged();
}

void CMorView::tellClose()
{
    if (m_closeListener != nullptr)
        m_closeListener->onViewClose();
}
