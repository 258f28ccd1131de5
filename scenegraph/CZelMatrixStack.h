// A 32-level stack of matrices with translate and rotate, for walking the
// scene without OpenGL (culling).
#pragma once

#include "CZelMat4d.h"

class CZelMatrixStack : public CZelMathBase
{
    ZEL_DECLARE_CLASS(CZelMatrixStack, CZelMathBase)
public:
    static constexpr int MAX_DEPTH = 31;

    CZelMatrixStack();

    // At the deepest level a push is ignored; at depth 0 a pop is ignored.
    void push();
    void pop();
    void translate(double x, double y, double z);
    // Angle in degrees, about the axis (x, y, z) taken as a unit vector, as glRotated.
    void rotate(double x, double y, double z, double angle);

    int getDepth() const { return m_depth; }
    CZelMat4d& getTop() { return m_stack[m_depth]; }
    const CZelMat4d& getTop() const { return m_stack[m_depth]; }

private:
    CZelMat4d m_stack[MAX_DEPTH + 1];
    int m_depth = 0;
    CZelMat4d m_translation;
    CZelMat4d m_rotation;
};
