// Clipboard on X11. The toolkit offers a picture only as BMP and sends it in
// one piece, which fails for large pictures; so the program owns the
// CLIPBOARD selection through a window of its own and answers the requests
// itself, data larger than a piece in INCR steps. The toolkit never sees
// requests to that window; its own text copies take the clipboard from it as
// another program's copy would, and end the offer.
#include "CMorClipboard.h"

#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xatom.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace {

using Data = std::shared_ptr<const std::vector<unsigned char>>;

struct Offered {
    Atom type;
    Data data;
};

// Data sent in pieces: each piece is written once the requestor has deleted
// the one before; an empty piece ends the transfer.
struct Transfer {
    Window requestor;
    Atom property;
    Atom type;
    // Held here: the transfer finishes with what it began with, whatever is
    // offered meanwhile.
    Data data;
    size_t sent;
    // This program's event mask on the requestor before the transfer.
    long previousMask;
};

class SelectionOwner
{
public:
    // The one owner, made on first use with the toolkit's display; it serves
    // until the program ends.
    static SelectionOwner& get();
    bool take(std::vector<CMorClipboard::Format>& formats, std::string& error);

private:
    explicit SelectionOwner(Display* display);
    static int onEvent(void* event, void* owner);
    bool handle(const XEvent& event);
    void answer(const XSelectionRequestEvent& request);
    bool provide(const XSelectionRequestEvent& request, Atom property);
    void startTransfer(Window requestor, Atom property, const Offered& offered);
    // Writes the next piece; false when that was the empty last one.
    bool sendPiece(Transfer& transfer);
    void endTransfer(std::vector<Transfer>::iterator transfer);
    std::vector<Transfer>::iterator find(Window requestor, Atom property);

    Display* m_display;
    Window m_window;
    Atom m_clipboard;
    Atom m_targets;
    Atom m_timestamp;
    Atom m_incr;
    Atom m_text;
    Atom m_utf8;
    Time m_time = CurrentTime;
    size_t m_pieceSize;
    std::vector<Offered> m_offered;
    std::vector<Transfer> m_transfers;
};

SelectionOwner& SelectionOwner::get()
{
    fl_open_display();
    static SelectionOwner owner(fl_display);
    return owner;
}

SelectionOwner::SelectionOwner(Display* display)
    : m_display(display),
      m_window(XCreateSimpleWindow(display, RootWindow(display, fl_screen), 0, 0, 1, 1, 0, 0, 0)),
      m_clipboard(XInternAtom(display, "CLIPBOARD", False)), m_targets(XInternAtom(display, "TARGETS", False)),
      m_timestamp(XInternAtom(display, "TIMESTAMP", False)), m_incr(XInternAtom(display, "INCR", False)),
      m_text(XInternAtom(display, "TEXT", False)), m_utf8(XInternAtom(display, "UTF8_STRING", False))
{
    // A piece fits in one request (counted in 4-byte units, with room for
    // the request's own header) and is at most 256 KiB, as other toolkits
    // send, so that no receiver has to take a huge property in one go.
    long request = XExtendedMaxRequestSize(display);
    if (request == 0)
        request = XMaxRequestSize(display);
    m_pieceSize = static_cast<size_t>(std::min(request, 65536L)) * 4 - 100;
    Fl::add_system_handler(onEvent, this);
}

bool SelectionOwner::take(std::vector<CMorClipboard::Format>& formats, std::string& error)
{
    std::vector<Offered> offered;
    for (CMorClipboard::Format& format : formats)
        if (!format.type.empty())
            offered.push_back({XInternAtom(m_display, format.type.c_str(), False),
                               std::make_shared<const std::vector<unsigned char>>(std::move(format.data))});
    if (offered.empty()) {
        error = "There is nothing to put on the clipboard.";
        return false;
    }
    // The time of the event that asked for the copy: requests made before
    // it are not for this offer.
    m_time = fl_event_time != 0 ? static_cast<Time>(fl_event_time) : CurrentTime;
    XSetSelectionOwner(m_display, m_clipboard, m_window, m_time);
    if (XGetSelectionOwner(m_display, m_clipboard) != m_window) {
        m_offered.clear();
        error = "Another program keeps the clipboard.";
        return false;
    }
    m_offered = std::move(offered);
    return true;
}

int SelectionOwner::onEvent(void* event, void* owner)
{
    return static_cast<SelectionOwner*>(owner)->handle(*static_cast<const XEvent*>(event)) ? 1 : 0;
}

std::vector<Transfer>::iterator SelectionOwner::find(Window requestor, Atom property)
{
    return std::find_if(m_transfers.begin(), m_transfers.end(), [&](const Transfer& transfer) {
        return transfer.requestor == requestor && transfer.property == property;
    });
}

