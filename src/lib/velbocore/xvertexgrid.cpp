#include "velbocore/xvertexgrid.h"

#include <cmath>
#include <iostream>
#include <limits>
#include <utility>

// Positions inside a vertex triple of the cut coordinate and of the two free
// coordinates of a plane, the free ones in x, y, z order.
struct PlaneAxes
{
    unsigned int cut;
    unsigned int first;
    unsigned int second;
};

static PlaneAxes planeAxes(XVertexGrid::DirPlane dirPlane)
{
    switch (dirPlane) {
    case XVertexGrid::dp_XZ:
        return {1, 0, 2};
    case XVertexGrid::dp_XY:
        return {2, 0, 1};
    case XVertexGrid::dp_YZ:
    default:
        return {0, 1, 2};
    }
}

static const float kHalfPi = static_cast<float>(1.5707963267948966);
static const float kPi = static_cast<float>(3.141592653589793);
static const float kThreeHalfPi = static_cast<float>(4.71238898038469);
static const unsigned int kMaxSortPasses = 100000;

XVertexGrid::XVertexGrid(unsigned int divisionR, unsigned int divisionS)
    : m_divisionR(divisionR), m_divisionS(divisionS),
      m_minX(0.0f), m_minY(0.0f), m_minZ(0.0f),
      m_maxX(0.0f), m_maxY(0.0f), m_maxZ(0.0f),
      m_sliceX(0.0f), m_sliceX_minY(0.0f), m_sliceX_minZ(0.0f),
      m_sliceX_maxY(0.0f), m_sliceX_maxZ(0.0f), m_sliceX_oY(0.0f), m_sliceX_oZ(0.0f),
      m_sliceY(0.0f), m_sliceY_minX(0.0f), m_sliceY_minZ(0.0f),
      m_sliceY_maxX(0.0f), m_sliceY_maxZ(0.0f), m_sliceY_oX(0.0f), m_sliceY_oZ(0.0f),
      m_sliceZ(0.0f), m_sliceZ_minX(0.0f), m_sliceZ_minY(0.0f),
      m_sliceZ_maxX(0.0f), m_sliceZ_maxY(0.0f), m_sliceZ_oX(0.0f), m_sliceZ_oY(0.0f),
      m_divisionUnknown(divisionR == 0 || divisionS == 0)
{
    if (!m_divisionUnknown)
        m_coordsXYZ.assign(3u * static_cast<std::size_t>(divisionR) * divisionS, 0.0f);
}

XVertexGrid::~XVertexGrid() = default;

bool XVertexGrid::fitsFloat(double value)
{
    const double largest = std::numeric_limits<float>::max();
    return !std::isfinite(value) || std::fabs(value) <= largest;
}

float XVertexGrid::valueAt(unsigned int index) const
{
    if (index >= m_coordsXYZ.size())
        return std::numeric_limits<float>::quiet_NaN();
    return m_coordsXYZ[index];
}

bool XVertexGrid::dataInsertAt(unsigned int index, float dataX, float dataY, float dataZ)
{
    // An index outside the grid would write past the vertex storage.
    if (index >= countVertex())
        return false;
    const std::size_t base = 3u * static_cast<std::size_t>(index);
    m_coordsXYZ[base] = dataX;
    m_coordsXYZ[base + 1] = dataY;
    m_coordsXYZ[base + 2] = dataZ;

    if (dataX < m_minX) m_minX = dataX;
    if (dataX > m_maxX) m_maxX = dataX;
    if (dataY < m_minY) m_minY = dataY;
    if (dataY > m_maxY) m_maxY = dataY;
    if (dataZ < m_minZ) m_minZ = dataZ;
    if (dataZ > m_maxZ) m_maxZ = dataZ;
    return true;
}

const unsigned int* XVertexGrid::toIndexRdir()
{
    m_indexRdir.clear();
    m_indexRdir.reserve(countVertex());
    for (unsigned int s = 0; s < m_divisionS; ++s)
        for (unsigned int r = 0; r < m_divisionR; ++r)
            m_indexRdir.push_back(indexLinear(r, s));
    return m_indexRdir.data();
}

