#pragma once

#include <vector>

// Surface of R x S vertices in single precision. Vertex (r, s) has the index
// r + s*R. Cuts with a plane of constant x, y or z give the outline of the
// surface in that plane as a triangle-fan polygon: the centre, the crossing
// points by increasing polar angle about it, then the first crossing again.
class XVertexGrid
{
public:
    enum DirPlane {
        dp_YZ = 0,  // constant x
        dp_XZ = 1,  // constant y
        dp_XY = 2   // constant z
    };

    XVertexGrid(unsigned int divisionR, unsigned int divisionS);
    ~XVertexGrid();

    // Whether a double has a single-precision value: a finite one within the
    // float range, not-a-number or an infinity. Converting any other double
    // to float is undefined.
    static bool fitsFloat(double value);

    // Stores vertex index (below R*S; any other index is refused with false).
    bool dataInsertAt(unsigned int index, float dataX, float dataY, float dataZ);
    // Value at a flat position of the coordinates; not-a-number past the end.
    float valueAt(unsigned int index) const;
    const float* toVertex() const { return m_coordsXYZ.data(); }
    unsigned int countVertex() const { return m_divisionR * m_divisionS; }
    unsigned int indexLinear(unsigned int indexR, unsigned int indexS) const
    {
        return indexR + indexS * m_divisionR;
    }
    unsigned int divisionR() const { return m_divisionR; }
    unsigned int divisionS() const { return m_divisionS; }

    // Each rebuilds its list and returns its first entry.
    const unsigned int* toIndexRdir();
    const unsigned int* toIndexSdir();
    const unsigned int* toIndexQuadStrip();
    unsigned int countIndexQuadStrip() const;

    // A value on a bound of its coordinate crosses nothing: the cut then gives
    // the distinct vertices that lie on the plane, or fails when there is none.
    bool toVertexIntersecXdir(float xSlice, unsigned int* nb, bool reord);
    bool toVertexIntersecYdir(float ySlice, unsigned int* nb, bool reord);
    bool toVertexIntersecZdir(float zSlice, unsigned int* nb, bool reord);
    std::vector<float> vertexIntersecXdir() const { return m_intersectXDir; }
    std::vector<float> vertexIntersecYdir() const { return m_intersectYDir; }
    std::vector<float> vertexIntersecZdir() const { return m_intersectZDir; }

    float sliceX_minY() const { return m_sliceX_minY; }
    float sliceX_minZ() const { return m_sliceX_minZ; }
    float sliceX_maxY() const { return m_sliceX_maxY; }
    float sliceX_maxZ() const { return m_sliceX_maxZ; }
    float sliceY_minX() const { return m_sliceY_minX; }
    float sliceY_minZ() const { return m_sliceY_minZ; }
    float sliceY_maxX() const { return m_sliceY_maxX; }
    float sliceY_maxZ() const { return m_sliceY_maxZ; }
    float sliceZ_minX() const { return m_sliceZ_minX; }
    float sliceZ_minY() const { return m_sliceZ_minY; }
    float sliceZ_maxX() const { return m_sliceZ_maxX; }
    float sliceZ_maxY() const { return m_sliceZ_maxY; }
    float sliceX_oY() const { return m_sliceX_oY; }
    float sliceX_oZ() const { return m_sliceX_oZ; }
    float sliceY_oX() const { return m_sliceY_oX; }
    float sliceY_oZ() const { return m_sliceY_oZ; }
    float sliceZ_oX() const { return m_sliceZ_oX; }
    float sliceZ_oY() const { return m_sliceZ_oY; }

    // Checks a point against the outline in the plane through it, along the
    // line from the origin of the free coordinates through the point.
    bool checkXdir(float x, float y, float z, float* checkMin, float* checkMax, bool* check) const;
    bool checkYdir(float x, float y, float z, float* checkMin, float* checkMax, bool* check) const;
    bool checkZdir(float x, float y, float z, float* checkMin, float* checkMax, bool* check) const;

