#pragma once

#include <vector>

class VelboSectionForces;
class XVertexGrid;

// The points (Fz, Mx, My) of an ultimate interaction domain, grouped direction
// by direction, each group running along one strain path. Owns its points.
class VelboInteractionPoints
{
public:
    VelboInteractionPoints();
    VelboInteractionPoints(int size, unsigned int ratioDivision);
    // Takes every point of `points`, in slot order, with the bounds that
    // inserting them in that order gives; `points` is left empty.
    VelboInteractionPoints(std::vector<VelboSectionForces*>&& points, unsigned int ratioDivision);
    ~VelboInteractionPoints();

    VelboInteractionPoints(VelboInteractionPoints const&) = delete;
    VelboInteractionPoints& operator=(VelboInteractionPoints const&) = delete;

    void interactionPointsDestroy();
    int interactionPointsSize() const;

    void interactionPointsInsertAt(int i, VelboSectionForces* point);
    void interactionPointsPushBack(VelboSectionForces* point);
    VelboSectionForces* interactionPointAt(int i) const;

    std::vector<double> interactionPointsFzToVector() const;
    std::vector<double> interactionPointsMxToVector() const;
    std::vector<double> interactionPointsMyToVector() const;

    // New grid (x = Fz, y = Mx, z = My) owned by the caller, or null.
    XVertexGrid* interactionPointsGrid() const;

    unsigned int ratioDivision() const { return m_ratioDivision; }
    void setRatioDivision(unsigned int ratioDivision) { m_ratioDivision = ratioDivision; }

    double getFzMin() const { return m_fzMin; }
    double getFzMax() const { return m_fzMax; }
    double getMxMin() const { return m_mxMin; }
    double getMxMax() const { return m_mxMax; }
    double getMyMin() const { return m_myMin; }
    double getMyMax() const { return m_myMax; }

    static unsigned int instances();

private:
    void m_updateBounding(double fz, double mx, double my);
    void m_deletePoints();

    std::vector<VelboSectionForces*> m_vForces;
    double m_fzMin;
    double m_fzMax;
    double m_mxMin;
    double m_mxMax;
    double m_myMin;
    double m_myMax;
    unsigned int m_ratioDivision;

    static unsigned int m_instances;
};
