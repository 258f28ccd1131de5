// An in-memory file for fuzz inputs.
#include "CFuzzInput.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

CFuzzInput::CFuzzInput()
{
    m_fd = memfd_create("morvex-fuzz-input", 0);
    if (m_fd < 0) {
        perror("memfd_create");
        std::abort();
    }
}

CFuzzInput::~CFuzzInput()
{
    close(m_fd);
}

std::string CFuzzInput::write(const uint8_t* data, size_t size)
{
    if (ftruncate(m_fd, 0) != 0 || (size > 0 && pwrite(m_fd, data, size, 0) != static_cast<ssize_t>(size))) {
        perror("writing the fuzz input");
        std::abort();
    }
    return "/proc/self/fd/" + std::to_string(m_fd);
}