const unsigned int* XVertexGrid::toIndexSdir()
{
    m_indexSdir.clear();
    m_indexSdir.reserve(countVertex());
    for (unsigned int r = 0; r < m_divisionR; ++r)
        for (unsigned int s = 0; s < m_divisionS; ++s)
            m_indexSdir.push_back(indexLinear(r, s));
    return m_indexSdir.data();
}

const unsigned int* XVertexGrid::toIndexQuadStrip()
{
    m_indexQuadStrip.clear();
    m_indexQuadStrip.reserve(countIndexQuadStrip());
    for (unsigned int s = 0; s + 1 < m_divisionS; ++s)
        for (unsigned int r = 0; r < m_divisionR; ++r) {
            m_indexQuadStrip.push_back(indexLinear(r, s));
            m_indexQuadStrip.push_back(indexLinear(r, s + 1));
        }
    return m_indexQuadStrip.data();
}

unsigned int XVertexGrid::countIndexQuadStrip() const
{
    if (m_divisionS == 0)
        return 0;
    return (m_divisionS - 1) * m_divisionR * 2;
}

bool XVertexGrid::toVertexIntersecXdir(float xSlice, unsigned int* nb, bool reord)
{
    m_sliceX_minY = m_sliceX_minZ = m_sliceX_maxY = m_sliceX_maxZ = 0.0f;
    m_sliceX = xSlice;
    m_intersectXDir.clear();
    m_intersectXDir.insert(m_intersectXDir.end(), 3, 0.0f);

    // Written so that a value that is not a number fails too.
    if (!(m_minX <= xSlice && xSlice <= m_maxX)) {
        if (nb != nullptr)
            *nb = 0;
        std::cerr << "xSlice < m_minX || xSlice > m_maxX " << "xSlice=(" << xSlice
                  << ") m_minX=(" << m_minX << ") m_maxX=(" << m_maxX << ")\n";
        return false;
    }
    return m_cut(dp_YZ, xSlice, m_intersectXDir,
                 &m_sliceX_minY, &m_sliceX_maxY, &m_sliceX_minZ, &m_sliceX_maxZ,
                 &m_sliceX_oY, &m_sliceX_oZ, nb, reord);
}

bool XVertexGrid::toVertexIntersecYdir(float ySlice, unsigned int* nb, bool reord)
{
    m_sliceY_minX = m_sliceY_minZ = m_sliceY_maxX = m_sliceY_maxZ = 0.0f;
    m_sliceY = ySlice;
    m_intersectYDir.clear();

    // Written so that a value that is not a number fails too.
    if (!(m_minY <= ySlice && ySlice <= m_maxY)) {
        if (nb != nullptr)
            *nb = 0;
        std::cerr << "ySlice < m_minY || ySlice > m_maxY " << "ySlice=(" << ySlice
                  << ") m_minY=(" << m_minY << ") m_maxY=(" << m_maxY << ")\n";
        return false;
    }
    // The Y cut sets its centre placeholder only once the value is in range.
    m_intersectYDir.insert(m_intersectYDir.end(), 3, 0.0f);
    return m_cut(dp_XZ, ySlice, m_intersectYDir,
                 &m_sliceY_minX, &m_sliceY_maxX, &m_sliceY_minZ, &m_sliceY_maxZ,
                 &m_sliceY_oX, &m_sliceY_oZ, nb, reord);
}

bool XVertexGrid::toVertexIntersecZdir(float zSlice, unsigned int* nb, bool reord)
{
    m_sliceZ_minX = m_sliceZ_minY = m_sliceZ_maxX = m_sliceZ_maxY = 0.0f;
    m_sliceZ = zSlice;
    m_intersectZDir.clear();
    m_intersectZDir.insert(m_intersectZDir.end(), 3, 0.0f);

    // Written so that a value that is not a number fails too.
    if (!(m_minZ <= zSlice && zSlice <= m_maxZ)) {
        if (nb != nullptr)
            *nb = 0;
        std::cerr << "zSlice < m_minZ || zSlice > m_maxZ " << "zSlice=(" << zSlice
                  << ") m_minZ=(" << m_minZ << ") m_maxZ=(" << m_maxZ << ")\n";
        return false;
    }
    return m_cut(dp_XY, zSlice, m_intersectZDir,
                 &m_sliceZ_minX, &m_sliceZ_maxX, &m_sliceZ_minY, &m_sliceZ_maxY,
                 &m_sliceZ_oX, &m_sliceZ_oY, nb, reord);
}

