// Frame drawing of the application's view.
#include "CMorFrame.h"

#include "CFence.h"
#include "CMorJitterTable.h"
#include "CMorMeasureOverlay.h"
#include "CMorPicker.h"
#include "CMorMemory.h"
#include "CMorTileGrid.h"
#include "CPyramidLoader.h"
#include "CPyramidMemory.h"
#include "CZelGlobalState.h"
#include "CZelLighting.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <vector>

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

// The smallest power of two strictly greater than n, at most 2^19.
int powerOfTwoAbove(int n)
{
    int size = 1;
    for (int i = 0; i < 19 && size <= n; ++i)
        size *= 2;
    return size;
}

// Channel c (red, green, blue, alpha) of a pixel of any channel count.
unsigned char channelOf(const unsigned char* pixel, int channels, int c)
{
    if (c == 3)
        return channels == 2 || channels == 4 ? pixel[channels - 1] : 255;
    return pixel[channels >= 3 ? c : 0];
}

// The legend as RGBA scaled by averaging boxes of pixels, for legends larger
// than the GL texture limit. Returns a new image (the caller holds it with a
// reference).
CZelImage* shrink(CZelImage* source, int width, int height)
{
    CZelImage* result = new CZelImage();
    result->setChannels(4);
    result->setSize(width, height);
    const int sw = source->getWidth();
    const int sh = source->getHeight();
    const int channels = source->getChannels();
    const unsigned char* in = source->getPixels();
    unsigned char* out = result->getPixels();
    for (int y = 0; y < height; ++y) {
        const int y0 = static_cast<int>(static_cast<long long>(y) * sh / height);
        const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * sh / height));
        for (int x = 0; x < width; ++x) {
            const int x0 = static_cast<int>(static_cast<long long>(x) * sw / width);
            const int x1 = std::max(x0 + 1, static_cast<int>(static_cast<long long>(x + 1) * sw / width));
            long long sum[4] = {0, 0, 0, 0};
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx) {
                    const unsigned char* p = in + (static_cast<size_t>(sy) * sw + sx) * channels;
                    for (int c = 0; c < 4; ++c)
                        sum[c] += channelOf(p, channels, c);
                }
            const long long count = static_cast<long long>(y1 - y0) * (x1 - x0);
            for (int c = 0; c < 4; ++c)
                out[(static_cast<size_t>(y) * width + x) * 4 + c] = static_cast<unsigned char>(sum[c] / count);
        }
    }
    return result;
}

// Copies the legend to the lower left corner of the RGBA texture image: grey
// gives red, green and blue their value; a pixel whose alpha is below half
// gets alpha 0, which the legend's alpha test leaves out, every other 255.
void copyLegend(const CZelImage* legend, CZelImage* texture)
{
    const int channels = legend->getChannels();
    const int width = std::min(legend->getWidth(), texture->getWidth());
    for (int y = 0; y < std::min(legend->getHeight(), texture->getHeight()); ++y) {
        const unsigned char* from = legend->getPixels() + static_cast<size_t>(y) * legend->getWidth() * channels;
        unsigned char* to = texture->getPixels() + static_cast<size_t>(y) * texture->getWidth() * 4;
        for (int x = 0; x < width; ++x, from += channels, to += 4) {
            for (int c = 0; c < 3; ++c)
                to[c] = channelOf(from, channels, c);
            to[3] = channelOf(from, channels, 3) < 128 ? 0 : 255;
        }
    }
}

} // namespace

bool CMorFrame::hasAccumulationBuffer()
{
    GLint red = 0;
    glGetIntegerv(GL_ACCUM_RED_BITS, &red);
    return red > 0;
}

