// The application's window: toolkit events in, frames drawn through CMorFrame.
#include "CMorView.h"

#include "CMorMessageBox.h"

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
    if (CMorFrame::open(path))
        return true;
    // Also in the log: a user who started Morvex from a terminal sees it there.
    std::cout << getErrorMessage() << std::endl;
    CMorMessageBox::alert(getErrorMessage());
    return false;
}

bool CMorView::saveSettings(const std::string&)
{
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