bool XVertexGrid::m_cut(DirPlane dirPlane, float slice, std::vector<float>& polygon,
                        float* min2, float* max2, float* min3, float* max3, float* o2, float* o3,
                        unsigned int* nb, bool reord) const
{
    // polygon holds the centre placeholder; the crossings follow it.
    const bool walked = m_planeIintersect(dirPlane, slice, polygon, min2, max2, min3, max3, o2, o3, nb);
    const PlaneAxes axes = planeAxes(dirPlane);
    // On a bound of the cut coordinate no segment crosses the plane strictly:
    // the outline there is made of the vertices that lie on it.
    if (walked && polygon.size() == 3 && m_isBound(axes.cut, slice)) {
        m_planeVertices(dirPlane, slice, polygon, min2, max2, min3, max3, o2, o3, nb);
        if (polygon.size() == 3) {
            polygon.clear();
            if (nb != nullptr)
                *nb = 0;
            const char axis = "xyz"[axes.cut];
            const char bound = "XYZ"[axes.cut];
            std::cerr << axis << "Slice on a bound with no vertex on it " << axis << "Slice=(" << slice
                      << ") m_min" << bound << "=(" << m_boundMin(axes.cut) << ") m_max" << bound << "=("
                      << m_boundMax(axes.cut) << ")\n";
            return false;
        }
    }
    if (reord)
        m_reorgVertex(polygon, dirPlane, *o2, *o3, 1, 0);

    polygon[axes.cut] = slice;
    polygon[axes.first] = *o2;
    polygon[axes.second] = *o3;

    if (polygon.size() > 5) {
        // Close the ring with the first crossing point.
        const float c0 = polygon[3];
        const float c1 = polygon[4];
        const float c2 = polygon[5];
        polygon.push_back(c0);
        polygon.push_back(c1);
        polygon.push_back(c2);
        if (nb != nullptr)
            *nb += 1;
    }
    return walked;
}

bool XVertexGrid::m_planeIintersect(DirPlane dirPlane, float slice1, std::vector<float>& points,
                                    float* min2, float* max2, float* min3, float* max3,
                                    float* o2, float* o3, unsigned int* nb) const
{
    *min2 = *max2 = *min3 = *max3 = *o2 = *o3 = 0.0f;

    if (m_indexRdir.empty() || m_indexSdir.empty()) {
        if (nb != nullptr)
            *nb = 0;
        std::cerr << "XVertexGrid::m_planeIintersect()-ERR: index lists not built !!!";
        return false;
    }

    const PlaneAxes axes = planeAxes(dirPlane);
    const float v = slice1;
    unsigned int found = 0;

    const auto testSegment = [&](unsigned int first, unsigned int second) {
        const float* p = &m_coordsXYZ[3u * static_cast<std::size_t>(first)];
        const float* q = &m_coordsXYZ[3u * static_cast<std::size_t>(second)];
        const float a = p[axes.cut];
        const float b = q[axes.cut];
        if (!((a - v) * (b - v) < 0.0f))
            return;
        const float t = (v - a) / (b - a);
        const float cross[3] = {(q[0] - p[0]) * t + p[0],
                                (q[1] - p[1]) * t + p[1],
                                (q[2] - p[2]) * t + p[2]};
        const float p2 = cross[axes.first];
        const float p3 = cross[axes.second];
        if (p2 < *min2) *min2 = p2;
        if (p2 > *max2) *max2 = p2;
        if (p3 < *min3) *min3 = p3;
        if (p3 > *max3) *max3 = p3;
        points.insert(points.end(), cross, cross + 3);
        *o2 += p2;
        *o3 += p3;
        ++found;
    };

    const unsigned int divR = m_divisionR;
    const unsigned int divS = m_divisionS;
    // Along the second direction; the last line (r = R - 1) is not walked.
    for (unsigned int r = 0; r + 1 < divR; ++r) {
        const unsigned int* line = &m_indexSdir[static_cast<std::size_t>(r) * divS];
        for (unsigned int s = 0; s + 1 < divS; ++s)
            testSegment(line[s], line[s + 1]);
    }
    // Along the first direction; the last line (s = S - 1) is not walked.
    for (unsigned int s = 0; s + 1 < divS; ++s) {
        const unsigned int* line = &m_indexRdir[static_cast<std::size_t>(s) * divR];
        for (unsigned int r = 0; r + 1 < divR; ++r)
            testSegment(line[r], line[r + 1]);
    }

    if (found > 0) {
        *o2 /= static_cast<float>(found);
        *o3 /= static_cast<float>(found);
    }
    if (nb != nullptr)
        *nb = static_cast<unsigned int>(points.size() / 3);
    return true;
}

