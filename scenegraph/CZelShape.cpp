// Shape transform, texture and material steps.
#include "CZelShape.h"

#include "CZelGlobalState.h"
#include "CZelTemporaries.h"

#include <GL/gl.h>

namespace {

// The attribute mask is GL_TEXTURE_2D's value, not GL_TEXTURE_BIT: it saves the
// enable flags and current values the texture step touches.
constexpr GLbitfield TEXTURE_ATTRIB_MASK = 0x0DE1;

} // namespace

CZelShape::CZelShape()
{
    m_defaultMaterial = new CZelMaterial();
    m_defaultMaterial->setDiffuseColor(1.0f, 1.0f, 1.0f, 1.0f);
    m_defaultMaterial->setAmbientColor(0.5f, 0.5f, 0.5f, 1.0f);
    m_highlightMaterial = new CZelMaterial();
    m_highlightMaterial->setDiffuseColor(1.0f, 0.8f, 0.0f, 1.0f);
    m_highlightMaterial->setAmbientColor(0.6f, 0.6f, 0.0f, 1.0f);
}

bool CZelShape::textureInUse() const
{
    return m_texture && CZelGlobalState::getInstance()->getTextures() && m_texture->isActive();
}

void CZelShape::doBeginTransform()
{
    if (m_useName)
        glLoadName(static_cast<GLuint>(m_selectName));
    glPushMatrix();
    if (m_position[0] != 0.0 || m_position[1] != 0.0 || m_position[2] != 0.0)
        glTranslated(m_position[0], m_position[1], m_position[2]);
    if (m_rotation[0] != 0.0)
        glRotated(m_rotation[0], 1.0, 0.0, 0.0);
    if (m_rotation[1] != 0.0)
        glRotated(m_rotation[1], 0.0, 1.0, 0.0);
    if (m_rotation[2] != 0.0)
        glRotated(m_rotation[2], 0.0, 0.0, 1.0);
    if (m_rotationAngle != 0.0)
        glRotated(m_rotationAngle, m_rotationAxis[0], m_rotationAxis[1], m_rotationAxis[2]);
    if (m_normalize)
        glEnable(GL_NORMALIZE);
    if (m_scale[0] != 0.0 || m_scale[1] != 0.0 || m_scale[2] != 0.0)
        glScaled(m_scale[0], m_scale[1], m_scale[2]);
    m_textureEnabled = textureInUse();
    if (m_textureEnabled) {
        glPushAttrib(TEXTURE_ATTRIB_MASK);
        glEnable(GL_TEXTURE_1D);
        glEnable(GL_TEXTURE_2D);
        if (m_texture->isCreated())
            m_texture->apply();
        else
            m_texture->bind();
    }
}

void CZelShape::doEndTransform()
{
    // Undo what doBeginTransform did, even if a switch changed while drawing.
    if (m_textureEnabled) {
        m_textureEnabled = false;
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_1D);
        glPopAttrib();
    }
    glPopMatrix();
    if (m_normalize)
        glDisable(GL_NORMALIZE);
}

void CZelShape::doCreateMaterial()
{
    if (!CZelGlobalState::getInstance()->getMaterials())
        return;
    CZelMaterial* chosen = nullptr;
    if (getHighlight() == HS_ON)
        chosen = m_highlightMaterial ? m_highlightMaterial.get() : m_material.get();
    else if (m_useMaterial)
        chosen = m_material;
    else if (m_defaultMaterialOff == 0)
        chosen = m_defaultMaterial ? m_defaultMaterial.get() : m_material.get();
    if (chosen)
        chosen->render();
}

void CZelShape::setPosition(const CZelVec3d& position)
{
    setPosition(position.x(), position.y(), position.z());
}

void CZelShape::setPosition(CZelShape* other)
{
    double x = 0.0, y = 0.0, z = 0.0;
    other->getPosition(x, y, z);
    setPosition(x, y, z);
}

void CZelShape::setPosition(double x, double y, double z)
{
    m_position[0] = x;
    m_position[1] = y;
    m_position[2] = z;
}

CZelVec3d& CZelShape::getPosition()
{
    CZelVec3d& v = getTempVec3d();
    v.setComponents(m_position);
    return v;
}

void CZelShape::getPosition(CZelVec3d& position)
{
    position.setComponents(m_position);
}

void CZelShape::copyPositionTo(CZelShape* other)
{
    other->setPosition(m_position[0], m_position[1], m_position[2]);
}

void CZelShape::getPosition(double& x, double& y, double& z)
{
    x = m_position[0];
    y = m_position[1];
    z = m_position[2];
}

void CZelShape::setScale(double sx, double sy, double sz)
{
    m_scale[0] = sx;
    m_scale[1] = sy;
    m_scale[2] = sz;
}

void CZelShape::getScale(double& sx, double& sy, double& sz) const
{
    sx = m_scale[0];
    sy = m_scale[1];
    sz = m_scale[2];
}

void CZelShape::setRotation(double ax, double ay, double az)
{
    m_rotation[0] = ax;
    m_rotation[1] = ay;
    m_rotation[2] = az;
}

void CZelShape::getRotation(double& ax, double& ay, double& az) const
{
    ax = m_rotation[0];
    ay = m_rotation[1];
    az = m_rotation[2];
}

void CZelShape::setRotationAxis(double x, double y, double z, double angle)
{
    m_rotationAxis[0] = x;
    m_rotationAxis[1] = y;
    m_rotationAxis[2] = z;
    m_rotationAngle = angle;
}

void CZelShape::getRotationAxis(double& x, double& y, double& z, double& angle) const
{
    x = m_rotationAxis[0];
    y = m_rotationAxis[1];
    z = m_rotationAxis[2];
    angle = m_rotationAngle;
}
