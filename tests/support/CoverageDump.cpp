// Built into every program of a coverage build only: a program stopped by
// SIGTERM or SIGINT (the GUI rig stops what it started that way) still writes
// its coverage counts before it ends.
#include <csignal>

#include <unistd.h>

extern "C" void __gcov_dump(void);

namespace {

void dumpAndEnd(int signal)
{
    __gcov_dump();
    _exit(128 + signal);
}

struct DumpOnSignal
{
    DumpOnSignal()
    {
        std::signal(SIGTERM, dumpAndEnd);
        std::signal(SIGINT, dumpAndEnd);
    }
} dumpOnSignal;

} // namespace