float XVertexGrid::m_boundMin(unsigned int axis) const
{
    return axis == 0 ? m_minX : axis == 1 ? m_minY : m_minZ;
}

float XVertexGrid::m_boundMax(unsigned int axis) const
{
    return axis == 0 ? m_maxX : axis == 1 ? m_maxY : m_maxZ;
}

bool XVertexGrid::m_isBound(unsigned int axis, float value) const
{
    return value == m_boundMin(axis) || value == m_boundMax(axis);
}

void XVertexGrid::m_planeVertices(DirPlane dirPlane, float slice1, std::vector<float>& points,
                                  float* min2, float* max2, float* min3, float* max3,
                                  float* o2, float* o3, unsigned int* nb) const
{
    *min2 = *max2 = *min3 = *max3 = *o2 = *o3 = 0.0f;

    // The vertices of the walked segments: all but the last one, which lies
    // only on the two lines the walk skips. Nothing is walked on a grid of
    // one line.
    const bool walked = m_divisionR >= 2 && m_divisionS >= 2;
    const unsigned int last = walked ? countVertex() - 1 : 0;
    const PlaneAxes axes = planeAxes(dirPlane);
    const std::size_t start = points.size();
    unsigned int found = 0;
    // Summed in double: the points often differ only in their last bits, and
    // a float sum could put their mean outside them.
    double sum2 = 0.0;
    double sum3 = 0.0;
    const auto onPlane = [&](unsigned int k) {
        return m_coordsXYZ[3u * static_cast<std::size_t>(k) + axes.cut] == slice1;
    };
    const auto take = [&](unsigned int k) {
        const float* p = &m_coordsXYZ[3u * static_cast<std::size_t>(k)];
        // A point that several vertices share (the same state reached in
        // several directions) is taken once.
        bool seen = false;
        for (std::size_t q = start; q < points.size() && !seen; q += 3)
            seen = points[q] == p[0] && points[q + 1] == p[1] && points[q + 2] == p[2];
        if (seen)
            return;
        const float p2 = p[axes.first];
        const float p3 = p[axes.second];
        if (p2 < *min2) *min2 = p2;
        if (p2 > *max2) *max2 = p2;
        if (p3 < *min3) *min3 = p3;
        if (p3 > *max3) *max3 = p3;
        points.insert(points.end(), p, p + 3);
        sum2 += p2;
        sum3 += p3;
        ++found;
    };
    for (unsigned int k = 0; k < last; ++k)
        if (onPlane(k))
            take(k);
    // The last line repeats the first, so the last vertex is the end of the
    // first line (vertex R - 1) up to rounding, which can leave either alone
    // on the plane. It is taken where that end is not on it; where it is,
    // the last vertex would be a near copy of it in the outline.
    if (walked && onPlane(last) && !onPlane(m_divisionR - 1))
        take(last);

    if (found > 0) {
        // The mean of floats lies within their range, so it fits a float.
        *o2 = static_cast<float>(sum2 / found);
        *o3 = static_cast<float>(sum3 / found);
    }
    if (nb != nullptr)
        *nb = static_cast<unsigned int>(points.size() / 3);
}