// True for the events that are this clipboard's alone.
bool SelectionOwner::handle(const XEvent& event)
{
    switch (event.type) {
    case SelectionRequest:
        if (event.xselectionrequest.owner != m_window)
            return false;
        answer(event.xselectionrequest);
        return true;
    case SelectionClear:
        if (event.xselectionclear.window != m_window)
            return false;
        m_offered.clear();
        return true;
    case PropertyNotify: {
        const auto transfer = find(event.xproperty.window, event.xproperty.atom);
        if (transfer == m_transfers.end())
            return false;
        if (event.xproperty.state == PropertyDelete && !sendPiece(*transfer))
            endTransfer(transfer);
        XFlush(m_display);
        return true;
    }
    case DestroyNotify: {
        // A requestor that goes away ends its transfers; the toolkit may want
        // the event too.
        const Window gone = event.xdestroywindow.window;
        m_transfers.erase(std::remove_if(m_transfers.begin(), m_transfers.end(),
                                         [gone](const Transfer& transfer) { return transfer.requestor == gone; }),
                          m_transfers.end());
        return false;
    }
    default:
        return false;
    }
}

void SelectionOwner::answer(const XSelectionRequestEvent& request)
{
    XEvent reply = {};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = m_display;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    // Old clients name no property: the target is the property then.
    const Atom property = request.property != None ? request.property : request.target;
    const bool early = m_time != CurrentTime && request.time != CurrentTime && request.time < m_time;
    const bool given = !early && request.selection == m_clipboard && provide(request, property);
    reply.xselection.property = given ? property : None;
    XSendEvent(m_display, request.requestor, False, NoEventMask, &reply);
    XFlush(m_display);
}

bool SelectionOwner::provide(const XSelectionRequestEvent& request, Atom property)
{
    if (m_offered.empty())
        return false;
    if (request.target == m_targets) {
        std::vector<Atom> targets = {m_targets, m_timestamp};
        for (const Offered& offered : m_offered)
            targets.push_back(offered.type);
        XChangeProperty(m_display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(targets.data()), static_cast<int>(targets.size()));
        return true;
    }
    if (request.target == m_timestamp) {
        const long time = static_cast<long>(m_time);
        XChangeProperty(m_display, request.requestor, property, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&time), 1);
        return true;
    }
    for (Offered offered : m_offered) {
        if (offered.type != request.target)
            continue;
        // TEXT asks for text in any encoding: the answer names the one sent.
        if (offered.type == m_text)
            offered.type = m_utf8;
        if (offered.data->size() <= m_pieceSize)
            XChangeProperty(m_display, request.requestor, property, offered.type, 8, PropModeReplace,
                            offered.data->data(), static_cast<int>(offered.data->size()));
        else
            startTransfer(request.requestor, property, offered);
        return true;
    }
    return false;
}

void SelectionOwner::startTransfer(Window requestor, Atom property, const Offered& offered)
{
    // A new request for the same property replaces a transfer given up.
    const auto stale = find(requestor, property);
    if (stale != m_transfers.end())
        endTransfer(stale);
    // The requestor's deletions arrive as property events; the mask is
    // this program's own on that window, which may be one of its own.
    long previousMask = NoEventMask;
    const auto busy = std::find_if(m_transfers.begin(), m_transfers.end(),
                                   [requestor](const Transfer& transfer) { return transfer.requestor == requestor; });
    XWindowAttributes attributes;
    if (busy != m_transfers.end())
        previousMask = busy->previousMask;
    else if (XGetWindowAttributes(m_display, requestor, &attributes))
        previousMask = attributes.your_event_mask;
    XSelectInput(m_display, requestor, previousMask | PropertyChangeMask | StructureNotifyMask);
    // INCR announces a lower bound of the size.
    const long size = static_cast<long>(std::min<size_t>(offered.data->size(), LONG_MAX));
    XChangeProperty(m_display, requestor, property, m_incr, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&size), 1);
    m_transfers.push_back({requestor, property, offered.type, offered.data, 0, previousMask});
}

bool SelectionOwner::sendPiece(Transfer& transfer)
{
    const size_t piece = std::min(transfer.data->size() - transfer.sent, m_pieceSize);
    XChangeProperty(m_display, transfer.requestor, transfer.property, transfer.type, 8, PropModeReplace,
                    transfer.data->data() + transfer.sent, static_cast<int>(piece));
    transfer.sent += piece;
    return piece > 0;
}

void SelectionOwner::endTransfer(std::vector<Transfer>::iterator transfer)
{
    const Window requestor = transfer->requestor;
    const long previousMask = transfer->previousMask;
    m_transfers.erase(transfer);
    const bool busy = std::any_of(m_transfers.begin(), m_transfers.end(),
                                  [requestor](const Transfer& other) { return other.requestor == requestor; });
    if (!busy)
        XSelectInput(m_display, requestor, previousMask);
}

} // namespace

bool CMorClipboard::offer(std::vector<Format> formats, std::string& error)
{
    return SelectionOwner::get().take(formats, error);
}

bool CMorClipboard::offerText(const std::string& text, std::string& error)
{
    const std::vector<unsigned char> bytes(text.begin(), text.end());
    std::vector<Format> formats;
    for (const char* type : {"UTF8_STRING", "text/plain;charset=utf-8", "TEXT", "STRING", "text/plain"})
        formats.push_back({type, bytes});
    return offer(std::move(formats), error);
}
