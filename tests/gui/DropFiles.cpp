// Drops a text/uri-list onto a window at a point, as a file manager does
// (XDND): owns XdndSelection, sends XdndEnter, XdndPosition and XdndDrop,
// hands the list over when the target asks and waits for XdndFinished.
// Usage: morvex_dropfiles WINDOW-ID X Y URI... (one URI a line of the list).
// Prints "accepted" or "refused" (the target's XdndStatus), then "finished".
#include <X11/Xlib.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

const int XDND_VERSION = 5;
const int TIMEOUT_SECONDS = 60;

Display* display;
Window source;

Atom atom(const char* name)
{
    return XInternAtom(display, name, False);
}

void sendMessage(Window target, const char* type, long l1, long l2, long l3, long l4)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = atom(type);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(source);
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

// The next event, or false once the deadline has passed.
bool nextEvent(XEvent& event, time_t deadline)
{
    while (!XPending(display)) {
        if (std::time(nullptr) >= deadline)
            return false;
        usleep(10000);
    }
    XNextEvent(display, &event);
    return true;
}

void answer(const XSelectionRequestEvent& request, const std::string& list)
{
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = None;
    // The XdndEnter names the one type offered, so the target asks for no other.
    if (request.target == atom("text/uri-list")) {
        const Atom property = request.property != None ? request.property : request.target;
        XChangeProperty(display, request.requestor, property, request.target, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(list.data()), static_cast<int>(list.size()));
        reply.xselection.property = property;
    }
    XSendEvent(display, request.requestor, False, NoEventMask, &reply);
    XFlush(display);
}

} // namespace

int main(int argc, char** argv)
{
    display = argc < 5 ? nullptr : XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "usage (with a display): morvex_dropfiles WINDOW-ID X Y URI...\n");
        return 2;
    }
    const Window target = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    std::string list;
    for (int i = 4; i < argc; ++i)
        list += std::string(argv[i]) + "\r\n";

    source = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, atom("XdndSelection"), source, CurrentTime);
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(display, target, DefaultRootWindow(display), std::atoi(argv[2]), std::atoi(argv[3]),
                          &rootX, &rootY, &child);

    const Atom uriList = atom("text/uri-list");
    sendMessage(target, "XdndEnter", static_cast<long>(XDND_VERSION) << 24, static_cast<long>(uriList), None, None);
    sendMessage(target, "XdndPosition", 0, (static_cast<long>(rootX) << 16) | rootY, CurrentTime,
                static_cast<long>(atom("XdndActionCopy")));

    const time_t deadline = std::time(nullptr) + TIMEOUT_SECONDS;
    bool dropped = false;
    XEvent event;
    while (nextEvent(event, deadline)) {
        if (event.type == SelectionRequest) {
            answer(event.xselectionrequest, list);
        } else if (event.type == ClientMessage && event.xclient.message_type == atom("XdndStatus") && !dropped) {
            const bool accepted = (event.xclient.data.l[1] & 1) != 0;
            std::printf("%s\n", accepted ? "accepted" : "refused");
            std::fflush(stdout);
            if (!accepted) {
                sendMessage(target, "XdndLeave", 0, 0, 0, 0);
                XCloseDisplay(display);
                return 0;
            }
            sendMessage(target, "XdndDrop", 0, CurrentTime, 0, 0);
            dropped = true;
        } else if (event.type == ClientMessage && event.xclient.message_type == atom("XdndFinished")) {
            std::printf("finished\n");
            XCloseDisplay(display);
            return 0;
        }
    }
    std::fprintf(stderr, "morvex_dropfiles: no answer from window 0x%lx\n", static_cast<unsigned long>(target));
    XCloseDisplay(display);
    return 1;
}
