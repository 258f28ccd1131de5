// Dispatchers of the toolkit-independent widget.
#include "CZelWidgetBase.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

// Removes the first entry equal to listener, keeping the order of the rest.
template <typename T>
void removeFirst(std::vector<T*>& list, T* listener)
{
    auto it = std::find(list.begin(), list.end(), listener);
    if (it != list.end())
        list.erase(it);
}

// Calls call(listener) for every entry, re-reading the size on every step
// because a listener may register further listeners while it is called.
template <typename T, typename Call>
void dispatch(const std::vector<T*>& list, Call call)
{
    for (size_t i = 0; i < list.size(); ++i)
        call(list[i]);
}

} // namespace

CZelWidgetBase::CZelWidgetBase()
{
    std::fill(m_timeouts, m_timeouts + TIMER_COUNT, -1.0f);
}

CZelWidgetBase::~CZelWidgetBase()
{
    notifyDestroy();
}

void CZelWidgetBase::notifyDestroy()
{
    if (m_destroyNotified)
        return;
    m_destroyNotified = true;
    doDestroy();
}

void CZelWidgetBase::onInitContext(int width, int height)
{
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}

void CZelWidgetBase::onInitOverlay(int width, int height)
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void CZelWidgetBase::onClear()
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void CZelWidgetBase::doIdle()
{
    onIdle();
}

bool CZelWidgetBase::doTimeout(int n)
{
    switch (n) {
    case 0: return doTimeout0();
    case 1: return doTimeout1();
    case 2: return doTimeout2();
    case 3: return doTimeout3();
    case 4: return doTimeout4();
    case 5: return doTimeout5();
    case 6: return doTimeout6();
    case 7: return doTimeout7();
    case 8: return doTimeout8();
    case 9: return doTimeout9();
    default: return false;
    }
}

void CZelWidgetBase::doInitOverlay(int width, int height)
{
    onInitOverlay(width, height);
}

void CZelWidgetBase::doDestroy()
{
    if (m_destroyListeners.empty())
        onDestroy();
    else
        dispatch(m_destroyListeners, [](CZelDestroyEvent* l) { l->onDestroy(); });
}

void CZelWidgetBase::doOverlay()
{
    onOverlay();
}

void CZelWidgetBase::doInitContext(int width, int height)
{
    onInitContext(width, height);
}

void CZelWidgetBase::doClear()
{
    if (m_clearListeners.empty())
        onClear();
    else
        dispatch(m_clearListeners, [](CZelClearEvent* l) { l->onClear(); });
}

void CZelWidgetBase::doRender()
{
    if (m_renderListeners.empty())
        onRender();
    else
        dispatch(m_renderListeners, [](CZelRenderEvent* l) { l->onRender(); });
}

void CZelWidgetBase::doInit(int width, int height)
{
    if (m_initListeners.empty())
        onInit(width, height);
    else
        dispatch(m_initListeners, [&](CZelInitEvent* l) { l->onInit(width, height); });
}

void CZelWidgetBase::doMouseEnter(int x, int y)
{
    onMouseEnter(x, y);
}

void CZelWidgetBase::doUnFocus()
{
    onUnFocus();
}

void CZelWidgetBase::doFocus()
{
    onFocus();
}

void CZelWidgetBase::doMouseMove(int x, int y)
{
    if (m_mouseMoveListeners.empty())
        onMouseMove(x, y);
    else
        dispatch(m_mouseMoveListeners, [&](CZelMouseMoveEvent* l) { l->onMouseMove(x, y); });
}

void CZelWidgetBase::doMouseUp(int x, int y)
{
    if (m_mouseUpListeners.empty())
        onMouseUp(x, y);
    else
        dispatch(m_mouseUpListeners, [&](CZelMouseUpEvent* l) { l->onMouseUp(x, y); });
}

void CZelWidgetBase::doMouseDown(int x, int y)
{
    if (m_mouseDownListeners.empty())
        onMouseDown(x, y);
    else
        dispatch(m_mouseDownListeners, [&](CZelMouseDownEvent* l) { l->onMouseDown(x, y); });
}

void CZelWidgetBase::doDraw()
{
    doClear();
    glPushMatrix();
    doRender();
    if (m_overlay) {
        glPushAttrib(GL_ENABLE_BIT);
        doInitOverlay(m_width, m_height);
        doOverlay();
        glPopAttrib();
        // The overlay replaced the projection; the resize listeners put the
        // 3-D one back.
        if (m_initDone)
            doResize(m_width, m_height);
    }
    glPopMatrix();
}

void CZelWidgetBase::doResize(int width, int height)
{
    m_width = width;
    m_height = height;
    if (!m_initDone) {
        m_initDone = true;
        doInit(width, height);
    }
    doInitContext(width, height);
    if (m_resizeListeners.empty())
        onResize(width, height);
    else
        dispatch(m_resizeListeners, [&](CZelResizeEvent* l) { l->onResize(width, height); });
}

void CZelWidgetBase::doMouseLeave(int x, int y)
{
    onMouseLeave(x, y);
}

void CZelWidgetBase::doKeyboard(int key, int x, int y)
{
    if (m_keyboardListeners.empty())
        onKeyboard(key, x, y);
    else
        dispatch(m_keyboardListeners, [&](CZelKeyboardEvent* l) { l->onKeyboard(key, x, y); });
}

bool CZelWidgetBase::doFunctionKey(int code, int x, int y)
{
    return onFunctionKey(code, x, y);
}

void CZelWidgetBase::removeMouseDownEvent(CZelMouseDownEvent* listener)
{
    removeFirst(m_mouseDownListeners, listener);
}

void CZelWidgetBase::removeMouseMoveEvent(CZelMouseMoveEvent* listener)
{
    removeFirst(m_mouseMoveListeners, listener);
}

void CZelWidgetBase::removeMouseUpEvent(CZelMouseUpEvent* listener)
{
    removeFirst(m_mouseUpListeners, listener);
}

void CZelWidgetBase::removeResizeEvent(CZelResizeEvent* listener)
{
    removeFirst(m_resizeListeners, listener);
}

float CZelWidgetBase::getTimeout(int n) const
{
    if (static_cast<unsigned>(n) >= TIMER_COUNT)
        return -1.0f;
    return m_timeouts[n];
}

void CZelWidgetBase::setTimeoutInterval(int n, float seconds)
{
    if (static_cast<unsigned>(n) < TIMER_COUNT)
        m_timeouts[n] = seconds;
}
