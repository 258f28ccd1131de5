// Map and scene coordinates: a rotation, not a mirror; the exaggeration about
// the base; camera axes that come back bit for bit without exaggeration.
#include "CFenceCoordinates.h"
#include "CZelShape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

TEST(Coordinates, TheSceneIsARotationOfTheMapStretchedAboutTheBase)
{
    CFenceCoordinates c;
    const CZelVec3d east = c.toScene(1, 0, 0), north = c.toScene(0, 1, 0), up = c.toScene(0, 0, 1);
    // x east, y up, z south, and east x north = up as on the map: no mirror.
    EXPECT_EQ(CZelVec3d(east.x(), up.y(), north.z()), CZelVec3d(1, 1, -1));
    EXPECT_EQ(CZelVec3d::cross(east, north), up);

    c.setOrigin(CZelVec3d(500000, 100, -6500000));
    c.setBase(-6000);
    c.setExaggeration(3);
    const struct {
        double elevation, scene;
    } cases[] = {{-6000, -6000}, {500, 13500}, {-7000, -9000}};
    for (const auto& e : cases) {
        EXPECT_EQ(c.toSceneElevation(e.elevation), e.scene);
        EXPECT_EQ(c.toMapElevation(e.scene), e.elevation);
        EXPECT_EQ(c.toRelativeScene(500010, 6500020, e.elevation), CZelVec3d(10, e.scene - 100, -20));
        // Shapes built with toModel and given the exaggeration stand at the same place.
        CZelShape shape;
        c.applyExaggeration(&shape);
        double px, py, pz, sx, sy, sz;
        shape.getPosition(px, py, pz);
        shape.getScale(sx, sy, sz);
        EXPECT_DOUBLE_EQ(py + sy * c.toModel(0, 0, e.elevation).y(), e.scene - 100);
    }
    for (const double factor : {0.0, -2.0, static_cast<double>(NAN)}) {
        c.setExaggeration(factor);
        EXPECT_EQ(c.getExaggeration(), 1.0);
    }

    // Without exaggeration the camera axes come back as the very same doubles.
    for (const double v : {0.1, -0.0, 6543210.123456789, 1e-300}) {
        const CZelVec3d back = c.toCameraAxes(c.fromCameraAxes(CZelVec3d(v, 1.0 / 3.0, v)));
        EXPECT_EQ(std::memcmp(back.getArray(), CZelVec3d(v, 1.0 / 3.0, v).getArray(), 3 * sizeof(double)), 0) << v;
    }
}
