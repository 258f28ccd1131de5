// Toolkit-independent half of an OpenGL view window: window size, mouse button
// and modifier state, listener lists per event kind and the dispatchers that
// turn incoming events into listener calls or the widget's own hooks.
#pragma once

#include "CZelBase.h"
#include "CZelClearEvent.h"
#include "CZelDestroyEvent.h"
#include "CZelInitEvent.h"
#include "CZelKeyboardEvent.h"
#include "CZelMouseDownEvent.h"
#include "CZelMouseMoveEvent.h"
#include "CZelMouseUpEvent.h"
#include "CZelRenderEvent.h"
#include "CZelResizeEvent.h"

#include <cstdint>
#include <vector>

class CZelWidgetBase : public CZelBase
{
    ZEL_DECLARE_CLASS(CZelWidgetBase, CZelBase)

public:
    enum { MODIFIER_SHIFT = 0, MODIFIER_CTRL = 1, MODIFIER_NONE = 3 };
    enum { TIMER_COUNT = 10 };

    // Codes of the special keys handed to doFunctionKey.
    enum FunctionKey {
        KEY_BUTTON = 0, KEY_BACKSPACE, KEY_TAB, KEY_ENTER, KEY_PAUSE, KEY_SCROLL_LOCK,
        KEY_ESCAPE, KEY_HOME, KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN, KEY_PAGE_UP,
        KEY_PAGE_DOWN, KEY_END, KEY_PRINT, KEY_INSERT, KEY_MENU, KEY_NUM_LOCK,
        KEY_F1 = 19,       // F1 to F12 are 19 to 30
        KEY_KEYPAD_0 = 31, // keypad digits 0 to 9 are 31 to 40
        KEY_KEYPAD_ENTER = 41, KEY_SHIFT_L, KEY_SHIFT_R, KEY_CONTROL_L, KEY_CONTROL_R,
        KEY_CAPS_LOCK, KEY_META_L, KEY_META_R, KEY_ALT_L, KEY_ALT_R, KEY_DELETE
    };

    CZelWidgetBase();
    // Tells the destroy listeners (or onDestroy) first. A class further down
    // that must be whole while its listeners hear of the destruction calls
    // notifyDestroy from its own destructor.
    ~CZelWidgetBase() override;
    CZelWidgetBase(const CZelWidgetBase&) = delete;
    CZelWidgetBase& operator=(const CZelWidgetBase&) = delete;

    // Hooks; each runs only while no listener of its kind is registered.
    virtual void onInit(int width, int height) {}
    virtual void onDestroy() {}
    virtual void onInitContext(int width, int height);
    virtual void onOverlay() {}
    virtual void onMouseDown(int x, int y) {}
    virtual void onMouseUp(int x, int y) {}
    virtual void onMouseMove(int x, int y) {}
    virtual void onMouseLeave(int x, int y) {}
    virtual void onMouseEnter(int x, int y) {}
    virtual void onKeyboard(int key, int x, int y) {}
    virtual void onInitOverlay(int width, int height);
    virtual void onRender() {}
    virtual void onClear();
    virtual void onResize(int width, int height) {}
    virtual void onUnFocus() {}
    virtual void onFocus() {}
    // True when the key was used; an unused key stays free for the toolkit's
    // shortcuts (menu accelerators such as Home or Alt+F4).
    virtual bool onFunctionKey(int code, int x, int y) { return false; }
    virtual void onIdle() {}
    // Timer hooks answer whether the timer is to fire again.
    virtual bool onTimeout0() { return false; }
    virtual bool onTimeout1() { return false; }
    virtual bool onTimeout2() { return false; }
    virtual bool onTimeout3() { return false; }
    virtual bool onTimeout4() { return false; }
    virtual bool onTimeout5() { return false; }
    virtual bool onTimeout6() { return false; }
    virtual bool onTimeout7() { return false; }
    virtual bool onTimeout8() { return false; }
    virtual bool onTimeout9() { return false; }

    virtual void doIdle();
    // Each runs its timer's hook and answers whether the timer goes on.
    virtual bool doTimeout0() { return onTimeout0(); }
    virtual bool doTimeout1() { return onTimeout1(); }
    virtual bool doTimeout2() { return onTimeout2(); }
    virtual bool doTimeout3() { return onTimeout3(); }
    virtual bool doTimeout4() { return onTimeout4(); }
    virtual bool doTimeout5() { return onTimeout5(); }
    virtual bool doTimeout6() { return onTimeout6(); }
    virtual bool doTimeout7() { return onTimeout7(); }
    virtual bool doTimeout8() { return onTimeout8(); }
    virtual bool doTimeout9() { return onTimeout9(); }
    // doTimeout0 to doTimeout9 by number; false for n outside 0 to 9.
    bool doTimeout(int n);
    // Seconds since the widget was made; 0 without a clock.
    virtual double elapsedTime() { return 0.0; }

