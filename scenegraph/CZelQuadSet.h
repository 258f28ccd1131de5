// Quads from indexed coordinates, four index entries per quad, lit with one
// normal per quad or with normals averaged per vertex.
#pragma once

#include "CZelGLPrimitive.h"

class CZelQuadSet : public CZelGLPrimitive
{
    ZEL_DECLARE_CLASS(CZelQuadSet, CZelGLPrimitive)
public:
    void doCreateGeometry() override;
    // Adds the face normal of every quad of the set (borrowed) and records
    // the quad at its four vertices.
    void doAddCoordIndex(CZelIndex* index) override;
    // With vertex normals on: the mean of the face normals at every vertex.
    void calcVertexNormals() override;
};
