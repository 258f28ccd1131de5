// The eight lights and their parameters in GL.
#include "CZelLighting.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<float> lightValue(GLenum light, GLenum which)
{
    std::vector<float> v(4, -1.0f);
    glGetLightfv(light, which, v.data());
    return v;
}

class LightingTest : public OffscreenGLTest
{
};

} // namespace

TEST_F(LightingTest, EightNumberedLights)
{
    CZelLighting* lighting = CZelLighting::getInstance();
    EXPECT_EQ(lighting->getLight(8), nullptr);
    EXPECT_EQ(lighting->getLight(-1), nullptr);
    ASSERT_NE(lighting->getLight(7), nullptr);
    EXPECT_EQ(lighting->getLight(7)->getNumber(), 7);
    lighting->getLight(7)->enable();
    EXPECT_TRUE(glIsEnabled(GL_LIGHT7));
    EXPECT_TRUE(lighting->getLight(7)->isEnabled());
    lighting->getLight(7)->disable();
    EXPECT_FALSE(glIsEnabled(GL_LIGHT7));
    EXPECT_FALSE(lighting->getLight(7)->isEnabled());
}

TEST_F(LightingTest, PositionChoosesTheType)
{
    CZelLight light(3);
    light.setLightPosition(0.0f, 0.0f, 1.0f, 0.5f);
    EXPECT_EQ(light.getType(), CZelLight::DIRECTIONAL_LIGHT);
    light.setLightPosition(0.0f, 0.0f, 1.0f, 0.9f);
    EXPECT_EQ(light.getType(), CZelLight::POINT_LIGHT);

    // Drawn, the fourth value follows the type.
    light.setLightPosition(1.0f, 2.0f, 3.0f, 0.5f);
    light.enable();
    light.render();
    EXPECT_EQ(lightValue(GL_LIGHT3, GL_POSITION), (std::vector<float>{1.0f, 2.0f, 3.0f, 0.0f}));
    light.setType(CZelLight::SPOT_LIGHT);
    light.setSpotCutoff(30.0f);
    light.render();
    EXPECT_EQ(lightValue(GL_LIGHT3, GL_POSITION)[3], 1.0f);
    EXPECT_EQ(lightValue(GL_LIGHT3, GL_SPOT_CUTOFF)[0], 30.0f);
    light.setType(CZelLight::POINT_LIGHT);
    light.render();
    EXPECT_EQ(lightValue(GL_LIGHT3, GL_SPOT_CUTOFF)[0], 180.0f);
}

TEST_F(LightingTest, DisabledOrInactiveLightSetsNothing)
{
    CZelLight light(1);
    light.setDiffuse(0.3f, 0.4f, 0.5f, 1.0f);
    light.render(); // not enabled
    EXPECT_EQ(lightValue(GL_LIGHT1, GL_DIFFUSE), (std::vector<float>{0.0f, 0.0f, 0.0f, 1.0f}));
    light.enable();
    light.setState(1);
    light.render();
    EXPECT_EQ(lightValue(GL_LIGHT1, GL_DIFFUSE), (std::vector<float>{0.0f, 0.0f, 0.0f, 1.0f}));
    light.setState(0);
    light.render();
    EXPECT_EQ(lightValue(GL_LIGHT1, GL_DIFFUSE), (std::vector<float>{0.3f, 0.4f, 0.5f, 1.0f}));
}

TEST_F(LightingTest, LightModel)
{
    CZelLighting* lighting = CZelLighting::getInstance();
    lighting->setTwoSide(true);
    EXPECT_EQ(readInteger(GL_LIGHT_MODEL_TWO_SIDE), 1);
    lighting->setTwoSide(false);
    EXPECT_EQ(readInteger(GL_LIGHT_MODEL_TWO_SIDE), 0);

    lighting->setAmbient(0.1f, 0.2f, 0.3f, 1.0f);
    lighting->render();
    std::vector<float> ambient(4);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient.data());
    EXPECT_EQ(ambient, (std::vector<float>{0.1f, 0.2f, 0.3f, 1.0f}));
    lighting->setAmbient(0.2f, 0.2f, 0.2f, 1.0f);
}