bool XVertexGrid::m_reorgVertex(std::vector<float>& vec, DirPlane dirPlane, float o1, float o2,
                                unsigned int offsetStart, unsigned int offsetEnd) const
{
    if (vec.empty())
        return false;

    const PlaneAxes axes = planeAxes(dirPlane);
    const std::size_t m = vec.size() / 3;
    const std::size_t begin = offsetStart;
    // Comparisons run over the pairs (i, i + 1) with i + 1 < end.
    const std::size_t end = m >= offsetEnd ? m - offsetEnd : 0;

    // The angle of each triple travels with its coordinates, so it is computed once.
    std::vector<float> angles(m, 0.0f);
    for (std::size_t k = begin; k < end; ++k)
        angles[k] = m_angle(vec[3 * k + axes.first], vec[3 * k + axes.second], o1, o2);

    for (unsigned int pass = 1; pass <= kMaxSortPasses; ++pass) {
        bool swapped = false;
        for (std::size_t i = begin; i + 1 < end; ++i) {
            float* a = &vec[3 * i];
            float* b = &vec[3 * (i + 1)];
            const float angleA = angles[i];
            const float angleB = angles[i + 1];
            const bool swap = angleA > angleB
                || (angleA == angleB
                    && m_ord(o1, o2, a[axes.first], a[axes.second], b[axes.first], b[axes.second]) < 0.0f);
            if (swap) {
                std::swap(a[axes.first], b[axes.first]);
                std::swap(a[axes.second], b[axes.second]);
                std::swap(angles[i], angles[i + 1]);
                swapped = true;
            }
        }
        if (!swapped && pass < kMaxSortPasses)
            return true;
    }
    return false;
}

float XVertexGrid::m_angle(float p1, float p2, float o1, float o2) const
{
    const float u = p1 - o1;
    const float w = p2 - o2;
    const float n = std::sqrt(u * u + w * w);
    const float a = std::acos(u / n);
    const float b = std::asin(w / n);

    if (u > 0.0f && w > 0.0f)
        return a;
    if (u < 0.0f && w > 0.0f)
        return a;
    if (u < 0.0f && w < 0.0f)
        return static_cast<float>(3.141592653589793 - static_cast<double>(b));
    if (u > 0.0f && w < 0.0f)
        return static_cast<float>(2.0 * 3.141592653589793 + static_cast<double>(b));
    if (u == 0.0f && w > 0.0f)
        return kHalfPi;
    if (u == 0.0f && w < 0.0f)
        return kThreeHalfPi;
    if (u > 0.0f && w == 0.0f)
        return 0.0f;
    if (u < 0.0f && w == 0.0f)
        return kPi;
    // The centre itself, or a coordinate that is not a number.
    return kHalfPi;
}

float XVertexGrid::m_ord(float p1, float p2, float o1, float o2, float r1, float r2) const
{
    return (r1 - o1) * (p2 - o2) - (r2 - o2) * (p1 - o1);
}

bool XVertexGrid::m_intersect1(float p1, float p2, float q1, float q2,
                               float r1, float r2, float s1, float s2) const
{
    return m_ord(p1, p2, q1, q2, r1, r2) * m_ord(p1, p2, q1, q2, s1, s2) < 0.0f;
}

bool XVertexGrid::m_intersect(float p1, float p2, float q1, float q2,
                              float r1, float r2, float s1, float s2) const
{
    return m_intersect1(p1, p2, q1, q2, r1, r2, s1, s2)
        && m_ord(s1, s2, r1, r2, p1, p2) * m_ord(s1, s2, r1, r2, q1, q2) < 0.0f;
}

bool XVertexGrid::m_intersection(float* t, float p1, float p2, float q1, float q2,
                                 float r1, float r2, float s1, float s2) const
{
    if (s1 - r1 == 0.0f) {
        *t = (s1 - p1) / (q1 - p1);
    } else {
        const float m = (s2 - r2) / (s1 - r1);
        const float c = r2 - m * r1;
        *t = (m * p1 + (c - p2)) / (m * p1 + ((q2 - p2) - m * q1));
    }
    return true;
}

