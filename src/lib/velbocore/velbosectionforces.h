#pragma once

// Force triple of an element or a section: axial force Fz and the moments
// Mx = sum F*y, My = sum F*x about the coordinate origin.
class VelboSectionForces
{
public:
    VelboSectionForces();
    VelboSectionForces(VelboSectionForces const& other);
    ~VelboSectionForces();

    VelboSectionForces& operator=(VelboSectionForces const& other);
    VelboSectionForces& operator+=(VelboSectionForces const& force);

    double fz() const { return m_fz; }
    double mx() const { return m_mx; }
    double my() const { return m_my; }

    void setFz(double fz) { m_fz = fz; }
    void setMx(double mx) { m_mx = mx; }
    void setMy(double my) { m_my = my; }

    // Takes the moments about (odx, ody) instead of the origin.
    void translate(double odx, double ody);
    // Turns (Mx, My) counter-clockwise by odegree degrees.
    void rotate(double odegree);

    static unsigned int instances();

private:
    double m_fz;
    double m_mx;
    double m_my;

    static unsigned int m_instances;
};

VelboSectionForces operator+(VelboSectionForces const& f1, VelboSectionForces const& f2);
