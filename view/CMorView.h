// The application's OpenGL window: draws its frame (scene, background,
// antialiasing, legend) through CMorFrame, moves the camera with the mouse,
// the wheel and the keys, keeps the camera's history for Back and Forward and
// tells the main window about changes and about closing.
#pragma once

#include "CMorCameraHistory.h"
#include "CMorExportProgress.h"
#include "CMorExporter.h"
#include "CMorFrame.h"
#include "CMorViewChangedEvent.h"
#include "CMorViewCloseEvent.h"
#include "CMorViewDropEvent.h"
#include "CMorViewPickEvent.h"
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
                 public CMorFrame,
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
    // The end of a burst of wheel or key steps.
    bool onTimeout0() override;

    void addCommandLineParam(const std::string& param);
    const std::vector<std::string>& getCommandLineParams() const { return m_commandLineParams; }
    // Both borrowed; null for none.
    void setChangedListener(CMorViewChangedEvent* listener) { m_changedListener = listener; }
    void setCloseListener(CMorViewCloseEvent* listener) { m_closeListener = listener; }
    // Borrowed; null for none, and then nothing can be dropped onto the view.
    void setDropListener(CMorViewDropEvent* listener) { m_dropListener = listener; }

    // Borrowed; null for none. Told when the point under the pointer or the
    // measurement changes.
    void setPickListener(CMorViewPickEvent* listener) { m_pickListener = listener; }

    // Borrowed; null before the first frame.
    CZelMouseViewHandler* getMouseHandler() const { return m_mouseHandler; }

    // What lies under the pointer while it is over the view, looked up at
    // every motion; nothing once it has left.
    const CMorPick& getPointerPick() const { return m_pointerPick; }
    // A left click (press and release at most CLICK_SLOP pixels apart) on a
    // fence sets A, the next B, the next a new A. Forgets both; false when
    // there were none.
    bool clearMeasurement();
    static const int CLICK_SLOP = 3;

    // Opens a description file, which starts a new camera history; a failure
    // shows the reason in an alert box. When pictures it names are missing,
    // the user is asked first whether to open it without them; "No" keeps the
    // open diagram without an alert.
    bool open(const std::string& path);
    // The diagram's automatic camera, recorded in the history.
    void resetView();
    // The frame's, then the main window hears of the camera (its far plane
    // may have moved).
    void setVerticalExaggeration(double factor);
    // Empties the view; the camera history starts afresh. Refused, with a
    // log line, while a diagram loads or a picture is taken.
    bool closeDiagram();

    // One wheel step per unit of steps at window pixel (x, y): towards the
    // point under the pointer for negative steps (wheel up), away from it for
    // positive ones; over the background towards or away from the target.
    void zoomAt(int steps, int x, int y);
    // A navigation key as the toolkit names it, with its modifier state; false
    // (and nothing happens) for keys that are no navigation keys, and for any
    // key held with Ctrl, Alt or Meta, which belong to the menu's shortcuts.
    bool navigateByKey(int key, int state);
    // Back and Forward through the camera history; false at either end.
    bool goBack();
    bool goForward();
    // Records the camera in the history unless it is the current position.
    // Navigation records by itself; a camera set from elsewhere (the
    // view-settings dialog) is kept when the next navigation or Back starts,
    // or at once by calling this.
    void recordCamera();
    const CMorCameraHistory& getHistory() const { return m_history; }
    // Writes camera and legend back to the file that was opened (the argument
    // is not used); a failure shows the reason in an alert box.
    bool saveSettings(const std::string& ignored);
    // The same to another file, which becomes the open one.
    bool saveSettingsAs(const std::string& path);

    // Pictures of the view. Each shows the reason in an alert box when it
    // fails. While one runs, the window keeps handling events, but the view
    // ignores the mouse and the keyboard and further pictures are refused, so
    // that every tile shows the same scene from the same camera.
    // The view's pixels on the clipboard as PNG and BMP, and as a packed
    // bitmap in "snap.bmp" of the current directory (the clipboard gets them
    // also when that file cannot be written).
    bool copyToClipboard();
    bool writeBitmap(const std::string& fileName);
    bool exportSingleImage(const std::string& fileName);
    // rows x columns tiles joined into one picture.
    bool exportImage(const std::string& fileName, int rows, int columns);
    // The diagram in 3-D: binary glTF, glTF or a web page by the name's
    // extension (.glb, .gltf, .html), with each fence's picture at most
    // textureLimit pixels on its longer side. Built on a thread of its own
    // while the window shows the progress and the log lines.
    bool exportScene(const std::string& fileName, int textureLimit);
    // How the export starts the image tool; without one the program's own
    // writer makes every PNG.
    void setToolRunner(const CMorExporter::ToolRunner& runner) { m_toolRunner = runner; }
    // Borrowed; null for none. Told of each step of an export.
    void setExportProgress(CMorExportProgress* progress) { m_exportProgress = progress; }

    bool isExporting() const { return m_exporting; }

    bool activateContext() override;

protected:
    void requestRedraw() override { redraw(); }
    // Asks the user, listing the pictures.
    bool openWithoutPictures(const std::string& path,
                             const std::vector<CFenceDiagram::MissingPicture>& missing) override;

private:
    // Shows why a save failed; returns ok.
    bool saved(bool ok);
    // How soon a frame that lacked tiles is drawn again.
    static constexpr double REFINE_SECONDS = 0.04;
    static void refine(void* view);
    void tellChanged();
    void tellClose();
    // A wheel or key step keeps the view moving (frames in one pass) until
    // the steps pause for SETTLE_SECONDS; endMotion draws the full frame.
    void keepMoving();
    void endMotion();
    bool anyButtonDown() const { return isLeftButtonDown() || isMiddleButtonDown() || isRightButtonDown(); }
    bool stepThroughHistory(bool back);
    // The point under the pointer at (x, y), or again where it last was
    // after the camera moved otherwise.
    void pickUnderPointer(int x, int y);
    void pickAgain();
    void measureAt(int x, int y);
    void tellPick();
    void applyPose(const CMorCameraHistory::Pose& pose);
    // False, with a log line, when a picture is being taken already.
    bool startExport();
    bool exported(CMorExporter& exporter, bool ok);

    std::vector<std::string> m_commandLineParams;
    CZelPointer<CZelMouseViewHandler> m_mouseHandler;
    CMorViewChangedEvent* m_changedListener = nullptr;
    CMorViewCloseEvent* m_closeListener = nullptr;
    CMorViewDropEvent* m_dropListener = nullptr;
    CMorViewPickEvent* m_pickListener = nullptr;
    CMorPick m_pointerPick;
    bool m_pointerInside = false;
    int m_pointerX = 0;
    int m_pointerY = 0;
    // A left press that has not yet moved farther than a click may.
    bool m_clicking = false;
    int m_pressX = 0;
    int m_pressY = 0;
    CMorExporter::ToolRunner m_toolRunner;
    CMorExportProgress* m_exportProgress = nullptr;
    bool m_exporting = false;
    // The user chose not to open a diagram whose pictures are missing.
    bool m_openDeclined = false;
    CMorCameraHistory m_history;
};