bool XVertexGrid::m_intersectLine(const std::vector<float>& vec, DirPlane dirPlane,
                                  float coord1, float coord2,
                                  float* intersection11, float* intersection12,
                                  float* intersection21, float* intersection22) const
{
    const PlaneAxes axes = planeAxes(dirPlane);
    const std::size_t m = vec.size() / 3;
    bool first = true;
    for (std::size_t i = 0; i + 1 < m; ++i) {
        const float r1 = vec[3 * i + axes.first];
        const float r2 = vec[3 * i + axes.second];
        const float s1 = vec[3 * (i + 1) + axes.first];
        const float s2 = vec[3 * (i + 1) + axes.second];
        if (!m_intersect1(0.0f, 0.0f, coord1, coord2, r1, r2, s1, s2))
            continue;
        float t = 0.0f;
        m_intersection(&t, 0.0f, 0.0f, coord1, coord2, r1, r2, s1, s2);
        if (first) {
            *intersection11 = t * coord1;
            *intersection12 = t * coord2;
            first = false;
        } else {
            *intersection21 = t * coord1;
            *intersection22 = t * coord2;
            return true;
        }
    }
    return false;
}

bool XVertexGrid::checkXdir(float x, float y, float z, float* checkMin, float* checkMax, bool* check) const
{
    if (m_minX > x || x > m_maxX) {
        *checkMin = *checkMax = 0.0f;
        *check = false;
        return true;
    }
    return m_check(dp_YZ, x, y, z, checkMin, checkMax, check);
}

bool XVertexGrid::checkYdir(float x, float y, float z, float* checkMin, float* checkMax, bool* check) const
{
    if (m_minY > y || y > m_maxY) {
        *checkMin = *checkMax = 0.0f;
        *check = false;
        return true;
    }
    return m_check(dp_XZ, x, y, z, checkMin, checkMax, check);
}

bool XVertexGrid::checkZdir(float x, float y, float z, float* checkMin, float* checkMax, bool* check) const
{
    if (m_minZ > z || z > m_maxZ) {
        *checkMin = *checkMax = 0.0f;
        *check = false;
        return true;
    }
    return m_check(dp_XY, x, y, z, checkMin, checkMax, check);
}

bool XVertexGrid::m_check(DirPlane dirPlane, float x, float y, float z,
                          float* checkMin, float* checkMax, bool* check) const
{
    const float point[3] = {x, y, z};
    const PlaneAxes axes = planeAxes(dirPlane);
    const float slice = point[axes.cut];
    const float pa = point[axes.first];
    const float pb = point[axes.second];

    std::vector<float> ring;
    float min2 = 0.0f, max2 = 0.0f, min3 = 0.0f, max3 = 0.0f, o2 = 0.0f, o3 = 0.0f;
    unsigned int nb = 0;
    float a1 = 0.0f, b1 = 0.0f, a2 = 0.0f, b2 = 0.0f;

    bool ok = m_planeIintersect(dirPlane, slice, ring, &min2, &max2, &min3, &max3, &o2, &o3, &nb);
    if (ok)
        ok = m_reorgVertex(ring, dirPlane, o2, o3, 0, 0);
    if (ok) {
        const float c0 = ring[0];
        const float c1 = ring[1];
        const float c2 = ring[2];
        ring.push_back(c0);
        ring.push_back(c1);
        ring.push_back(c2);
        ok = m_intersectLine(ring, dirPlane, pa, pb, &a1, &b1, &a2, &b2);
    }
    if (!ok) {
        *checkMin = *checkMax = 0.0f;
        *check = false;
        return false;
    }

    *checkMin = std::fmin(a1 / pa, a2 / pa);
    *checkMax = std::fmax(a1 / pa, a2 / pa);
    *check = (std::fmin(a1, a2) < pa && pa < std::fmax(a1, a2))
        || (std::fmin(b1, b2) < pb && pb < std::fmax(b1, b2));
    return true;
}

