// Indexed vertex geometry drawn in immediate mode: coordinates, colours,
// texture coordinates and normals, with one set of indexes per drawn batch.
#pragma once

#include "CZelIndex.h"
#include "CZelMaterialSet.h"
#include "CZelPointer.h"
#include "CZelShape.h"
#include "CZelVec3d.h"

#include <vector>

class CZelGLPrimitive : public CZelShape
{
    ZEL_DECLARE_CLASS(CZelGLPrimitive, CZelShape)
public:
    struct Color
    {
        float rgba[4];
    };

    // The radius of the box around all coordinates (only when the shape
    // already holds a sphere).
    void doUpdateBoundingSphere() override;
    // Recomputes the face normals of every coordinate index set and, when
    // they are used, the vertex normals.
    void refresh() override;
    // Called with each coordinate index set as it is added (borrowed).
    virtual void doAddCoordIndex(CZelIndex* index) {}
    virtual void calcVertexNormals() {}

    void addCoord(double x, double y, double z);
    // Out-of-range i does nothing.
    void setCoord(int i, double x, double y, double z);
    int getCoordCount() const { return static_cast<int>(m_coords.size()); }
    // Borrowed; null outside the list.
    const CZelVec3d* getCoord(int i) const;
    // Stored as (s, t, 0).
    void addTextureCoord(double s, double t);
    void setTextureCoord(int i, double s, double t);
    int getTextureCoordCount() const { return static_cast<int>(m_textureCoords.size()); }
    // Borrowed, as (s, t, 0); null outside the list.
    const CZelVec3d* getTextureCoord(int i) const;
    void addColor(float r, float g, float b, float a);

    // Each adds a reference to the index set.
    void addCoordIndex(CZelIndex* index);
    void addTextureIndex(CZelIndex* index) { m_textureIndexSets.emplace_back(index); }
    void addColorIndex(CZelIndex* index) { m_colorIndexSets.emplace_back(index); }

    // Empties every list and releases every index set.
    void clear();

    void setUseVertexNormals(bool use) { m_useVertexNormals = use; }
    bool getUseVertexNormals() const { return m_useVertexNormals; }
    void setUseColors(bool use) { m_useColors = use; }
    bool getUseColors() const { return m_useColors; }

    // Borrowed: the primitive keeps its (initially empty) set.
    CZelMaterialSet* getMaterialSet() const { return m_materialSet; }

    int getNormalCount() const { return static_cast<int>(m_normals.size()); }
    // Borrowed; null outside the list.
    const CZelVec3d* getNormal(int i) const;
    const CZelVec3d* getVertexNormal(int i) const;

protected:
    // Entry j of set k of a list of index sets, or -1 when either is missing
    // or the entry is not below limit.
    static int entry(const std::vector<CZelPointer<CZelIndex>>& sets, size_t k, int j, size_t limit);

    bool m_useVertexNormals = false;
    std::vector<CZelVec3d> m_coords;
    std::vector<Color> m_colors;
    std::vector<CZelVec3d> m_normals;
    CZelPointer<CZelMaterialSet> m_materialSet{new CZelMaterialSet()};
    std::vector<CZelVec3d> m_textureCoords;
    std::vector<CZelPointer<CZelIndex>> m_coordIndexSets;
    std::vector<CZelPointer<CZelIndex>> m_colorIndexSets;
    std::vector<CZelPointer<CZelIndex>> m_normalIndexSets;
    std::vector<CZelPointer<CZelIndex>> m_textureIndexSets;
    std::vector<CZelVec3d> m_vertexNormals;
    std::vector<CZelPointer<CZelIndex>> m_vertexFaces;
    bool m_useColors = false;
};
