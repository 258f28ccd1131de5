// OSMesa context of the headless renderer.
#include "CMorOffscreenContext.h"

#include <GL/osmesa.h>


CMorOffscreenContext::~CMorOffscreenContext()
{
    if (m_context != nullptr)
        OSMesaDestroyContext(m_context);
}

int CMorOffscreenContext::getMaximumSize()
{
    GLint width = 0, height = 0;
    OSMesaGetIntegerv(OSMESA_MAX_WIDTH, &width);
    OSMesaGetIntegerv(OSMESA_MAX_HEIGHT, &height);
    const int limit = width < height ? width : height;
    // Older OSMesa answers only once a context is current.
    return limit > 0 ? limit : 16384;
}

bool CMorOffscreenContext::create(int width, int height)
{
    if (width <= 0 || height <= 0 || width > getMaximumSize() || height > getMaximumSize()) {
        m_errorMessage = "A drawing area of " + std::to_string(width) + " x " + std::to_string(height) +
                         " pixels is more than the offscreen renderer offers (at most " +
                         std::to_string(getMaximumSize()) + " a side); draw it in tiles.";
        return false;
    }
    m_buffer.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    m_context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 16, nullptr);
    if (m_context == nullptr) {
        m_errorMessage = "OSMesa could not create a drawing context.";
        return false;
    }
    if (!OSMesaMakeCurrent(m_context, m_buffer.data(), GL_UNSIGNED_BYTE, width, height)) {
        m_errorMessage = "OSMesa could not make its drawing context current.";
        return false;
    }
    // GL's own row order, bottom row first, as glReadPixels gives it.
    OSMesaPixelStore(OSMESA_Y_UP, 1);
    if (glGetString(GL_RENDERER) == nullptr) {
        m_errorMessage = "The GL calls do not reach OSMesa: the program was linked against a window-system GL.";
        return false;
    }
    return true;
}

std::string CMorOffscreenContext::getRenderer() const
{
    if (m_context == nullptr)
        return std::string();
    const GLubyte* renderer = glGetString(GL_RENDERER);
    return renderer != nullptr ? reinterpret_cast<const char*>(renderer) : std::string();
}
