// Index lists, quad and line primitives and quad planes: normals and bounds
// read back directly, drawing checked as pixels of an offscreen context.
#include "CZelIndex.h"
#include "CZelLineSet.h"
#include "CZelPngImage.h"
#include "CZelQuadPlane.h"
#include "CZelQuadSet.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<int32_t> entries(const CZelIndex& index)
{
    std::vector<int32_t> v;
    for (int i = 0; i < index.getSize(); ++i)
        v.push_back(index.getAt(i));
    return v;
}

void expectVec(const CZelVec3d* v, double x, double y, double z)
{
    ASSERT_NE(v, nullptr);
    EXPECT_NEAR(v->x(), x, 1e-12);
    EXPECT_NEAR(v->y(), y, 1e-12);
    EXPECT_NEAR(v->z(), z, 1e-12);
}

std::vector<unsigned char> rgba(int r, int g, int b)
{
    return {static_cast<unsigned char>(r), static_cast<unsigned char>(g), static_cast<unsigned char>(b), 255};
}

} // namespace

TEST(IndexTest, Building)
{
    CZelIndex index;
    index.createLinear(3);
    EXPECT_EQ(entries(index), (std::vector<int32_t>{0, 1, 2}));
    index.createLinear(5, 3);
    EXPECT_EQ(entries(index), (std::vector<int32_t>{5, 6, 7}));
    index.createConstant(7, 2);
    EXPECT_EQ(entries(index), (std::vector<int32_t>{7, 7}));
    const int32_t more[] = {1, 2};
    index.add(more, 2);
    index.add(9);
    EXPECT_EQ(entries(index), (std::vector<int32_t>{7, 7, 1, 2, 9}));
    EXPECT_EQ(index.getAt(5), -1);
    EXPECT_EQ(index.getAt(-1), -1);
    index.createConstant(3, -2);
    EXPECT_EQ(index.getSize(), 0);
    EXPECT_TRUE(index.isClass("CZelIndexBase"));
}

TEST(QuadSetTest, FaceAndVertexNormals)
{
    CZelPointer<CZelQuadPlane> plane = new CZelQuadPlane();
    expectVec(plane->getNormal(0), 0.0, 0.0, 1.0);
    plane->setOrientation(1);
    ASSERT_EQ(plane->getNormalCount(), 1);
    expectVec(plane->getNormal(0), 0.0, 1.0, 0.0);
    plane->setOrientation(2);
    expectVec(plane->getNormal(0), 1.0, 0.0, 0.0);

    // Two quads folded along the edge x = 0: one faces +z, the other +x.
    CZelPointer<CZelQuadSet> fold = new CZelQuadSet();
    fold->addCoord(-1, 0, 0);
    fold->addCoord(0, 0, 0);
    fold->addCoord(0, 1, 0);
    fold->addCoord(-1, 1, 0);
    fold->addCoord(0, 0, -1);
    fold->addCoord(0, 1, -1);
    CZelIndex* quads = new CZelIndex();
    const int32_t corners[] = {0, 1, 2, 3, 1, 4, 5, 2};
    quads->add(corners, 8);
    fold->addCoordIndex(quads);
    ASSERT_EQ(fold->getNormalCount(), 2);
    expectVec(fold->getNormal(0), 0.0, 0.0, 1.0);
    expectVec(fold->getNormal(1), 1.0, 0.0, 0.0);

    fold->setUseVertexNormals(true);
    fold->refresh();
    fold->refresh();
    EXPECT_EQ(fold->getNormalCount(), 2);
    const double h = std::sqrt(0.5);
    expectVec(fold->getVertexNormal(1), h, 0.0, h);
    expectVec(fold->getVertexNormal(0), 0.0, 0.0, 1.0);
    expectVec(fold->getVertexNormal(4), 1.0, 0.0, 0.0);
}

TEST(QuadSetTest, CoordinatesBoundsAndPlaneSize)
{
    CZelPointer<CZelQuadPlane> plane = new CZelQuadPlane();
    plane->setSize(2.0, 5.0);
    CZelPointer<CZelTexture> texture = new CZelTexture();
    const std::vector<unsigned char> data(400 * 200 * 4);
    texture->setRawData(data.data(), 400, 200);
    plane->setTexture(texture);
    EXPECT_EQ(plane->getTexture(), texture.get());
    EXPECT_DOUBLE_EQ(plane->getHeight(), 1.0);
    EXPECT_DOUBLE_EQ(plane->getRatio(), 2.0);
    expectVec(plane->getCoord(2), 1.0, 0.5, 0.0);

    plane->updateBoundingSphere();
    EXPECT_DOUBLE_EQ(plane->getBoundingSphere()->getRadius(), std::sqrt(1.25));

    EXPECT_EQ(plane->getCoordCount(), 4);
    plane->setCoord(4, 9.0, 9.0, 9.0);
    EXPECT_EQ(plane->getCoordCount(), 4);
    EXPECT_EQ(plane->getCoord(4), nullptr);
    plane->setCoord(3, 9.0, 9.0, 9.0);
    expectVec(plane->getCoord(3), 9.0, 9.0, 9.0);
}

using PrimitiveDrawTest = OffscreenGLTest;

