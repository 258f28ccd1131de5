// morvex-render: starts the headless renderer, which lives in a library of its
// own, so that an address-space limit too small for the GL driver's libraries
// ends in a message rather than in the loader's failure.
#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

std::string programFolder()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    const std::string program(path, static_cast<size_t>(length));
    const size_t slash = program.rfind('/');
    return slash == std::string::npos ? "." : program.substr(0, slash);
}

bool memoryFailure(const std::string& error)
{
    return error.find("failed to map") != std::string::npos || error.find("annot allocate") != std::string::npos ||
           error.find("annot map") != std::string::npos || error.find("out of memory") != std::string::npos;
}

std::string limitText()
{
    struct rlimit limit;
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return "the memory available";
    return "the address-space limit of " + std::to_string(limit.rlim_cur >> 20) + " MiB";
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = programFolder();
    // Beside the program in the build tree, in the library folder once installed.
    for (const std::string& path :
         {folder + "/" MORVEX_RENDER_LIBRARY, folder + "/" MORVEX_RENDER_INSTALLED "/" MORVEX_RENDER_LIBRARY}) {
        if (access(path.c_str(), F_OK) != 0)
            continue;
        void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            const char* reason = dlerror();
            const std::string error = reason != nullptr ? reason : "unknown failure";
            if (memoryFailure(error))
                std::fprintf(stderr,
                             "morvex-render: not enough memory to start: the renderer and its GL driver do not fit "
                             "in %s (%s).\n",
                             limitText().c_str(), error.c_str());
            else
                std::fprintf(stderr, "morvex-render: cannot load %s: %s\n", path.c_str(), error.c_str());
            return 1;
        }
        using Entry = int (*)(int, char**);
        const Entry entry = reinterpret_cast<Entry>(dlsym(library, "morvexRenderMain"));
        if (entry == nullptr) {
            std::fprintf(stderr, "morvex-render: %s is not the renderer's library.\n", path.c_str());
            return 1;
        }
        return entry(argc, argv);
    }
    std::fprintf(stderr, "morvex-render: its library %s is missing from %s and %s/%s.\n", MORVEX_RENDER_LIBRARY,
                 folder.c_str(), folder.c_str(), MORVEX_RENDER_INSTALLED);
    return 1;
}