void CMorFrame::initializeFrame(int width, int height)
{
    std::cout << "onInit()" << std::endl;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Nearer fences hide farther ones in every frame, the first included,
    // whatever context the frame draws into (the window's widget base
    // enables it as well; an offscreen context starts without).
    glEnable(GL_DEPTH_TEST);
    GLint maxTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    if (maxTexture > 0)
        m_maxTextureSize = maxTexture;
    // Lines are drawn aliased; a GL without that range reports one for both kinds.
    GLfloat lineWidths[2] = {0.0f, 0.0f};
    glGetFloatv(GL_ALIASED_LINE_WIDTH_RANGE, lineWidths);
    if (!(lineWidths[1] >= 1.0f))
        glGetFloatv(GL_LINE_WIDTH_RANGE, lineWidths);
    m_widestLine = lineWidths[1] >= 1.0f ? lineWidths[1] : 1.0;
    m_width = width;
    m_height = height;

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
    applyViewSettings(m_defaultSettings);
}

void CMorFrame::resizeFrame(int width, int height)
{
    m_width = width;
    m_height = height;
    if (m_scene == nullptr || m_scene->getView() == nullptr)
        return;
    m_scene->getView()->setViewport(0, 0, width, height);
    m_scene->getView()->initialize();
}

void CMorFrame::clearFrame()
{
    if (m_backgroundType == BACKGROUND_SOLID) {
        glClearColor(m_solidColor[0], m_solidColor[1], m_solidColor[2], 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    } else if (m_backgroundType == BACKGROUND_GRADIENT) {
        clearGradient();
    }
}

// Window pixels, origin at the top left, y downwards; in tile mode the
// tile's slice of the whole window.
void CMorFrame::pixelProjection()
{
    if (m_tileMode) {
        double left = 0.0, right = 0.0, bottom = 0.0, top = 0.0;
        CMorTileGrid(m_width, m_height, m_tileRows, m_tileColumns).getPixelWindow(m_tileRow, m_tileColumn, left, right,
                                                                                  bottom, top);
        glOrtho(left, right, bottom, top, -1.0, 1.0);
    } else {
        glOrtho(0, m_width, m_height, 0, -1.0, 1.0);
    }
}

// Drawing in window pixels (the background and the legend), whatever the
// camera left in the matrices; endPixelDrawing puts everything back.
void CMorFrame::beginPixelDrawing()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    pixelProjection();
    glViewport(0, 0, m_width, m_height);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
}

