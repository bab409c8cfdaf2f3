#pragma once

// Area integrals of an element or a section, taken about the origin:
// area, first moments (sx = int y, sy = int x), second moments
// (ixx = int y^2, iyy = int x^2, ixy = int x*y) and the third-order
// ixxy = int x*y^2 and ixxx = int y^3.
class VelboAreaProperties {
public:
    VelboAreaProperties() = default;
    VelboAreaProperties(const VelboAreaProperties& other) = default;
    VelboAreaProperties& operator=(const VelboAreaProperties& other) = default;

    VelboAreaProperties& operator+=(const VelboAreaProperties& other);
    // Not const on purpose: a const member would make a + b ambiguous with
    // the free operator+ below. Const records reach the free one.
    VelboAreaProperties operator+(const VelboAreaProperties& other);
    // Scales area, first and second moments; the third-order ones are 0.
    VelboAreaProperties operator*(float v) const;

    double area() const { return m_area; }
    double sx() const { return m_sx; }
    double sy() const { return m_sy; }
    double ixx() const { return m_ixx; }
    double iyy() const { return m_iyy; }
    double ixy() const { return m_ixy; }
    double ixxy() const { return m_ixxy; }
    double ixxx() const { return m_ixxx; }

    void setArea(double v) { m_area = v; }
    void setSx(double v) { m_sx = v; }
    void setSy(double v) { m_sy = v; }
    void setIxx(double v) { m_ixx = v; }
    void setIyy(double v) { m_iyy = v; }
    void setIxy(double v) { m_ixy = v; }
    void setIxxy(double v) { m_ixxy = v; }
    void setIxxx(double v) { m_ixxx = v; }

private:
    double m_area = 0.0;
    double m_sx = 0.0;
    double m_sy = 0.0;
    double m_ixx = 0.0;
    double m_iyy = 0.0;
    double m_ixy = 0.0;
    double m_ixxy = 0.0;
    double m_ixxx = 0.0;
};

VelboAreaProperties operator+(const VelboAreaProperties& p1, const VelboAreaProperties& p2);
