// An OSMesa drawing context with its own pixel buffer (RGBA, depth and
// accumulation buffer), made current on creation: the headless renderer draws
// into it without any display.
#pragma once

#include <string>
#include <vector>

struct osmesa_context;

class CMorOffscreenContext
{
public:
    CMorOffscreenContext() = default;
    CMorOffscreenContext(const CMorOffscreenContext&) = delete;
    CMorOffscreenContext& operator=(const CMorOffscreenContext&) = delete;
    ~CMorOffscreenContext();

    // False with getErrorMessage when OSMesa gives no working context of that
    // size (too large, no memory, or GL calls not bound to OSMesa).
    bool create(int width, int height);
    const std::string& getErrorMessage() const { return m_errorMessage; }
    // The GL renderer's name, e.g. "llvmpipe"; empty before create.
    std::string getRenderer() const;
    // The largest width and height a context may have.
    static int getMaximumSize();

private:
    osmesa_context* m_context = nullptr;
    std::vector<unsigned char> m_buffer;
    std::string m_errorMessage;
};
