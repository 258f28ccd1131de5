// The input trace of the view.
#include "CMorEventTrace.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Opened on first use and left to the program's exit to close.
std::FILE* traceFile()
{
    static std::FILE* file = [] {
        const char* path = std::getenv("MORVEX_TRACE");
        return path != nullptr && *path != '\0' ? std::fopen(path, "a") : nullptr;
    }();
    return file;
}

} // namespace

bool CMorEventTrace::isOn()
{
    return traceFile() != nullptr;
}

void CMorEventTrace::write(const std::string& what, const CZelCamera* camera)
{
    std::FILE* file = traceFile();
    if (file == nullptr)
        return;
    std::fputs(what.c_str(), file);
    if (camera != nullptr) {
        const CZelVec3d& p = camera->getPosition();
        const CZelVec3d& t = camera->getTarget();
        std::fprintf(file, " -> eye %.6f %.6f %.6f target %.6f %.6f %.6f", p.x(), p.y(), p.z(), t.x(), t.y(), t.z());
    }
    std::fputc('\n', file);
    // A test reads the file while the program runs.
    std::fflush(file);
}