TEST_F(PrimitiveDrawTest, TexturedQuadPlaneShowsTheFileUpright)
{
    const char* data = std::getenv("MORVEX_TEST_DATA");
    ASSERT_NE(data, nullptr);
    CZelPointer<CZelPngImage> image = new CZelPngImage();
    image->setFileName(std::string(data) + "/images/good/png-rgb_c3_colour.png");
    ASSERT_TRUE(image->readImage());
    CZelPointer<CZelTexture> texture = new CZelTexture();
    texture->setImage(image);
    texture->setFilters(GL_NEAREST, GL_NEAREST);
    CZelPointer<CZelQuadPlane> plane = new CZelQuadPlane();
    plane->setSize(2.0, 2.0);
    plane->setTexture(texture);

    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    plane->render();
    // Second frame: the texture is applied, no longer created.
    plane->render();
    const std::vector<std::vector<unsigned char>> topRows[2] = {
        {rgba(255, 255, 255), rgba(255, 255, 255), rgba(255, 255, 255), rgba(255, 255, 255), rgba(255, 255, 255)},
        {rgba(255, 0, 0), rgba(0, 255, 0), rgba(0, 0, 255), rgba(0, 0, 0), rgba(255, 255, 255)}};
    for (int column = 0; column < 5; ++column) {
        const int x = column * 64 / 5 + 6;
        EXPECT_EQ(m_context->readPixel(x, 56), topRows[0][static_cast<size_t>(column)]) << column;
        EXPECT_EQ(m_context->readPixel(x, 40), topRows[1][static_cast<size_t>(column)]) << column;
        EXPECT_EQ(m_context->readPixel(x, 8), rgba(0, 0, 0)) << column;
    }
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(PrimitiveDrawTest, AlphaTestShowsTheBackgroundThroughTransparentPixels)
{
    // Left column near-white, right column dark, both rows alike.
    CZelPointer<CZelImage> image = new CZelImage();
    image->setChannels(4);
    image->setSize(2, 2);
    const unsigned char pixels[16] = {252, 255, 251, 0, 10, 20, 30, 0, 252, 255, 251, 0, 10, 20, 30, 0};
    std::copy(pixels, pixels + 16, image->getPixels());
    image->setAlphaByThreshold(250, -1, 0, 255);
    CZelPointer<CZelTexture> texture = new CZelTexture();
    texture->setImage(image);
    texture->setFilters(GL_NEAREST, GL_NEAREST);
    CZelPointer<CZelQuadPlane> plane = new CZelQuadPlane();
    plane->setSize(2.0, 2.0);
    plane->setTexture(texture);

    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    plane->render();
    glDisable(GL_ALPHA_TEST);
    EXPECT_EQ(m_context->readPixel(16, 16), rgba(0, 0, 255));
    EXPECT_EQ(m_context->readPixel(16, 48), rgba(0, 0, 255));
    EXPECT_EQ(m_context->readPixel(48, 16), rgba(10, 20, 30));
}

TEST_F(PrimitiveDrawTest, LineSetDrawsItsMaterialColourUnlit)
{
    CZelPointer<CZelLineSet> lines = new CZelLineSet();
    lines->addCoord(-1.0, 0.0, 0.0);
    lines->addCoord(1.0, 0.0, 0.0);
    lines->addCoord(0.0, -1.0, 0.0);
    lines->addCoord(0.0, 1.0, 0.0);
    CZelIndex* first = new CZelIndex();
    first->createLinear(2);
    lines->addCoordIndex(first);
    CZelMaterial* green = new CZelMaterial();
    green->setDiffuseColor(0.0f, 1.0f, 0.0f, 1.0f);
    lines->setMaterial(green);
    lines->setLineWidth(3.0f);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // Lit, with no light on, the line would come out black.
    glEnable(GL_LIGHTING);
    lines->render();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    glDisable(GL_LIGHTING);
    EXPECT_EQ(m_context->readPixel(10, 32), rgba(0, 255, 0));
    EXPECT_EQ(m_context->readPixel(10, 31), rgba(0, 255, 0));
    EXPECT_EQ(m_context->readPixel(10, 36), rgba(0, 0, 0));
    GLfloat width = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f);

    // Per-vertex colours; a second batch reuses the last colour index set.
    lines->addColor(1.0f, 0.0f, 0.0f, 1.0f);
    CZelIndex* colours = new CZelIndex();
    colours->createConstant(0, 2);
    lines->addColorIndex(colours);
    CZelIndex* second = new CZelIndex();
    second->createLinear(2, 2);
    lines->addCoordIndex(second);
    lines->setUseColors(true);
    glClear(GL_COLOR_BUFFER_BIT);
    lines->render();
    EXPECT_EQ(m_context->readPixel(10, 32), rgba(255, 0, 0));
    EXPECT_EQ(m_context->readPixel(32, 10), rgba(255, 0, 0));
}

TEST_F(PrimitiveDrawTest, IndexesOutsideTheCoordinatesAreSkipped)
{
    CZelPointer<CZelQuadSet> quads = new CZelQuadSet();
    quads->addCoord(-1, -1, 0);
    quads->addCoord(1, -1, 0);
    quads->addCoord(1, 1, 0);
    CZelIndex* index = new CZelIndex();
    const int32_t corners[] = {0, 1, 2, 99, 0, 1, 2};
    index->add(corners, 7);
    quads->addCoordIndex(index);
    CZelIndex* texture = new CZelIndex();
    texture->createLinear(7);
    quads->addTextureIndex(texture);
    quads->setUseColors(true);
    quads->setUseVertexNormals(true);
    quads->refresh();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    quads->render();
    EXPECT_EQ(m_context->readPixel(48, 16), rgba(0, 0, 0));
    EXPECT_EQ(readInteger(GL_ATTRIB_STACK_DEPTH), 0);

    CZelPointer<CZelLineSet> lines = new CZelLineSet();
    CZelIndex* dangling = new CZelIndex();
    dangling->createLinear(5, 2);
    lines->addCoordIndex(dangling);
    lines->setUseColors(true);
    lines->render();
    EXPECT_EQ(m_context->readPixel(32, 32), rgba(0, 0, 0));
}
