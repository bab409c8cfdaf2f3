#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "velbocore/velbosectionobj.h"

// A point of the section with its current coordinates, a saved copy of
// them and the two links of a mesh's node chain (not owned).
class VelboNode2D : public VelboSectionObj {
public:
    explicit VelboNode2D(int id = 0);
    VelboNode2D(double x, double y, int id = 0);
    VelboNode2D(const VelboNode2D& other);
    VelboNode2D& operator=(const VelboNode2D& other);
    bool operator==(const VelboNode2D& other) const;

    int typeOfStruObject() const override;
    std::string typeNameOfStruObject() const override;
    VelboNode2D* clone() const override;
    virtual ~VelboNode2D();

    double xn() const { return m_x; }
    double yn() const { return m_y; }
    void setXn(double x);
    void setYn(double y);
    // Writable current coordinates; the saved copy is left alone.
    double& rXn() { return m_x; }
    double& rYn() { return m_y; }

    void setNextNode(VelboNode2D* next) { m_next = next; }
    void setBeforeNode(VelboNode2D* before) { m_before = before; }
    VelboNode2D* getNextNode() const { return m_next; }
    VelboNode2D* getBeforeNode() const { return m_before; }

    double measureDistanceFrom(const VelboNode2D* from) const;
    static double measureDistanceFromNodes(const VelboNode2D* from, const VelboNode2D* to);

    void nodeTranslate(const VelboNode2D& toPoint, const VelboNode2D& basePoint);
    void nodeTranslate(double deltaX, double deltaY);
    void nodeRotate(double degree);
    void nodeRotate(double degree, const VelboNode2D& basePoint);
    void nodeRestoreGeometry();
    void nodeSavingGeometry();

    static unsigned int instances();
    static void* operator new(std::size_t size);
    static void operator delete(void* p);

private:
    void m_rotate(double degree, double& x, double& y) const;

    double m_x;
    double m_y;
    double m_x_cache;
    double m_y_cache;
    VelboNode2D* m_next;
    VelboNode2D* m_before;

    static unsigned int m_instances;
};

std::ostream& operator<<(std::ostream& os, const VelboNode2D& obj);
