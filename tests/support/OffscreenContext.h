// An OSMesa rendering context for drawing tests: RGBA, 24-bit depth, 16-bit
// accumulation, made current on construction. No display is needed.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

struct osmesa_context;

class OffscreenContext
{
public:
    // accumulationBits 0 makes a context without accumulation buffer.
    OffscreenContext(int width, int height, int accumulationBits = 16);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // False when OSMesa gave no working context (see getRenderer).
    bool isValid() const { return m_valid; }
    std::string getRenderer() const;
    int width() const { return m_width; }
    int height() const { return m_height; }

    // Finishes drawing and reads RGBA bytes of pixel (x, y), origin bottom left.
    std::vector<unsigned char> readPixel(int x, int y) const;
    // Finishes drawing and reads the whole picture, bottom row first.
    std::vector<unsigned char> readPixels() const;

private:
    osmesa_context* m_context = nullptr;
    std::vector<unsigned char> m_buffer;
    int m_width;
    int m_height;
    bool m_valid = false;
};

// A test with a current 64 x 64 offscreen context and a clean GL state.
class OffscreenGLTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Reads one of the current GL matrices (GL_MODELVIEW_MATRIX, ...).
    static std::vector<double> readMatrix(unsigned int which);
    static int readInteger(unsigned int which);

    std::unique_ptr<OffscreenContext> m_context;
};