    virtual void doInitOverlay(int width, int height);
    virtual void doDestroy();
    virtual void doOverlay();
    virtual void doInitContext(int width, int height);
    virtual void doClear();
    virtual void doRender();
    virtual void doInit(int width, int height);

    // Platform operations, done by the toolkit binding.
    virtual void disableIdleProcessing() {}
    virtual void enableIdleProcessing() {}
    virtual void enableTimeout(float seconds, int n) {}
    virtual void disableTimeout(int n) {}
    virtual void doRedraw() {}

    virtual void doMouseEnter(int x, int y);
    virtual void doUnFocus();
    virtual void doFocus();
    virtual void doMouseMove(int x, int y);
    virtual void doMouseUp(int x, int y);
    virtual void doMouseDown(int x, int y);
    // One frame: clear, render and, with the overlay flag, the overlay pass.
    virtual void doDraw();
    // Stores the size, initialises once, restores the context state and tells
    // the resize listeners.
    virtual void doResize(int width, int height);
    virtual void doMouseLeave(int x, int y);
    virtual void doKeyboard(int key, int x, int y);
    // True when the hook used the key.
    virtual bool doFunctionKey(int code, int x, int y);

    // Registration: each list keeps borrowed pointers in the order added;
    // a listener added twice is called twice.
    void addInitEvent(CZelInitEvent* listener) { m_initListeners.push_back(listener); }
    void addKeyboardEvent(CZelKeyboardEvent* listener) { m_keyboardListeners.push_back(listener); }
    void addClearEvent(CZelClearEvent* listener) { m_clearListeners.push_back(listener); }
    void addResizeEvent(CZelResizeEvent* listener) { m_resizeListeners.push_back(listener); }
    void addRenderEvent(CZelRenderEvent* listener) { m_renderListeners.push_back(listener); }
    void addMouseDownEvent(CZelMouseDownEvent* listener) { m_mouseDownListeners.push_back(listener); }
    void addMouseMoveEvent(CZelMouseMoveEvent* listener) { m_mouseMoveListeners.push_back(listener); }
    void addMouseUpEvent(CZelMouseUpEvent* listener) { m_mouseUpListeners.push_back(listener); }
    void addDestroyEvent(CZelDestroyEvent* listener) { m_destroyListeners.push_back(listener); }
    // Each removes the first entry equal to the pointer; an unknown one is ignored.
    void removeMouseDownEvent(CZelMouseDownEvent* listener);
    void removeMouseMoveEvent(CZelMouseMoveEvent* listener);
    void removeMouseUpEvent(CZelMouseUpEvent* listener);
    void removeResizeEvent(CZelResizeEvent* listener);

    void setLeftButton(bool down) { m_leftButton = down; }
    void setMiddleButton(bool down) { m_middleButton = down; }
    void setRightButton(bool down) { m_rightButton = down; }
    void clearButtons() { m_leftButton = m_middleButton = m_rightButton = false; }
    void setModifier(int modifier) { m_modifier = modifier; }
    bool isLeftButtonDown() const { return m_leftButton; }
    bool isMiddleButtonDown() const { return m_middleButton; }
    bool isRightButtonDown() const { return m_rightButton; }
    int getModifier() const { return m_modifier; }
    bool isInitDone() const { return m_initDone; }
    void setOverlay(bool overlay) { m_overlay = overlay; }
    bool getOverlay() const { return m_overlay; }
    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }

    // Interval of timer n as last enabled, -1.0 for a timer never enabled and
    // for n outside 0 to 9.
    float getTimeout(int n) const;

    // Asks the toolkit to draw the widget again later.
    void redraw() { doRedraw(); }

protected:
    // Tells the destroy listeners (or onDestroy) once; later calls do nothing.
    void notifyDestroy();
    // Records the interval with which the binding re-arms timer n.
    void setTimeoutInterval(int n, float seconds);

private:
    bool m_initDone = false;
    bool m_overlay = false;
    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_leftButton = false;
    bool m_middleButton = false;
    bool m_rightButton = false;
    int32_t m_modifier = MODIFIER_NONE;
    float m_timeouts[TIMER_COUNT];
    bool m_destroyNotified = false;

    std::vector<CZelRenderEvent*> m_renderListeners;
    std::vector<CZelClearEvent*> m_clearListeners;
    std::vector<CZelDestroyEvent*> m_destroyListeners;
    std::vector<CZelInitEvent*> m_initListeners;
    std::vector<CZelKeyboardEvent*> m_keyboardListeners;
    std::vector<CZelMouseDownEvent*> m_mouseDownListeners;
    std::vector<CZelMouseMoveEvent*> m_mouseMoveListeners;
    std::vector<CZelMouseUpEvent*> m_mouseUpListeners;
    std::vector<CZelResizeEvent*> m_resizeListeners;
};
