// Hands the bytes of one fuzz input to code that only reads files by name:
// they go to an in-memory file, reopened through /proc like any other file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CFuzzInput
{
public:
    CFuzzInput();
    ~CFuzzInput();
    CFuzzInput(const CFuzzInput&) = delete;
    CFuzzInput& operator=(const CFuzzInput&) = delete;

    // Replaces the file's content by data; returns a path that opens it.
    std::string write(const uint8_t* data, size_t size);

private:
    int m_fd = -1;
};
