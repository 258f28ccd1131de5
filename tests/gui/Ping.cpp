// Asks a window whether its program still answers, as a window manager does
// (_NET_WM_PING), and waits for the answer. Usage: morvex_ping ID [SECONDS]
// Exit 0 with the answer's delay in milliseconds, 1 when none came in time.
#include <X11/Xlib.h>

#include <sys/select.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    Display* display = argc < 2 || argc > 3 ? nullptr : XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "usage (with a display): morvex_ping WINDOW-ID [SECONDS]\n");
        return 2;
    }
    const double limit = argc == 3 ? std::atof(argv[2]) : 10.0;
    const Window window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    const Window root = DefaultRootWindow(display);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    // The answer goes to the root window.
    XSelectInput(display, root, SubstructureNotifyMask);
    // A stamp of its own tells this question's answer from any other.
    const long stamp = static_cast<long>(std::chrono::steady_clock::now().time_since_epoch().count() & 0x7fffffff);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(ping);
    event.xclient.data.l[1] = stamp;
    event.xclient.data.l[2] = static_cast<long>(window);
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);

    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        while (XPending(display) > 0) {
            XEvent answer;
            XNextEvent(display, &answer);
            if (answer.type == ClientMessage && answer.xclient.message_type == protocols &&
                static_cast<Atom>(answer.xclient.data.l[0]) == ping && answer.xclient.data.l[1] == stamp) {
                const auto took = std::chrono::steady_clock::now() - start;
                std::printf("%lld\n", static_cast<long long>(
                                          std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
                XCloseDisplay(display);
                return 0;
            }
        }
        const double left = limit - std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (left <= 0.0)
            break;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(ConnectionNumber(display), &readable);
        timeval wait{static_cast<time_t>(left), static_cast<suseconds_t>((left - static_cast<long>(left)) * 1e6)};
        select(ConnectionNumber(display) + 1, &readable, nullptr, nullptr, &wait);
    }
    std::fprintf(stderr, "morvex_ping: no answer from window %s within %g s\n", argv[1], limit);
    XCloseDisplay(display);
    return 1;
}
