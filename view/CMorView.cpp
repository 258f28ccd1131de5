// The application's window: toolkit events in, frames drawn through CMorFrame.
#include "CMorView.h"

#include "CMorClipboard.h"
#include "CMorMessageBox.h"
#include "CZelPngWriter.h"

#include <algorithm>
#include <iostream>

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

void CMorView::onInit(int width, int height)
{
    initializeFrame(width, height);
    m_mouseHandler = new CZelMouseViewHandler(this, getCamera());
    m_mouseHandler->activate();
    if (m_commandLineParams.size() >= 2)
        open(m_commandLineParams[1]);
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
    clearFrame();
}

void CMorView::onRender()
{
    renderFrame();
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
    m_openDeclined = false;
    if (CMorFrame::open(path))
        return true;
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

bool CMorView::saveSettings(const std::string&)
{
    if (isLoading()) {
        std::cout << "Save settings refused: a diagram is being loaded." << std::endl;
        return false;
    }
    if (CMorFrame::saveSettings())
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
