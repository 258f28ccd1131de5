// Answers the window manager's question whether the program still responds
// (the _NET_WM_PING protocol): a desktop then offers to end a program that
// stopped answering, and leaves one alone that is only busy for a moment.
#pragma once

class Fl_Window;

class CMorPingReply
{
public:
    // Offers the protocol on the shown window (borrowed); the answers come
    // from the event loop, so a program stuck outside it stays silent.
    static void offer(Fl_Window* window);
};
