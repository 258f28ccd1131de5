// Everything a frame of the application's view shows, without the toolkit:
// the camera, scene and light, the background, accumulation antialiasing, tile
// mode, the open diagram and its legend overlay. The window draws through it,
// and so does the headless renderer, so both make the same picture.
#pragma once

#include "CFenceDiagram.h"
#include "CMorMeasurement.h"
#include "CMorPick.h"
#include "CMorViewSettings.h"
#include "CZelCamera.h"
#include "CZelImage.h"
#include "CZelLight.h"
#include "CZelPointer.h"
#include "CZelScene.h"
#include "CZelTexture.h"

#include <string>
#include <vector>

class CMorFrame
{
public:
    enum { BACKGROUND_SOLID = 0, BACKGROUND_GRADIENT = 1 };

    CMorFrame() = default;
    CMorFrame(const CMorFrame&) = delete;
    CMorFrame& operator=(const CMorFrame&) = delete;
    virtual ~CMorFrame() = default;

    // Makes camera, scene and light and resets every parameter; needs a
    // current GL context.
    void initializeFrame(int width, int height);
    // Gives the camera the new size of the drawing area.
    void resizeFrame(int width, int height);
    // Draws one whole frame: the background, then renderFrame.
    void drawFrame();
    // The background alone, as drawn before each pass.
    void clearFrame();
    // The scene (jittered passes into the accumulation buffer when
    // antialiasing) and the legend overlay.
    void renderFrame();

    // Reads a description file into a new diagram that replaces the open one
    // once it has loaded; a file in format 2 sets the view's settings too.
    // On failure the open diagram stays as it was, with its camera and
    // legend; the reason is in getErrorMessage and the caller shows it.
    // Refused while another one loads.
    bool open(const std::string& path);
    // Closes the open diagram: the scene is empty, and the memory of its
    // pictures, tiles, textures and legend goes back to the system. Refused
    // (false with getErrorMessage) while a diagram loads.
    bool closeDiagram();
    // The automatic camera placement of the open diagram; nothing while a
    // diagram loads.
    void resetView();
    // Writes camera, legend and every setting of the diagram and the view
    // back to the file last opened; false with getErrorMessage when the file
    // could not be written (the old one stays) or while a diagram loads,
    // whose half-read content must not be written.
    bool saveSettings();
    // Writes what saveSettings writes to another description file, which
    // becomes the open one (getFileName); picture names are rewritten to
    // name the same pictures from there. False with getErrorMessage, the
    // open file unchanged, when it cannot be written.
    bool saveSettingsAs(const std::string& path);
    // The path made absolute against the working folder, links resolved
    // where it exists.
    static std::string absolutePath(const std::string& path);
    // True while open reads a description. Every line written to the log
    // lets the toolkit handle pending events, so commands may arrive then.
    bool isLoading() const { return m_loading; }
    const std::string& getErrorMessage() const { return m_errorMessage; }
    // Absolute path of the description last opened with success.
    const std::string& getFileName() const { return m_fileName; }

    // Borrowed; null before initializeFrame (camera, scene, light) or while no
    // diagram is open.
    CZelCamera* getCamera() const { return m_camera; }
    CZelScene* getScene() const { return m_scene; }
    CZelLight* getLight() const { return m_light; }
    // Null while a diagram loads too: dialogs and commands that run from the
    // log's line ends must not reach a half-built diagram.
    CFenceDiagram* getDiagram() const { return m_loading ? nullptr : m_diagram.get(); }
    CZelTexture* getLegendTexture() const { return m_legendTexture; }

    // The camera's eye and target in camera axes (east, elevation, north),
    // true map units, whatever the exaggeration; false before the camera
    // exists, or (setting) for points that are not finite.
    bool getCameraInMapUnits(CZelVec3d& position, CZelVec3d& target) const;
    bool setCameraInMapUnits(const CZelVec3d& position, const CZelVec3d& target);

    // The open diagram's vertical exaggeration, with a line in the log; the
    // camera keeps its place in map units. Nothing without a diagram.
    void setVerticalExaggeration(double factor);
    // The next of the menu's steps (1, 1.5, 2, 3, 5, 10) above or below the
    // factor; the factor itself when there is none.
    static double nextExaggerationStep(double factor, bool raise);

    // The view's settings as a description file holds them, and applying them.
    CFenceDescription::Options getViewOptions() const;
    void applyViewOptions(const CFenceDescription::Options& options);

    int getFrameWidth() const { return m_width; }
    int getFrameHeight() const { return m_height; }

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
    // While the camera moves, frames are drawn in one pass whatever the
    // antialiasing, so that navigation keeps up with the pointer.
    void setMoving(bool moving) { m_moving = moving; }
    bool isMoving() const { return m_moving; }
    // Passes the last frame drew the scene in.
    int getPassesDrawn() const { return m_passesDrawn; }
    // Pictures made from frames (files, the clipboard, the headless
    // renderer) wait in each frame for every tile it draws at the level its
    // view needs; the window's frames draw what is at hand and refine.
    void setFullDetail(bool on) { m_fullDetail = on; }
    bool getFullDetail() const { return m_fullDetail; }
    // Whether the last frame lacked finer tiles that are on their way: the
    // window then draws again shortly.
    static bool isRefining();

