// Address-space limit, available memory and the estimate of a drawing.
#include "CMorMemoryPlan.h"

#include <malloc.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

// Measured with llvmpipe: its context, shader compilation (LLVM aborts when
// it runs out, so this must be there before it starts) and the frame's own
// buffers per pixel (colour twice, depth, accumulation, the picture's rows).
constexpr uint64_t DRIVER_BYTES = 80ULL << 20;
constexpr uint64_t DRIVER_THREAD_BYTES = 4ULL << 20;
constexpr uint64_t BYTES_PER_PIXEL = 32;
// Two reading threads, each with the bands of rows its pyramid is built from.
constexpr uint64_t LOADING_BYTES = 2 * (24ULL << 20);

uint64_t mebibytes(uint64_t bytes)
{
    return (bytes + (1ULL << 19)) >> 20;
}

// A number from a file that holds one, or 0 ("max" and missing files too).
uint64_t numberIn(const std::string& path)
{
    std::ifstream in(path);
    unsigned long long value = 0;
    return in >> value ? value : 0;
}

// The llvmpipe threads the driver starts: LP_NUM_THREADS, else one a core.
unsigned driverThreads()
{
    const char* set = std::getenv("LP_NUM_THREADS");
    if (set != nullptr)
        return static_cast<unsigned>(std::max(0, std::atoi(set)));
    return std::max(1u, std::thread::hardware_concurrency());
}

} // namespace

void CMorMemoryPlan::prepareProcess()
{
    const uint64_t limit = getAddressLimit();
    if (limit == 0 || limit >= LOW_LIMIT)
        return;
    mallopt(M_ARENA_MAX, 1);
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) == 0) {
        if (pthread_attr_setstacksize(&attributes, STACK_BYTES) == 0)
            pthread_setattr_default_np(&attributes);
        pthread_attr_destroy(&attributes);
    }
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
    // Every llvmpipe thread takes a stack and bins of its own.
    setenv("LP_NUM_THREADS", limit < (1ULL << 30) ? "0" : "2", 0);
}

uint64_t CMorMemoryPlan::getAddressLimit()
{
    struct rlimit limit;
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return 0;
    return limit.rlim_cur;
}

uint64_t CMorMemoryPlan::getAddressInUse()
{
    std::ifstream statm("/proc/self/statm");
    unsigned long long pages = 0;
    if (!(statm >> pages))
        return 0;
    return pages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}

uint64_t CMorMemoryPlan::getAvailableMemory()
{
    uint64_t available = 0;
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line))
        if (line.compare(0, 13, "MemAvailable:") == 0) {
            std::istringstream(line.substr(13)) >> available;
            available *= 1024;
        }
    // A control group may allow less than the machine has.
    const uint64_t groupLimit = numberIn("/sys/fs/cgroup/memory.max");
    if (groupLimit > 0) {
        const uint64_t used = numberIn("/sys/fs/cgroup/memory.current");
        const uint64_t room = groupLimit > used ? groupLimit - used : 0;
        available = available == 0 ? room : std::min(available, room);
    }
    return available;
}

bool CMorMemoryPlan::fitDrawing(int width, int height, uint64_t extraBytes, uint64_t& budget, std::string& message)
{
    const uint64_t pixels = static_cast<uint64_t>(std::max(width, 1)) * static_cast<uint64_t>(std::max(height, 1));
    const uint64_t frame = pixels * BYTES_PER_PIXEL;
    const uint64_t driver = DRIVER_BYTES + driverThreads() * DRIVER_THREAD_BYTES;
    // Resident memory the drawing touches, and the address space it spans.
    const uint64_t touched = frame + driver + LOADING_BYTES + extraBytes;
    const uint64_t limit = getAddressLimit();
    const uint64_t inUse = getAddressInUse();
    const uint64_t available = getAvailableMemory();

    uint64_t room = budget;
    std::string what;
    uint64_t needed = 0, there = 0;
    if (limit > 0) {
        const uint64_t least = inUse + touched + LEAST_TILE_BYTES;
        if (least > limit) {
            needed = least;
            there = limit;
            what = "address space, and the limit (ulimit -v) is";
        } else {
            // A quarter of what is left stays free for fragments and for
            // what the estimate does not see.
            room = std::min(room, (limit - inUse - touched) / 4 * 3);
        }
    }
    if (what.empty() && available > 0) {
        const uint64_t least = touched + LEAST_TILE_BYTES;
        if (least > available) {
            needed = least;
            there = available;
            what = "memory, and the system has";
        } else {
            room = std::min(room, (available - touched) / 2);
        }
    }
    if (!what.empty()) {
        message = "Not enough memory: drawing " + std::to_string(width) + " x " + std::to_string(height) +
                  " pixels needs about " + std::to_string(mebibytes(needed)) + " MiB of " + what + " " +
                  std::to_string(mebibytes(there)) + " MiB.";
        return false;
    }
    budget = std::max(room, LEAST_TILE_BYTES);
    return true;
}