    // Outline in a plane as two lists of free coordinates; null outputs are skipped.
    bool gridIntersect(DirPlane dirPlane, float slice1,
                       std::vector<double>& coord2, std::vector<double>& coord3,
                       float* min2, float* max2, float* min3, float* max3,
                       float* o2, float* o3, unsigned int* nb) const;

    void calCentroid(float* point3D, float scaleX, float scaleY, float scaleZ) const;
    void calBounding(float* bounding, float* scaleX, float* scaleY, float* scaleZ) const;
    static void calBoundingCentroid(float* point3D, const float* bounding,
                                    float scaleX, float scaleY, float scaleZ);
    static float calBoundingRadius(const float* bounding, float scaleX, float scaleY, float scaleZ);

private:
    bool m_planeIintersect(DirPlane dirPlane, float slice1, std::vector<float>& points,
                           float* min2, float* max2, float* min3, float* max3,
                           float* o2, float* o3, unsigned int* nb) const;
    bool m_reorgVertex(std::vector<float>& vec, DirPlane dirPlane, float o1, float o2,
                       unsigned int offsetStart, unsigned int offsetEnd) const;
    float m_angle(float p1, float p2, float o1, float o2) const;
    float m_ord(float p1, float p2, float o1, float o2, float r1, float r2) const;

    bool m_intersect(float p1, float p2, float q1, float q2,
                     float r1, float r2, float s1, float s2) const;
    bool m_intersect1(float p1, float p2, float q1, float q2,
                      float r1, float r2, float s1, float s2) const;
    bool m_intersection(float* t, float p1, float p2, float q1, float q2,
                        float r1, float r2, float s1, float s2) const;
    bool m_intersectLine(const std::vector<float>& vec, DirPlane dirPlane, float coord1, float coord2,
                         float* intersection11, float* intersection12,
                         float* intersection21, float* intersection22) const;

    // The vertices of the walked segments that lie on the plane, each
    // distinct point once, and the last vertex where the end of the first
    // line, which it repeats, is off the plane; with the ranges (widened
    // from 0, as the walk's) and the mean of their free coordinates.
    void m_planeVertices(DirPlane dirPlane, float slice1, std::vector<float>& points,
                         float* min2, float* max2, float* min3, float* max3,
                         float* o2, float* o3, unsigned int* nb) const;
    float m_boundMin(unsigned int axis) const;
    float m_boundMax(unsigned int axis) const;
    bool m_isBound(unsigned int axis, float value) const;

    // Shared body of the three cuts.
    bool m_cut(DirPlane dirPlane, float slice, std::vector<float>& polygon,
               float* min2, float* max2, float* min3, float* max3, float* o2, float* o3,
               unsigned int* nb, bool reord) const;
    // Shared body of the three point checks.
    bool m_check(DirPlane dirPlane, float x, float y, float z,
                 float* checkMin, float* checkMax, bool* check) const;

    std::vector<float> m_coordsXYZ;
    std::vector<unsigned int> m_indexRdir;
    std::vector<unsigned int> m_indexSdir;
    std::vector<unsigned int> m_indexQuadStrip;
    unsigned int m_divisionR;
    unsigned int m_divisionS;
    float m_minX;
    float m_minY;
    float m_minZ;
    float m_maxX;
    float m_maxY;
    float m_maxZ;

    float m_sliceX;
    float m_sliceX_minY;
    float m_sliceX_minZ;
    float m_sliceX_maxY;
    float m_sliceX_maxZ;
    float m_sliceX_oY;
    float m_sliceX_oZ;
    std::vector<float> m_intersectXDir;

    float m_sliceY;
    float m_sliceY_minX;
    float m_sliceY_minZ;
    float m_sliceY_maxX;
    float m_sliceY_maxZ;
    float m_sliceY_oX;
    float m_sliceY_oZ;
    std::vector<float> m_intersectYDir;

    float m_sliceZ;
    float m_sliceZ_minX;
    float m_sliceZ_minY;
    float m_sliceZ_maxX;
    float m_sliceZ_maxY;
    float m_sliceZ_oX;
    float m_sliceZ_oY;
    std::vector<float> m_intersectZDir;

    bool m_divisionUnknown;
};
