// Base of everything drawable: position, rotations, scale, material, texture,
// selection name and highlight. Subclasses draw by overriding doCreateGeometry.
#pragma once

#include "CZelGLBase.h"
#include "CZelMaterial.h"
#include "CZelPointer.h"
#include "CZelTexture.h"
#include "CZelVec3d.h"

class CZelShape : public CZelGLBase
{
    ZEL_DECLARE_CLASS(CZelShape, CZelGLBase)
public:
    CZelShape();

    void doCreateMaterial() override;
    void doBeginTransform() override;
    void doEndTransform() override;
    virtual void refresh() {}
    virtual void setUseMaterial(int use) { m_useMaterial = use; }
    // Borrowed; null when the shape has no material of its own.
    virtual CZelMaterial* getMaterial() { return m_material; }
    virtual void setPosition(const CZelVec3d& position);
    // Copies the other shape's position.
    virtual void setPosition(CZelShape* other);
    virtual void setPosition(double x, double y, double z);
    // The result is a slot of the temporary-vector ring.
    virtual CZelVec3d& getPosition();
    virtual void getPosition(CZelVec3d& position);
    virtual void copyPositionTo(CZelShape* other);
    virtual void getPosition(double& x, double& y, double& z);

    // Adds a reference to the material; the previous one is released.
    void setMaterial(CZelMaterial* material) { m_material = material; }
    // Adds a reference to the texture; the previous one is released.
    void setTexture(CZelTexture* texture) { m_texture = texture; }
    // Borrowed.
    CZelTexture* getTexture() const { return m_texture; }
    // Borrowed; the shape keeps its own.
    CZelMaterial* getDefaultMaterial() const { return m_defaultMaterial; }
    CZelMaterial* getHighlightMaterial() const { return m_highlightMaterial; }
    // Adds a reference; null means no material while highlighted.
    void setHighlightMaterial(CZelMaterial* material) { m_highlightMaterial = material; }
    void setDefaultMaterial(CZelMaterial* material) { m_defaultMaterial = material; }
    int getUseMaterial() const { return m_useMaterial; }
    void setDefaultMaterialOff(int off) { m_defaultMaterialOff = off; }
    int getDefaultMaterialOff() const { return m_defaultMaterialOff; }

    // (0, 0, 0) means no scaling at all.
    void setScale(double sx, double sy, double sz);
    void getScale(double& sx, double& sy, double& sz) const;
    // Angles in degrees about X, Y and Z, applied in that order.
    void setRotation(double ax, double ay, double az);
    void getRotation(double& ax, double& ay, double& az) const;
    // A free rotation in degrees about the given axis, after the three above.
    void setRotationAxis(double x, double y, double z, double angle);
    void getRotationAxis(double& x, double& y, double& z, double& angle) const;
    void setNormalize(bool on) { m_normalize = on; }
    bool getNormalize() const { return m_normalize; }
    void setUseName(bool use) { m_useName = use; }
    bool getUseName() const { return m_useName != 0; }
    void setSelectName(int name) { m_selectName = name; }
    int getSelectName() const { return m_selectName; }

private:
    bool textureInUse() const;

    int m_useName = 1;
    int m_useMaterial = 1;
    int m_defaultMaterialOff = 0;
    CZelPointer<CZelMaterial> m_defaultMaterial;
    CZelPointer<CZelMaterial> m_highlightMaterial;
    int m_selectName = 999999;
    double m_position[3] = {0.0, 0.0, 0.0};
    double m_scale[3] = {1.0, 1.0, 1.0};
    double m_rotation[3] = {0.0, 0.0, 0.0};
    double m_rotationAxis[3] = {0.0, 1.0, 0.0};
    double m_rotationAngle = 0.0;
    CZelPointer<CZelMaterial> m_material;
    CZelPointer<CZelTexture> m_texture;
    bool m_normalize = false;
    bool m_textureEnabled = false;
};