bool XVertexGrid::gridIntersect(DirPlane dirPlane, float slice1,
                                std::vector<double>& coord2, std::vector<double>& coord3,
                                float* min2, float* max2, float* min3, float* max3,
                                float* o2, float* o3, unsigned int* nb) const
{
    float* const outputs[] = {min2, max2, min3, max3, o2, o3};
    for (float* out : outputs)
        if (out != nullptr)
            *out = 0.0f;
    if (nb != nullptr)
        *nb = 0;

    std::vector<float> points;
    float lmin2 = 0.0f, lmax2 = 0.0f, lmin3 = 0.0f, lmax3 = 0.0f, lo2 = 0.0f, lo3 = 0.0f;
    unsigned int lnb = 0;
    if (!m_planeIintersect(dirPlane, slice1, points, &lmin2, &lmax2, &lmin3, &lmax3, &lo2, &lo3, &lnb))
        return false;
    if (!m_reorgVertex(points, dirPlane, lo2, lo3, 0, 0))
        return false;

    const PlaneAxes axes = planeAxes(dirPlane);
    const std::size_t count = points.size() / 3;
    coord2.assign(count, 0.0);
    coord3.assign(count, 0.0);
    for (std::size_t i = 0; i < count; ++i) {
        coord2[i] = static_cast<double>(points[3 * i + axes.first]);
        coord3[i] = static_cast<double>(points[3 * i + axes.second]);
    }

    const float values[] = {lmin2, lmax2, lmin3, lmax3, lo2, lo3};
    for (std::size_t k = 0; k < 6; ++k)
        if (outputs[k] != nullptr)
            *outputs[k] = values[k];
    if (nb != nullptr)
        *nb = lnb;
    return true;
}

void XVertexGrid::calCentroid(float* point3D, float scaleX, float scaleY, float scaleZ) const
{
    const unsigned int n = countVertex();
    float sumX = 0.0f, sumY = 0.0f, sumZ = 0.0f;
    for (std::size_t k = 0; k < n; ++k) {
        sumX += m_coordsXYZ[3 * k];
        sumY += m_coordsXYZ[3 * k + 1];
        sumZ += m_coordsXYZ[3 * k + 2];
    }
    const float count = static_cast<float>(n);
    point3D[0] = scaleX * sumX / count;
    point3D[1] = scaleY * sumY / count;
    point3D[2] = scaleZ * sumZ / count;
}

void XVertexGrid::calBounding(float* bounding, float* scaleX, float* scaleY, float* scaleZ) const
{
    bounding[0] = m_minX;
    bounding[1] = m_maxX;
    bounding[2] = m_minY;
    bounding[3] = m_maxY;
    bounding[4] = m_minZ;
    bounding[5] = m_maxZ;

    const double lx = static_cast<double>(std::fabs(m_maxX - m_minX));
    const double ly = static_cast<double>(std::fabs(m_maxY - m_minY));
    const double lz = static_cast<double>(std::fabs(m_maxZ - m_minZ));
    const double mean = (lx + ly + lz) / 3.0;
    if (scaleX != nullptr) *scaleX = static_cast<float>(mean / lx);
    if (scaleY != nullptr) *scaleY = static_cast<float>(mean / ly);
    if (scaleZ != nullptr) *scaleZ = static_cast<float>(mean / lz);
}

void XVertexGrid::calBoundingCentroid(float* point3D, const float* bounding,
                                      float scaleX, float scaleY, float scaleZ)
{
    point3D[0] = (bounding[1] + bounding[0]) * scaleX / 2.0f;
    point3D[1] = (bounding[3] + bounding[2]) * scaleY / 2.0f;
    point3D[2] = (bounding[5] + bounding[4]) * scaleZ / 2.0f;
}

float XVertexGrid::calBoundingRadius(const float* bounding, float scaleX, float scaleY, float scaleZ)
{
    const float dx = bounding[1] - bounding[0];
    const float dy = bounding[3] - bounding[2];
    const float dz = bounding[5] - bounding[4];
    const double ex = static_cast<double>(dx) * scaleX;
    const double ey = static_cast<double>(dy) * scaleY;
    const double ez = static_cast<double>(dz) * scaleZ;
    const double sum = ex * ex + ey * ey + ez * ez;
    return static_cast<float>(std::sqrt(sum) / 2.0);
}
