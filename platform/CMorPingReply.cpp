// _NET_WM_PING: listed in the window's WM_PROTOCOLS, answered by sending the
// message back to the root window.
#include "CMorPingReply.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

namespace {

Atom protocolsAtom = None;
Atom pingAtom = None;

int onEvent(void* event, void*)
{
    XEvent* e = static_cast<XEvent*>(event);
    if (e->type != ClientMessage || e->xclient.message_type != protocolsAtom ||
        static_cast<Atom>(e->xclient.data.l[0]) != pingAtom)
        return 0;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(fl_display, e->xclient.window, &attributes))
        return 1;
    XEvent reply = *e;
    reply.xclient.window = attributes.root;
    XSendEvent(fl_display, attributes.root, False, SubstructureNotifyMask | SubstructureRedirectMask, &reply);
    XFlush(fl_display);
    return 1;
}

} // namespace

void CMorPingReply::offer(Fl_Window* window)
{
    if (window == nullptr || !window->shown() || fl_display == nullptr)
        return;
    if (pingAtom == None) {
        protocolsAtom = XInternAtom(fl_display, "WM_PROTOCOLS", False);
        pingAtom = XInternAtom(fl_display, "_NET_WM_PING", False);
        Fl::add_system_handler(onEvent, nullptr);
    }
    // Added to what the toolkit lists (the close box's WM_DELETE_WINDOW).
    const Window xid = fl_xid(window);
    Atom* listed = nullptr;
    int count = 0;
    if (XGetWMProtocols(fl_display, xid, &listed, &count) == 0)
        count = 0;
    for (int i = 0; i < count; ++i)
        if (listed[i] == pingAtom) {
            XFree(listed);
            return;
        }
    Atom protocols[16];
    int n = 0;
    for (int i = 0; i < count && n < 15; ++i)
        protocols[n++] = listed[i];
    protocols[n++] = pingAtom;
    if (listed != nullptr)
        XFree(listed);
    XSetWMProtocols(fl_display, xid, protocols, n);
}