void CMorFrame::endPixelDrawing()
{
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void CMorFrame::clearGradient()
{
    glClear(GL_DEPTH_BUFFER_BIT);
    beginPixelDrawing();
    glBegin(GL_QUADS);
    glColor3fv(m_upperColor);
    glVertex2i(m_width, 0);
    glVertex2i(0, 0);
    glColor3fv(m_lowerColor);
    glVertex2i(0, m_height);
    glVertex2i(m_width, m_height);
    glEnd();
    endPixelDrawing();
}

// A tiled picture is the screen's picture enlarged: its lines are as many
// times as thick as the tiles are per side (the fewer, for uneven grids),
// within what the driver draws.
void CMorFrame::renderScene()
{
    const float scale = m_tileMode ? static_cast<float>(std::min(m_tileRows, m_tileColumns)) : 1.0f;
    const int lineWidth = m_diagram ? std::max(1, m_diagram->getLineWidth()) : 1;
    const float wanted = lineWidth * scale;
    const float drawn = std::max(1.0f, std::min(wanted, static_cast<float>(m_widestLine)));
    if (wanted <= drawn) {
        m_toldLineWidth = 0.0f;
    } else if (wanted != m_toldLineWidth) {
        std::cout << "Lines " << wanted << " pixels wide are more than the graphics driver draws: they are drawn "
                  << drawn << " pixels wide." << std::endl;
        m_toldLineWidth = wanted;
    }
    CZelGlobalState::getInstance()->setLineScale(drawn / lineWidth);
    m_camera->initialize();
    if (m_tileMode)
        widenClipping(static_cast<int>(std::ceil(drawn / 2.0f)) + 1);
    if (m_diagram)
        glLineWidth(drawn);
    m_scene->render();
    glLineWidth(1.0f);
    CZelGlobalState::getInstance()->setLineScale(1.0f);
    if (m_tileMode)
        glViewport(0, 0, m_width, m_height);
}

// GL cuts a line where its middle leaves the viewport, so a wide line that
// crosses a tile's edge would lose the part of its width still inside the
// tile, and the neighbour tile the part inside it. The tile is drawn as the
// middle of a viewport margin pixels larger on every side, with the
// projection shrunk to match: each pixel shows what it showed, but lines are
// cut beyond the tile and the window trims them at its edge.
void CMorFrame::widenClipping(int margin)
{
    GLint maxSize[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxSize);
    margin = std::min(margin, std::min(maxSize[0] - m_width, maxSize[1] - m_height) / 2);
    if (margin <= 0 || m_width <= 0 || m_height <= 0)
        return;
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glViewport(-margin, -margin, m_width + 2 * margin, m_height + 2 * margin);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScaled(static_cast<double>(m_width) / (m_width + 2 * margin),
             static_cast<double>(m_height) / (m_height + 2 * margin), 1.0);
    glMultMatrixd(projection);
    glMatrixMode(GL_MODELVIEW);
}

void CMorFrame::drawFrame()
{
    clearFrame();
    renderFrame();
}

bool CMorFrame::isRefining()
{
    return CPyramidMemory::getInstance().getMissing() > 0 || CPyramidLoader::getInstance().getPending() > 0;
}

void CMorFrame::renderFrame()
{
    if (m_scene == nullptr)
        return;
    CPyramidMemory& tiles = CPyramidMemory::getInstance();
    if (m_fullDetail)
        tiles.evictUndrawn();
    tiles.beginFrame();
    tiles.setSynchronous(m_fullDetail);
    const bool antialias = m_antialias && !m_moving;
    const bool accumulate = antialias && hasAccumulationBuffer();
    if (antialias && !accumulate && !m_toldSinglePass) {
        std::cout << "Antialiasing needs an accumulation buffer, which this display does not offer: "
                     "drawing in one pass."
                  << std::endl;
        m_toldSinglePass = true;
    }
    if (!accumulate) {
        renderScene();
        m_passesDrawn = 1;
    } else {
        const int passes = CMorJitterTable::getPassCount(m_antialiasLevel);
        glClear(GL_ACCUM_BUFFER_BIT);
        for (int pass = 0; pass < passes; ++pass) {
            clearFrame();
            double x = 0.0, y = 0.0;
            CMorJitterTable::getOffset(m_antialiasLevel, pass, x, y);
            m_camera->setJitter(x, y);
            renderScene();
            glAccum(GL_ACCUM, 1.0f / passes);
        }
        glAccum(GL_RETURN, 1.0f);
        m_camera->setJitter(0.0, 0.0);
        m_camera->initialize();
        m_passesDrawn = passes;
    }
    drawLegend();
}

bool CMorFrame::pointAt(int x, int y, CZelVec3d& point)
{
    if (m_scene == nullptr || x < 0 || y < 0 || x >= m_width || y >= m_height || !activateContext())
        return false;
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    renderScene();
    glPopAttrib();
    GLfloat depth = 1.0f;
    glReadPixels(x, m_height - 1 - y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    if (!(depth < 1.0f))
        return false;
    // The scene is drawn relative to the camera's render origin: the matrices
    // give the point relative to it, in numbers small enough for GL.
    GLdouble projection[16], modelView[16];
    GLint viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    m_camera->viewTransform();
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glPopMatrix();
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble px = 0.0, py = 0.0, pz = 0.0;
    if (gluUnProject(x + 0.5, m_height - 1 - y + 0.5, depth, modelView, projection, viewport, &px, &py, &pz) != GL_TRUE)
        return false;
    const CZelVec3d& origin = m_camera->getRenderOrigin();
    point.setComponents(px + origin.x(), py + origin.y(), pz + origin.z());
    return std::isfinite(point.x()) && std::isfinite(point.y()) && std::isfinite(point.z());
}

std::string CMorFrame::absolutePath(const std::string& path)
{
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved != nullptr) {
        std::string absolute = resolved;
        std::free(resolved);
        return absolute;
    }
    // A path that does not exist (yet) still gets an absolute form.
    char* cwd = getcwd(nullptr, 0);
    const std::string absolute =
        (!path.empty() && path[0] == '/') || cwd == nullptr ? path : std::string(cwd) + "/" + path;
    std::free(cwd);
    return absolute;
}

CMorPick CMorFrame::pickAt(int x, int y) const
{
    const CFenceDiagram* diagram = getDiagram();
    if (diagram == nullptr || m_camera == nullptr || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CMorPick();
    return CMorPicker(diagram, m_camera).pickPixel(x, y, m_width, m_height);
}

void CMorFrame::drawOverlay()
{
    const CFenceDiagram* diagram = getDiagram();
    if (diagram == nullptr || m_camera == nullptr || !m_measurement.hasA())
        return;
    beginPixelDrawing();
    CMorMeasureOverlay::draw(m_measurement, *m_camera, diagram->getCoordinates(), m_width, m_height);
    endPixelDrawing();
}

bool CMorFrame::open(const std::string& path)
{
    if (m_loading) {
        m_errorMessage = "Cannot open " + path + " while another diagram is loading.";
        return false;
    }
    // Cleared on every way out, early returns included.
    struct Loading
    {
        bool& flag;
        explicit Loading(bool& f) : flag(f) { flag = true; }
        ~Loading() { flag = false; }
    } loading(m_loading);

    std::cout << "Loading file " << path << std::endl;
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    const std::string absolute = absolutePath(path);
    std::cout << "Absolute filename " << absolute << std::endl;

    // The open diagram stays in the scene until the new one has loaded: a
    // failure leaves it as it was, and the view shows it meanwhile. The new
    // one touches the shared camera only once it has loaded.
    CZelPointer<CFenceDiagram> diagram = new CFenceDiagram();
    diagram->setCamera(m_camera);
    diagram->setFenceLighting(m_defaultSettings.lighting);
    diagram->setFenceBuiltHandler([this](CFence* fence) {
        if (activateContext())
            fence->uploadTiles();
    });
    diagram->setMissingPicturesHandler([this, &absolute](const std::vector<CFenceDiagram::MissingPicture>& missing) {
        return openWithoutPictures(absolute, missing);
    });
    if (!diagram->load(absolute)) {
        m_errorMessage = diagram->getErrorMessage();
        requestRedraw();
        return false;
    }
    if (m_diagram && m_scene)
        m_scene->getComposite()->removeShape(m_diagram.get());
    m_legendTexture = nullptr;
    m_legendTextureImage = nullptr;
    m_diagram = diagram;
    m_fileName = absolute;
    m_measurement.clear();
    if (m_scene)
        m_scene->addChild(m_diagram);
    // A format 2 file holds every view setting (those it leaves out at their
    // defaults), so that it looks the same wherever it is opened; a format 1
    // file is shown with the user's own defaults.
    if (m_diagram->getFileFormat() == 2)
        applyViewOptions(m_diagram->getViewOptions());
    else
        applyViewSettings(m_defaultSettings);
    if (m_diagram->getLegendImage())
        prepareLegend();
    // Large sections take a while: the log tells how long this one took.
    char took[160];
    std::snprintf(took, sizeof took, ": %d fences in %.3f s", m_diagram->getFenceCount(),
                  std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    std::cout << "Opened " << absolute << took << std::endl;
    requestRedraw();
    return true;
}

bool CMorFrame::closeDiagram()
{
    if (m_loading) {
        m_errorMessage = "Cannot close the diagram while another one is loading.";
        return false;
    }
    if (!m_diagram)
        return true;
    // Its textures and display lists are names in this frame's context.
    activateContext();
    if (m_scene)
        m_scene->getComposite()->removeShape(m_diagram.get());
    m_legendTexture = nullptr;
    m_legendTextureImage = nullptr;
    m_diagram = nullptr;
    m_measurement.clear();
    std::cout << "Closed " << m_fileName << std::endl;
    CMorMemory::returnFreedPages();
    requestRedraw();
    return true;
}

void CMorFrame::resetView()
{
    if (!m_diagram || m_loading)
        return;
    m_diagram->placeCamera(m_camera);
    requestRedraw();
}

bool CMorFrame::saveSettings()
{
    if (m_loading) {
        m_errorMessage = "Cannot save the settings while a diagram is loading.";
        return false;
    }
    if (!m_diagram)
        return true;
    m_diagram->setViewOptions(getViewOptions());
    if (!m_diagram->save(std::string(m_fileName))) {
        m_errorMessage = m_diagram->getErrorMessage();
        return false;
    }
    return true;
}

bool CMorFrame::saveSettingsAs(const std::string& path)
{
    if (m_loading) {
        m_errorMessage = "Cannot save the settings while a diagram is loading.";
        return false;
    }
    if (!m_diagram)
        return true;
    const std::string absolute = absolutePath(path);
    m_diagram->setViewOptions(getViewOptions());
    if (!m_diagram->saveAs(absolute, m_fileName)) {
        m_errorMessage = m_diagram->getErrorMessage();
        return false;
    }
    m_fileName = absolute;
    return true;
}

bool CMorFrame::getCameraInMapUnits(CZelVec3d& position, CZelVec3d& target) const
{
    if (m_camera == nullptr)
        return false;
    if (m_diagram) {
        m_diagram->getCameraInMapUnits(position, target);
        return true;
    }
    const CFenceCoordinates coordinates;
    position = coordinates.toCameraAxes(m_camera->getPosition());
    target = coordinates.toCameraAxes(m_camera->getTarget());
    return true;
}

bool CMorFrame::setCameraInMapUnits(const CZelVec3d& position, const CZelVec3d& target)
{
    if (m_camera == nullptr || m_loading)
        return false;
    if (m_diagram)
        return m_diagram->setCameraInMapUnits(position, target);
    const CFenceCoordinates coordinates;
    const CZelVec3d p = coordinates.fromCameraAxes(position);
    const CZelVec3d t = coordinates.fromCameraAxes(target);
    return m_camera->setPosition(p.x(), p.y(), p.z()) && m_camera->setTarget(t.x(), t.y(), t.z());
}

void CMorFrame::setVerticalExaggeration(double factor)
{
    if (!m_diagram || m_loading)
        return;
    m_diagram->setVerticalExaggeration(factor);
    std::cout << "Vertical exaggeration " << m_diagram->getVerticalExaggeration() << "." << std::endl;
    requestRedraw();
}

double CMorFrame::nextExaggerationStep(double factor, bool raise)
{
    static const double STEPS[] = {1.0, 1.5, 2.0, 3.0, 5.0, 10.0};
    double next = factor;
    for (const double step : STEPS) {
        if (raise && step > factor)
            return step;
        if (!raise && step < factor)
            next = step;
    }
    return next;
}

CFenceDescription::Options CMorFrame::getViewOptions() const
{
    CFenceDescription::Options options;
    options.background = m_backgroundType == BACKGROUND_GRADIENT ? 1 : 0;
    for (int k = 0; k < 3; ++k) {
        options.solidColor[k] = m_solidColor[k];
        options.upperColor[k] = m_upperColor[k];
        options.lowerColor[k] = m_lowerColor[k];
    }
    options.lightDirection = m_lightDirection;
    options.antialias = m_antialias ? m_antialiasLevel : -1;
    return options;
}

void CMorFrame::applyViewOptions(const CFenceDescription::Options& options)
{
    setBackgroundType(options.background == 1 ? BACKGROUND_GRADIENT : BACKGROUND_SOLID);
    setSolidColor(options.solidColor[0], options.solidColor[1], options.solidColor[2]);
    setUpperColor(options.upperColor[0], options.upperColor[1], options.upperColor[2]);
    setLowerColor(options.lowerColor[0], options.lowerColor[1], options.lowerColor[2]);
    setLightDirection(options.lightDirection);
    setAntialias(options.antialias >= 0);
    if (options.antialias >= 0)
        setAntialiasLevel(options.antialias);
}

void CMorFrame::prepareLegend()
{
    CZelPointer<CZelImage> legend = m_diagram->getLegendImage();
    int w = legend->getWidth();
    int h = legend->getHeight();
    // A texture must be strictly larger than the picture and within the GL
    // limit: larger legends are scaled down to fit.
    const int limit = std::min(m_maxTextureSize, 1 << 19) - 1;
    if (w > limit || h > limit) {
        const double scale = static_cast<double>(limit) / std::max(w, h);
        const int sw = std::max(1, static_cast<int>(w * scale));
        const int sh = std::max(1, static_cast<int>(h * scale));
        std::cout << "Legend image " << w << " x " << h << " is larger than the graphics card's texture limit; "
                  << "shown scaled to " << sw << " x " << sh << "." << std::endl;
        legend = shrink(legend, sw, sh);
        w = sw;
        h = sh;
    }
    m_legendTextureImage = new CZelImage();
    m_legendTextureImage->setChannels(4);
    const int textureWidth = powerOfTwoAbove(w);
    const int textureHeight = powerOfTwoAbove(h);
    m_legendTextureImage->setSize(textureWidth, textureHeight);
    m_legendTextureImage->fillColor(255, 255, 255);
    m_legendTextureImage->setAlphaValue(255);
    copyLegend(legend, m_legendTextureImage);
    m_legendWidth = w;
    m_legendHeight = h;

    m_legendTexture = new CZelTexture();
    m_legendTexture->setImage(m_legendTextureImage);
    // The texture's own colour, and its alpha for the alpha test.
    m_legendTexture->setMode(GL_REPLACE);
    m_legendTexture->setFilters(GL_LINEAR, GL_LINEAR);
    std::cout << "legendImage size = " << textureWidth << ", " << textureHeight << std::endl;
}

void CMorFrame::drawLegend()
{
    if (!m_diagram || !m_diagram->getLegendImage() || !m_legendTexture || !m_diagram->getShowLegend())
        return;
    beginPixelDrawing();

    CZelImage* legend = m_diagram->getLegendImage();
    const double lw = legend->getWidth();
    const double lh = legend->getHeight();
    const double W = m_diagram->getLegendSize() * m_width;
    const double H = W * lh / lw;
    const int mx = m_diagram->getLegendMarginX();
    const int my = m_diagram->getLegendMarginY();
    double x = mx;
    if (m_diagram->getLegendPositionX() == 1)
        x = (m_width / 2) - 0.5 * W;
    else if (m_diagram->getLegendPositionX() == 2)
        x = m_width - W - mx;
    const double y = m_diagram->getLegendPositionY() == 0 ? my + H : m_height - my;

    const double s = static_cast<double>(m_legendWidth) / m_legendTextureImage->getWidth();
    const double t = static_cast<double>(m_legendHeight) / m_legendTextureImage->getHeight();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    // The legend's transparent pixels let the view show through.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnable(GL_TEXTURE_2D);
    if (m_legendTexture->isCreated())
        m_legendTexture->apply();
    else
        m_legendTexture->bind();
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 0.0);
    glVertex2d(x, y);
    glTexCoord2d(0.0, t);
    glVertex2d(x, y - H);
    glTexCoord2d(s, t);
    glVertex2d(x + W, y - H);
    glTexCoord2d(s, 0.0);
    glVertex2d(x + W, y);
    glEnd();
    glPopAttrib();

    endPixelDrawing();
}

void CMorFrame::setBackgroundType(int type)
{
    m_backgroundType = type;
    requestRedraw();
}

void CMorFrame::setSolidColor(float r, float g, float b)
{
    store(m_solidColor, r, g, b);
    requestRedraw();
}

void CMorFrame::getSolidColor(float& r, float& g, float& b) const
{
    load(m_solidColor, r, g, b);
}

void CMorFrame::setUpperColor(float r, float g, float b)
{
    store(m_upperColor, r, g, b);
    requestRedraw();
}

void CMorFrame::getUpperColor(float& r, float& g, float& b) const
{
    load(m_upperColor, r, g, b);
}

void CMorFrame::setLowerColor(float r, float g, float b)
{
    store(m_lowerColor, r, g, b);
    requestRedraw();
}

void CMorFrame::getLowerColor(float& r, float& g, float& b) const
{
    load(m_lowerColor, r, g, b);
}

void CMorFrame::setAntialias(bool antialias)
{
    m_antialias = antialias;
    requestRedraw();
}

void CMorFrame::setAntialiasLevel(int level)
{
    if (level < 0)
        level = 0;
    if (level >= CMorJitterTable::LEVEL_COUNT)
        level = CMorJitterTable::LEVEL_COUNT - 1;
    m_antialiasLevel = level;
    requestRedraw();
}

void CMorFrame::setLightDirection(int direction)
{
    if (direction < 0 || direction > 7)
        direction = 0;
    m_lightDirection = direction;
    if (m_light != nullptr)
        m_light->setLightPosition(lightDirections[direction][0], 1.0f, lightDirections[direction][1], 0.0f);
    requestRedraw();
}

void CMorFrame::applyViewSettings(const CMorViewSettings& settings)
{
    setBackgroundType(settings.backgroundType);
    setSolidColor(settings.solidColor[0], settings.solidColor[1], settings.solidColor[2]);
    setUpperColor(settings.upperColor[0], settings.upperColor[1], settings.upperColor[2]);
    setLowerColor(settings.lowerColor[0], settings.lowerColor[1], settings.lowerColor[2]);
    setLightDirection(settings.lightDirection);
    setAntialias(settings.antialias);
    setAntialiasLevel(settings.antialiasLevel);
    if (CFenceDiagram* diagram = getDiagram())
        diagram->setFenceLighting(settings.lighting);
}

CMorViewSettings CMorFrame::getViewSettings() const
{
    CMorViewSettings settings;
    settings.backgroundType = m_backgroundType;
    load(m_solidColor, settings.solidColor[0], settings.solidColor[1], settings.solidColor[2]);
    load(m_upperColor, settings.upperColor[0], settings.upperColor[1], settings.upperColor[2]);
    load(m_lowerColor, settings.lowerColor[0], settings.lowerColor[1], settings.lowerColor[2]);
    const CFenceDiagram* diagram = getDiagram();
    settings.lighting = diagram != nullptr ? diagram->getFenceLighting() : m_defaultSettings.lighting;
    settings.lightDirection = m_lightDirection;
    settings.antialias = m_antialias;
    settings.antialiasLevel = m_antialiasLevel;
    return settings;
}

void CMorFrame::setTileMode(bool on, int row, int column, int rows, int columns)
{
    m_tileMode = on;
    m_tileRow = row;
    m_tileColumn = column;
    m_tileRows = rows;
    m_tileColumns = columns;
    if (m_camera == nullptr)
        return;
    // The scene shows the tile's part of the frustum, the overlays the same
    // part of the window (pixelProjection): both come from one grid.
    double left = -1.0, right = 1.0, bottom = -1.0, top = 1.0;
    if (on)
        CMorTileGrid(m_width, m_height, rows, columns).getViewWindow(row, column, left, right, bottom, top);
    m_camera->setUseViewWindow(on);
    m_camera->setViewWindow(left, right, bottom, top);
}

void CMorFrame::drawTile(int row, int column, int rows, int columns, int width, int height)
{
    if (m_camera == nullptr)
        return;
    const int fullWidth = m_width;
    const int fullHeight = m_height;
    resizeFrame(width, height);
    setTileMode(true, row, column, rows, columns);
    drawFrame();
    setTileMode(false);
    resizeFrame(fullWidth, fullHeight);
}

void CMorFrame::readPixels(int width, int height, unsigned char* rgb)
{
    glFinish();
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
}