    // Directions 0 to 7 turn the light around the vertical in steps of 45
    // degrees; anything else is direction 0.
    void setLightDirection(int direction);
    int getLightDirection() const { return m_lightDirection; }

    // The settings initializeFrame starts from (built-in ones unless set),
    // and the fence lighting every diagram opened afterwards starts with.
    void setDefaultViewSettings(const CMorViewSettings& settings) { m_defaultSettings = settings; }
    const CMorViewSettings& getDefaultViewSettings() const { return m_defaultSettings; }
    // All settings but the camera at once; the lighting goes to the open
    // diagram, if any.
    void applyViewSettings(const CMorViewSettings& settings);
    // The lighting is the open diagram's, else the default.
    CMorViewSettings getViewSettings() const;

    // Tiled drawing: the frame shows tile (row, column) of a rows x columns
    // grid (CMorTileGrid), row 0 at the bottom: the camera's view window, the
    // gradient background and the legend are cut to match. Off restores the
    // whole view.
    void setTileMode(bool on, int row = 0, int column = 0, int rows = 1, int columns = 1);
    bool getTileMode() const { return m_tileMode; }

    // Draws tile (row, column) of a rows x columns grid into width x height
    // pixels at the bottom left of the drawing area (at most its size). The
    // tiles side by side make one picture of columns * width x rows * height
    // pixels, the frame seen through the same camera at that size, background
    // and legend included. Size, camera and tile mode are restored after.
    void drawTile(int row, int column, int rows, int columns, int width, int height);
    // Reads width x height pixels from the bottom left of the current buffer,
    // RGB, bottom row first, once drawing has finished, into the caller's
    // buffer of width * height * 3 bytes.
    static void readPixels(int width, int height, unsigned char* rgb);
    // Makes the frame's GL context current for drawing outside the window
    // system's paint; false when there is none to draw into yet.
    virtual bool activateContext() { return true; }

    // The point of the scene seen at window pixel (x, y) (origin top left),
    // in world units, from the depth of one frame drawn into the back buffer;
    // false over the background or outside the frame. Leaves the back
    // buffer's colours as they were.
    bool pointAt(int x, int y, CZelVec3d& point);

    // The fence point under window pixel (x, y) (origin top left), found
    // along the ray through the pixel's centre; nothing outside the frame,
    // while no diagram is open or while one loads.
    CMorPick pickAt(int x, int y) const;
    // The points the user measures between; opening a diagram clears them.
    CMorMeasurement& getMeasurement() { return m_measurement; }
    const CMorMeasurement& getMeasurement() const { return m_measurement; }
    // Marks the window draws over its frame, never part of a picture of the
    // view: the measurement's points and line. Drawing code, after the frame.
    void drawOverlay();

    // True when the current GL context has an accumulation buffer.
    static bool hasAccumulationBuffer();
    // The widest line in pixels that GL draws, as it told initializeFrame.
    double getWidestLine() const { return m_widestLine; }

protected:
    // Asks the window system to draw a new frame later.
    virtual void requestRedraw() {}
    // Asked while path loads, before any picture is decoded, with every
    // picture it names that cannot be read; true opens the diagram without
    // them. Here nobody is asked, and the open fails.
    virtual bool openWithoutPictures(const std::string& path,
                                     const std::vector<CFenceDiagram::MissingPicture>& missing)
    {
        return false;
    }

private:
    void renderScene();
    void widenClipping(int margin);
    void clearGradient();
    void pixelProjection();
    void beginPixelDrawing();
    void endPixelDrawing();
    void prepareLegend();
    void drawLegend();

    CZelPointer<CZelCamera> m_camera;
    CZelPointer<CZelScene> m_scene;
    CZelPointer<CZelLight> m_light;
    CZelPointer<CFenceDiagram> m_diagram;
    CZelPointer<CZelTexture> m_legendTexture;
    CZelPointer<CZelImage> m_legendTextureImage;
    std::string m_fileName;
    std::string m_errorMessage;
    int m_width = 0;
    int m_height = 0;
    CMorViewSettings m_defaultSettings;
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
    bool m_toldSinglePass = false;
    // The clamped line width last told in the log; 0 while lines fit.
    float m_toldLineWidth = 0.0f;
    bool m_moving = false;
    bool m_fullDetail = false;
    int m_passesDrawn = 0;
    bool m_loading = false;
    int m_maxTextureSize = 2048;
    double m_widestLine = 1.0;
    int m_legendWidth = 0;
    int m_legendHeight = 0;
    CMorMeasurement m_measurement;
};
