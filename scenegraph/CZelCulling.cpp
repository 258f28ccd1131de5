// Frustum culling of a composite tree.
#include "CZelCulling.h"

#include "CZelVec4d.h"

CZelCulling::CZelCulling() : m_matrixStack(new CZelMatrixStack()), m_frustum(new CZelViewFrustum()) {}

void CZelCulling::cull()
{
    m_culledCount = 0;
    if (!m_composite || !m_view)
        return;
    m_view->getViewFrustum(*m_frustum);
    while (m_matrixStack->getDepth() > 0)
        m_matrixStack->pop();
    m_matrixStack->getTop().setIdentity();
    cullShape(m_composite, true);
}

// The stack holds the transform from the root's space into the shape's
// parent's space.
void CZelCulling::cullShape(CZelShape* shape, bool isRoot)
{
    double x = 0.0, y = 0.0, z = 0.0;
    shape->getPosition(x, y, z);
    CZelBoundingSphere* sphere = shape->getBoundingSphere();
    bool visible = true;
    if (sphere) {
        const CZelVec4d& centre = m_matrixStack->getTop() * CZelVec4d(x, y, z, 1.0);
        sphere->setCenter(centre[0], centre[1], centre[2]);
        visible = m_frustum->testSphere(*sphere);
    }
    const bool composite = shape->isClass("CZelComposite");
    if (!visible && (!composite || !isRoot)) {
        shape->setCulled(true);
        ++m_culledCount;
        return;
    }
    if (!composite)
        return;
    // The children's positions go through the same turns the composite's
    // drawing applies, so that their centres land where they are drawn.
    double ax = 0.0, ay = 0.0, az = 0.0;
    shape->getRotation(ax, ay, az);
    double axisX = 0.0, axisY = 0.0, axisZ = 0.0, angle = 0.0;
    shape->getRotationAxis(axisX, axisY, axisZ, angle);
    m_matrixStack->push();
    m_matrixStack->translate(x, y, z);
    if (ax != 0.0)
        m_matrixStack->rotate(1.0, 0.0, 0.0, ax);
    if (ay != 0.0)
        m_matrixStack->rotate(0.0, 1.0, 0.0, ay);
    if (az != 0.0)
        m_matrixStack->rotate(0.0, 0.0, 1.0, az);
    // The stack takes a unit axis; glRotated normalises its own.
    CZelVec3d axis(axisX, axisY, axisZ);
    if (angle != 0.0 && axis.normalize())
        m_matrixStack->rotate(axis.x(), axis.y(), axis.z(), angle);
    CZelComposite* group = static_cast<CZelComposite*>(shape);
    for (int i = 0; i < group->getSize(); ++i)
        cullShape(group->getChild(i), false);
    m_matrixStack->pop();
}
