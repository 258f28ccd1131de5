// The application's window: toolkit events in, frames drawn through CMorFrame.
#include "CMorView.h"

#include "CMorClipboard.h"
#include "CMorEventTrace.h"
#include "CMorMessageBox.h"
#include "CMorSceneExporter.h"
#include "CZelPngWriter.h"

#include <FL/Fl.H>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

namespace {

// A key press moves the camera as far as a drag over this many pixels.
const double KEY_STEP = 20.0;
// Wheel and key steps closer together than this make one motion.
const float SETTLE_SECONDS = 0.25f;
const int SETTLE_TIMER = 0;

// In map units, so that a change of the exaggeration leaves the history's
// places where they are.
CMorCameraHistory::Pose poseOf(const CMorFrame& frame)
{
    CMorCameraHistory::Pose pose;
    frame.getCameraInMapUnits(pose.position, pose.target);
    frame.getCamera()->getPerspective(pose.fieldOfView, pose.nearDistance, pose.farDistance);
    return pose;
}

std::string at(int x, int y)
{
    return " at " + std::to_string(x) + "," + std::to_string(y);
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
    if (m_exporting) {
        switch (event) {
        case FL_PUSH:
        case FL_DRAG:
        case FL_RELEASE:
        case FL_MOVE:
        case FL_MOUSEWHEEL:
        case FL_KEYDOWN:
        case FL_KEYUP:
            return 1;
        default:
            break;
        }
    }
    // A drag from another program: whatever it carries is taken, and the
    // listener judges it once it has arrived.
    switch (event) {
    case FL_DND_ENTER:
    case FL_DND_DRAG:
    case FL_DND_LEAVE:
    case FL_DND_RELEASE:
        return m_dropListener != nullptr ? 1 : 0;
    case FL_PASTE:
        if (m_dropListener == nullptr)
            return 0;
        {
            const char* text = Fl::event_text();
            const int length = Fl::event_length();
            m_dropListener->onViewDrop(text != nullptr && length > 0 ? std::string(text, static_cast<size_t>(length))
                                                                     : std::string());
        }
        return 1;
    default:
        break;
    }
    if (event == FL_HIDE) {
        tellClose();
        CZelFltkBase::handle(event);
        return 1;
    }
    if (!isInitDone())
        return CZelFltkBase::handle(event);
    const int x = Fl::event_x();
    const int y = Fl::event_y();
    switch (event) {
    case FL_MOUSEWHEEL:
        // Sideways scrolling has no use here.
        if (Fl::event_dy() == 0)
            break;
        zoomAt(Fl::event_dy(), x, y);
        pickUnderPointer(x, y);
        return 1;
    case FL_KEYBOARD:
        if (navigateByKey(Fl::event_key(), Fl::event_state())) {
            pickAgain();
            return 1;
        }
        break;
    case FL_PUSH: {
        // A click gives the view the keyboard back from a tool button.
        take_focus();
        const int button = Fl::event_button();
        m_clicking = button == FL_LEFT_MOUSE;
        m_pressX = x;
        m_pressY = y;
        const int result = CZelFltkBase::handle(event);
        CMorEventTrace::write("push " + std::to_string(button) + at(x, y), getCamera());
        return result;
    }
    case FL_DRAG:
    case FL_RELEASE: {
        if (std::abs(x - m_pressX) > CLICK_SLOP || std::abs(y - m_pressY) > CLICK_SLOP)
            m_clicking = false;
        // Traced after the handler has moved the camera.
        const int result = CZelFltkBase::handle(event);
        CMorEventTrace::write((event == FL_DRAG ? "drag" : "release") + at(x, y), getCamera());
        if (event == FL_RELEASE && m_clicking && Fl::event_button() == FL_LEFT_MOUSE)
            measureAt(x, y);
        if (event == FL_RELEASE)
            m_clicking = false;
        pickUnderPointer(x, y);
        return result;
    }
    case FL_MOVE: {
        const int result = CZelFltkBase::handle(event);
        pickUnderPointer(x, y);
        return result;
    }
    case FL_LEAVE:
        m_pointerInside = false;
        if (m_pointerPick.hit) {
            m_pointerPick = CMorPick();
            tellPick();
        }
        break;
    case FL_FOCUS:
    case FL_UNFOCUS:
        CMorEventTrace::write(event == FL_FOCUS ? "focus" : "unfocus");
        break;
    default:
        break;
    }
    return CZelFltkBase::handle(event);
}

void CMorView::show()
{
    if (!shown() && (mode() & FL_ACCUM) == 0 && can_do(mode() | FL_ACCUM))
        mode(mode() | FL_ACCUM);
    CZelFltkBase::show();
}

void CMorView::onInit(int width, int height)
{
    initializeFrame(width, height);
    m_mouseHandler = new CZelMouseViewHandler(this, getCamera());
    m_mouseHandler->activate();
    m_history.restart(poseOf(*this));
    if (m_commandLineParams.size() >= 2)
        open(m_commandLineParams[1]);
}

void CMorView::onDestroy()
{
    tellClose();
}

// The view hears the mouse before the handler moves the camera: a press
// records where a drag starts (the camera may have been set elsewhere), a
// release where it ended.
void CMorView::onMouseDown(int x, int y)
{
    tellChanged();
    endMotion();
    recordCamera();
}

void CMorView::onMouseUp(int x, int y)
{
    tellChanged();
    endMotion();
    recordCamera();
}

void CMorView::onMouseMove(int x, int y)
{
    tellChanged();
    if (anyButtonDown())
        keepMoving();
}

bool CMorView::onTimeout0()
{
    endMotion();
    // A drag that pauses gets its full frame; it is recorded at its release.
    if (!anyButtonDown())
        recordCamera();
    return false;
}

void CMorView::onClear()
{
    clearFrame();
}

void CMorView::onRender()
{
    renderFrame();
    // Pictures of the view draw their frames without it.
    if (!m_exporting)
        drawOverlay();
    // Finer tiles are on their way: drawn again as they come.
    if (isRefining() && !Fl::has_timeout(refine, this))
        Fl::add_timeout(REFINE_SECONDS, refine, this);
    if (CMorEventTrace::isOn() && getScene() != nullptr) {
        const int passes = getPassesDrawn();
        CMorEventTrace::write("frame " + std::to_string(passes) + (passes == 1 ? " pass" : " passes"));
    }
}

void CMorView::refine(void* view)
{
    static_cast<CMorView*>(view)->redraw();
}

void CMorView::onResize(int width, int height)
{
    resizeFrame(width, height);
}

bool CMorView::open(const std::string& path)
{
    // An alert's own event loop inside the loading would only stack more
    // commands: the log says it.
    if (isLoading()) {
        std::cout << "Open refused: a diagram is being loaded." << std::endl;
        return false;
    }
    endMotion();
    recordCamera();
    m_openDeclined = false;
    if (CMorFrame::open(path)) {
        m_history.restart(poseOf(*this));
        CMorEventTrace::write("open " + path, getCamera());
        pickAgain();
        return true;
    }
    if (m_openDeclined) {
        std::cout << "Not opened: " << path << " (pictures are missing)." << std::endl;
        return false;
    }
    // Also in the log: a user who started Morvex from a terminal sees it there.
    std::cout << getErrorMessage() << std::endl;
    CMorMessageBox::alert(getErrorMessage());
    return false;
}

bool CMorView::openWithoutPictures(const std::string& path,
                                   const std::vector<CFenceDiagram::MissingPicture>& missing)
{
    // Fences may share a picture: each is named once, and a long list is cut.
    constexpr size_t LISTED = 12;
    std::vector<std::string> names;
    for (const CFenceDiagram::MissingPicture& picture : missing) {
        const std::string name = picture.path + (picture.fence < 0 ? " (the legend)" : "");
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    std::string text = (names.size() == 1 ? std::string("A picture") : std::to_string(names.size()) + " pictures") +
                       " named in " + path + " cannot be found or read:\n";
    for (size_t i = 0; i < names.size() && i < LISTED; ++i)
        text += names[i] + "\n";
    if (names.size() > LISTED)
        text += "and " + std::to_string(names.size() - LISTED) + " more.\n";
    text += "\nOpen the diagram without them?";
    m_openDeclined = !CMorMessageBox::ask(text);
    return !m_openDeclined;
}

bool CMorView::closeDiagram()
{
    if (m_exporting || isLoading()) {
        std::cout << "Close refused: " << (m_exporting ? "a picture is being taken." : "a diagram is being loaded.")
                  << std::endl;
        return false;
    }
    endMotion();
    if (!CMorFrame::closeDiagram())
        return false;
    if (getCamera() != nullptr)
        m_history.restart(poseOf(*this));
    CMorEventTrace::write("close");
    // The readout no longer names a fence.
    pickAgain();
    return true;
}

void CMorView::resetView()
{
    endMotion();
    recordCamera();
    CMorFrame::resetView();
    recordCamera();
    CMorEventTrace::write("reset", getCamera());
    pickAgain();
}

void CMorView::setVerticalExaggeration(double factor)
{
    CMorFrame::setVerticalExaggeration(factor);
    tellChanged();
    pickAgain();
}

void CMorView::zoomAt(int steps, int x, int y)
{
    CZelCamera* camera = getCamera();
    if (m_mouseHandler == nullptr || camera == nullptr || steps == 0)
        return;
    if (!isMoving())
        recordCamera();
    CZelVec3d point;
    const bool hit = pointAt(x, y, point);
    m_mouseHandler->zoomTowards(hit ? point : camera->getTarget(), steps);
    keepMoving();
    tellChanged();
    if (CMorEventTrace::isOn()) {
        char where[128] = " on background";
        if (hit)
            std::snprintf(where, sizeof where, " on %.6f %.6f %.6f", point.x(), point.y(), point.z());
        CMorEventTrace::write("wheel " + std::to_string(steps) + at(x, y) + where, camera);
    }
}

bool CMorView::navigateByKey(int key, int state)
{
    if (m_mouseHandler == nullptr || (state & (FL_CTRL | FL_ALT | FL_META)) != 0)
        return false;
    double dx = 0.0, dy = 0.0, zoom = 0.0;
    std::string name;
    switch (key) {
    case FL_Left: dx = -KEY_STEP; name = "Left"; break;
    case FL_Right: dx = KEY_STEP; name = "Right"; break;
    case FL_Up: dy = -KEY_STEP; name = "Up"; break;
    case FL_Down: dy = KEY_STEP; name = "Down"; break;
    // Like a Shift+right drag downwards, which moves towards the target.
    case '+':
    case '=':
    case FL_KP + '+': zoom = KEY_STEP; name = "+"; break;
    case '-':
    case FL_KP + '-': zoom = -KEY_STEP; name = "-"; break;
    default: return false;
    }
    if (!isMoving())
        recordCamera();
    const bool shift = (state & FL_SHIFT) != 0;
    if (zoom != 0.0) {
        m_mouseHandler->zoomBy(zoom);
    } else if (shift) {
        m_mouseHandler->panBy(dx, dy);
        name = "Shift+" + name;
    } else {
        m_mouseHandler->turnBy(dx, dy);
    }
    keepMoving();
    tellChanged();
    CMorEventTrace::write("key " + name, getCamera());
    return true;
}

void CMorView::recordCamera()
{
    CZelCamera* camera = getCamera();
    if (camera != nullptr && m_history.record(poseOf(*this)))
        CMorEventTrace::write("record " + std::to_string(m_history.getCurrent() + 1), camera);
}

bool CMorView::goBack()
{
    return stepThroughHistory(true);
}

bool CMorView::goForward()
{
    return stepThroughHistory(false);
}

bool CMorView::stepThroughHistory(bool back)
{
    if (isLoading() || getCamera() == nullptr)
        return false;
    // A camera typed in a dialog since is kept to come back to.
    endMotion();
    recordCamera();
    const std::string what = back ? "back" : "forward";
    CMorCameraHistory::Pose pose;
    if (!(back ? m_history.back(pose) : m_history.forward(pose))) {
        CMorEventTrace::write(what + ": none");
        return false;
    }
    applyPose(pose);
    CMorEventTrace::write(what, getCamera());
    return true;
}

void CMorView::applyPose(const CMorCameraHistory::Pose& pose)
{
    CZelCamera* camera = getCamera();
    camera->setPerspective(pose.fieldOfView, pose.nearDistance, pose.farDistance);
    setCameraInMapUnits(pose.position, pose.target);
    redraw();
    tellChanged();
    pickAgain();
}

void CMorView::pickUnderPointer(int x, int y)
{
    m_pointerInside = true;
    m_pointerX = x;
    m_pointerY = y;
    const CMorPick pick = pickAt(x, y);
    if (CMorEventTrace::isOn())
        CMorEventTrace::write("pointer" + at(x, y) +
                              (pick.hit ? " on fence " + std::to_string(pick.fence) : std::string(" on background")));
    if (!pick.hit && !m_pointerPick.hit)
        return;
    m_pointerPick = pick;
    tellPick();
}

void CMorView::pickAgain()
{
    if (m_pointerInside)
        pickUnderPointer(m_pointerX, m_pointerY);
    else
        tellPick();
}

void CMorView::measureAt(int x, int y)
{
    const CMorPick pick = pickAt(x, y);
    if (!pick.hit) {
        CMorEventTrace::write("click" + at(x, y) + " on background");
        return;
    }
    const int which = getMeasurement().click({pick.east, pick.north, pick.elevation});
    if (CMorEventTrace::isOn()) {
        char where[160];
        std::snprintf(where, sizeof where, " on %.6f %.6f %.6f", pick.east, pick.north, pick.elevation);
        CMorEventTrace::write(std::string("measure ") + (which == 0 ? "A" : "B") + at(x, y) + where);
    }
    redraw();
    tellPick();
}

bool CMorView::clearMeasurement()
{
    if (!getMeasurement().hasA())
        return false;
    getMeasurement().clear();
    CMorEventTrace::write("measure cleared");
    redraw();
    tellPick();
    return true;
}

void CMorView::tellPick()
{
    if (m_pickListener != nullptr)
        m_pickListener->onViewPick();
}

void CMorView::keepMoving()
{
    setMoving(true);
    disableTimeout(SETTLE_TIMER);
    enableTimeout(SETTLE_SECONDS, SETTLE_TIMER);
}

void CMorView::endMotion()
{
    disableTimeout(SETTLE_TIMER);
    if (!isMoving())
        return;
    setMoving(false);
    // Frames in motion differ from the still one only in antialiasing.
    if (getAntialias())
        redraw();
}

bool CMorView::saveSettings(const std::string&)
{
    if (isLoading()) {
        std::cout << "Save settings refused: a diagram is being loaded." << std::endl;
        return false;
    }
    return saved(CMorFrame::saveSettings());
}

bool CMorView::saveSettingsAs(const std::string& path)
{
    if (isLoading()) {
        std::cout << "Save As refused: a diagram is being loaded." << std::endl;
        return false;
    }
    return saved(CMorFrame::saveSettingsAs(path));
}

bool CMorView::saved(bool ok)
{
    if (ok)
        return true;
    std::cout << getErrorMessage() << std::endl;
    CMorMessageBox::alert("The settings could not be saved.\n" + getErrorMessage());
    return false;
}

void CMorView::addCommandLineParam(const std::string& param)
{
    m_commandLineParams.push_back(param);
    std::cout << "addCommandLineParam(): Adding command line param " << param << std::endl;
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

bool CMorView::activateContext()
{
    if (!shown())
        return false;
    make_current();
    return true;
}

bool CMorView::startExport()
{
    if (m_exporting) {
        std::cout << "A picture of the view is being taken already; the new request is ignored" << std::endl;
        return false;
    }
    // Every picture is taken at full quality.
    endMotion();
    m_exporting = true;
    return true;
}

// After an export the window shows the normal frame again; a failure is
// shown to the user.
bool CMorView::exported(CMorExporter& exporter, bool ok)
{
    m_exporting = false;
    redraw();
    if (!ok)
        CMorMessageBox::alert(exporter.getErrorMessage());
    return ok;
}

bool CMorView::copyToClipboard()
{
    if (!startExport())
        return false;
    CMorExporter exporter(this, m_toolRunner);
    CMorPackedBitmap bitmap;
    if (!exporter.readView(bitmap))
        return exported(exporter, false);
    std::string error;
    if (!bitmap.writeFile("snap.bmp", error))
        std::cout << "The copy goes to the clipboard only: " << error << std::endl;
    // PNG is what most programs paste; BMP is offered as well, as before.
    std::vector<CMorClipboard::Format> formats;
    std::vector<unsigned char> png;
    const std::vector<unsigned char> rgb = bitmap.getTopDownRGB();
    if (CZelPngWriter::encode(rgb.data(), bitmap.getWidth(), bitmap.getHeight(), png, error))
        formats.push_back({"image/png", std::move(png)});
    else
        std::cout << "The clipboard gets no PNG picture: " << error << std::endl;
    formats.push_back({"image/bmp", bitmap.getFileBytes()});
    const bool offered = CMorClipboard::offer(std::move(formats), error);
    exported(exporter, true);
    if (!offered) {
        std::cout << "The view could not be copied to the clipboard: " << error << std::endl;
        CMorMessageBox::alert("The view could not be copied to the clipboard.\n" + error);
        return false;
    }
    std::cout << "Copied the view to the clipboard (" << bitmap.getWidth() << " x " << bitmap.getHeight()
              << " pixels)" << std::endl;
    return true;
}

bool CMorView::writeBitmap(const std::string& fileName)
{
    if (!startExport())
        return false;
    CMorExporter exporter(this, m_toolRunner);
    return exported(exporter, exporter.writeBitmap(fileName));
}

bool CMorView::exportSingleImage(const std::string& fileName)
{
    if (!startExport())
        return false;
    CMorExporter exporter(this, m_toolRunner, m_exportProgress);
    return exported(exporter, exporter.exportSingleImage(fileName));
}

bool CMorView::exportImage(const std::string& fileName, int rows, int columns)
{
    if (!startExport())
        return false;
    CMorExporter exporter(this, m_toolRunner, m_exportProgress);
    return exported(exporter, exporter.exportImage(fileName, rows, columns));
}

bool CMorView::exportScene(const std::string& fileName, int textureLimit)
{
    CFenceDiagram* diagram = getDiagram();
    if (diagram == nullptr || !startExport())
        return false;
    CMorSceneExporter exporter;
    exporter.setTextureLimit(textureLimit);
    exporter.gather(*diagram, getFileName(), getViewOptions());
    // The thread that builds the file only hands its lines and progress
    // over: the log window must be written from here.
    std::mutex mutex;
    std::vector<std::string> lines;
    int done = 0, total = 1;
    bool finished = false, ok = false;
    exporter.setLog([&](const std::string& line) {
        const std::lock_guard<std::mutex> lock(mutex);
        lines.push_back(line);
    });
    exporter.setProgress([&](int d, int t) {
        const std::lock_guard<std::mutex> lock(mutex);
        done = d;
        total = t;
    });
    std::cout << "Exporting the diagram in 3-D to " << fileName << std::endl;
    std::thread worker([&] {
        const bool written = exporter.write(fileName);
        const std::lock_guard<std::mutex> lock(mutex);
        ok = written;
        finished = true;
    });
    for (;;) {
        std::vector<std::string> told;
        int shownDone = 0, shownTotal = 1;
        bool over = false;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            told.swap(lines);
            shownDone = done;
            shownTotal = total;
            over = finished;
        }
        for (const std::string& line : told)
            std::cout << line << std::endl;
        if (over)
            break;
        if (m_exportProgress)
            m_exportProgress->onExportProgress(shownDone, shownTotal);
        Fl::wait(0.05);
    }
    worker.join();
    if (m_exportProgress)
        m_exportProgress->onExportEnd();
    m_exporting = false;
    redraw();
    if (!ok) {
        std::cout << "The 3-D export failed: " << exporter.getErrorMessage() << std::endl;
        CMorMessageBox::alert(exporter.getErrorMessage());
    }
    return ok;
}
