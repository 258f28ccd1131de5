// OSMesa context set-up for the drawing tests.
#include "OffscreenContext.h"

#include <GL/osmesa.h>

OffscreenContext::OffscreenContext(int width, int height, int accumulationBits)
    : m_buffer(static_cast<size_t>(width) * static_cast<size_t>(height) * 4), m_width(width), m_height(height)
{
    m_context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, accumulationBits, nullptr);
    if (m_context == nullptr)
        return;
    if (!OSMesaMakeCurrent(m_context, m_buffer.data(), GL_UNSIGNED_BYTE, width, height))
        return;
    // OSMesa's default is top row first; GL's own order keeps glReadPixels and
    // the buffer in agreement.
    OSMesaPixelStore(OSMESA_Y_UP, 1);
    m_valid = glGetString(GL_RENDERER) != nullptr;
}

OffscreenContext::~OffscreenContext()
{
    if (m_context != nullptr)
        OSMesaDestroyContext(m_context);
}

std::string OffscreenContext::getRenderer() const
{
    const GLubyte* renderer = glGetString(GL_RENDERER);
    return renderer ? reinterpret_cast<const char*>(renderer) : std::string("(none)");
}

std::vector<unsigned char> OffscreenContext::readPixel(int x, int y) const
{
    std::vector<unsigned char> rgba(4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

std::vector<unsigned char> OffscreenContext::readPixels() const
{
    std::vector<unsigned char> rgba(static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, m_width, m_height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

void OffscreenGLTest::SetUp()
{
    m_context = std::make_unique<OffscreenContext>(64, 64);
    ASSERT_TRUE(m_context->isValid()) << "no working OSMesa context; renderer: " << m_context->getRenderer();
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void OffscreenGLTest::TearDown()
{
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    m_context.reset();
}

std::vector<double> OffscreenGLTest::readMatrix(unsigned int which)
{
    std::vector<double> m(16);
    glGetDoublev(which, m.data());
    return m;
}

int OffscreenGLTest::readInteger(unsigned int which)
{
    GLint value = 0;
    glGetIntegerv(which, &value);
    return value;
}
