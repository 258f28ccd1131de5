// FLTK binding of the widget base.
#include "CZelFltkBase.h"

#include "CMorClock.h"

#include <FL/Fl.H>

namespace {

void idleCallback(void* data)
{
    static_cast<CZelFltkBase*>(data)->doIdle();
}

template <int N>
void timerCallback(void* data)
{
    auto* widget = static_cast<CZelFltkBase*>(data);
    // A timer re-arms only with a known interval; a negative one would fire
    // again at once, for ever.
    if (widget->doTimeout(N) && widget->getTimeout(N) >= 0.0f)
        Fl::repeat_timeout(widget->getTimeout(N), timerCallback<N>, data);
}

Fl_Timeout_Handler timerCallbacks[CZelWidgetBase::TIMER_COUNT] = {
    timerCallback<0>, timerCallback<1>, timerCallback<2>, timerCallback<3>, timerCallback<4>,
    timerCallback<5>, timerCallback<6>, timerCallback<7>, timerCallback<8>, timerCallback<9>};

int buttonOf(int key)
{
    return key - FL_Button;
}

} // namespace

CZelFltkBase::CZelFltkBase(int x, int y, int width, int height, const char* label)
    : Fl_Gl_Window(x, y, width, height, label), m_startTime(CMorClock::now())
{
}

CZelFltkBase::~CZelFltkBase()
{
    for (int n = 0; n < TIMER_COUNT; ++n)
        Fl::remove_timeout(timerCallbacks[n], this);
    Fl::remove_idle(idleCallback, this);
}

void CZelFltkBase::draw()
{
    if (!valid())
        doResize(w(), h());
    doDraw();
}

int CZelFltkBase::functionKeyCode(int key)
{
    switch (key) {
    case FL_Button: return KEY_BUTTON;
    case FL_BackSpace: return KEY_BACKSPACE;
    case FL_Tab: return KEY_TAB;
    case FL_Enter: return KEY_ENTER;
    case FL_Pause: return KEY_PAUSE;
    case FL_Scroll_Lock: return KEY_SCROLL_LOCK;
    case FL_Escape: return KEY_ESCAPE;
    case FL_Home: return KEY_HOME;
    case FL_Left: return KEY_LEFT;
    case FL_Up: return KEY_UP;
    case FL_Right: return KEY_RIGHT;
    case FL_Down: return KEY_DOWN;
    case FL_Page_Up: return KEY_PAGE_UP;
    case FL_Page_Down: return KEY_PAGE_DOWN;
    case FL_End: return KEY_END;
    case FL_Print: return KEY_PRINT;
    case FL_Insert: return KEY_INSERT;
    case FL_Menu: return KEY_MENU;
    case FL_Num_Lock: return KEY_NUM_LOCK;
    case FL_KP_Enter: return KEY_KEYPAD_ENTER;
    case FL_Shift_L: return KEY_SHIFT_L;
    case FL_Shift_R: return KEY_SHIFT_R;
    case FL_Control_L: return KEY_CONTROL_L;
    case FL_Control_R: return KEY_CONTROL_R;
    case FL_Caps_Lock: return KEY_CAPS_LOCK;
    case FL_Meta_L: return KEY_META_L;
    case FL_Meta_R: return KEY_META_R;
    case FL_Alt_L: return KEY_ALT_L;
    case FL_Alt_R: return KEY_ALT_R;
    case FL_Delete: return KEY_DELETE;
    default: break;
    }
    if (key >= FL_F + 1 && key <= FL_F + 12)
        return KEY_F1 + (key - FL_F - 1);
    if (key >= FL_KP + '0' && key <= FL_KP + '9')
        return KEY_KEYPAD_0 + (key - FL_KP - '0');
    return -1;
}

int CZelFltkBase::handle(int event)
{
    const int x = Fl::event_x();
    const int y = Fl::event_y();
    if (!isInitDone())
        return Fl_Gl_Window::handle(event);

    switch (event) {
    case FL_PUSH:
    case FL_DRAG:
        if (event == FL_PUSH) {
            setModifier(MODIFIER_NONE);
            if (Fl::get_key(FL_Shift_L) || Fl::get_key(FL_Shift_R))
                setModifier(MODIFIER_SHIFT);
            if (Fl::get_key(FL_Control_L) || Fl::get_key(FL_Control_R))
                setModifier(MODIFIER_CTRL);
        }
        switch (buttonOf(Fl::event_key())) {
        case 1: setLeftButton(true); break;
        case 2: setMiddleButton(true); break;
        case 3: setRightButton(true); break;
        default: break;
        }
        if (event == FL_PUSH)
            doMouseDown(x, y);
        else
            doMouseMove(x, y);
        return 1;
    case FL_RELEASE:
        setModifier(MODIFIER_NONE);
        clearButtons();
        doMouseUp(x, y);
        return 1;
    case FL_ENTER:
        Fl::focus(this);
        doMouseEnter(x, y);
        return 1;
    case FL_LEAVE:
        doMouseLeave(x, y);
        return 1;
    case FL_MOVE:
        doMouseMove(x, y);
        return 1;
    case FL_FOCUS:
        doFocus();
        return 1;
    case FL_UNFOCUS:
        doUnFocus();
        return 1;
    case FL_KEYBOARD: {
        const int key = Fl::event_key();
        const int code = functionKeyCode(key);
        if (code >= 0) {
            // An unused special key goes back to the toolkit, which then
            // offers it to the menu shortcuts.
            if (doFunctionKey(code, x, y))
                return 1;
            return Fl_Gl_Window::handle(event);
        }
        doKeyboard(key, x, y);
        return Fl_Gl_Window::handle(event);
    }
    default:
        return Fl_Gl_Window::handle(event);
    }
}

void CZelFltkBase::disableIdleProcessing()
{
    Fl::remove_idle(idleCallback, this);
}

void CZelFltkBase::enableIdleProcessing()
{
    if (!Fl::has_idle(idleCallback, this))
        Fl::add_idle(idleCallback, this);
}

void CZelFltkBase::enableTimeout(float seconds, int n)
{
    if (static_cast<unsigned>(n) >= TIMER_COUNT)
        return;
    setTimeoutInterval(n, seconds);
    Fl::add_timeout(seconds, timerCallbacks[n], this);
}

void CZelFltkBase::disableTimeout(int n)
{
    if (static_cast<unsigned>(n) >= TIMER_COUNT)
        return;
    Fl::remove_timeout(timerCallbacks[n], this);
}

void CZelFltkBase::doRedraw()
{
    Fl_Gl_Window::redraw();
}

double CZelFltkBase::elapsedTime()
{
    return CMorClock::now() - m_startTime;
}
