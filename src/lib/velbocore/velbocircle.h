#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "velbocore/velbosectionelement.h"

// Point element of a section (a reinforcing bar): a centre node and a
// radius. The centre node is shared with copies. It is not owned when set
// with setCenter or setNode; a node given with shareCenter, or created by
// setCenterNode or ownCenter, is held by every circle sharing it and lives
// as long as the last of them.
//
// A node given with shareCenter is filed under its id by whoever gave it (the
// modeller's node map): while the circle it was given to lives, writing the
// centre through that circle or any copy of it moves the node but keeps its id.
class VelboCircle : public VelboSectionElement {
public:
    explicit VelboCircle(int id = 0);
    VelboCircle(const VelboCircle& other);
    VelboCircle& operator=(const VelboCircle& other);
    bool operator==(const VelboCircle& other) const;
    ~VelboCircle() override;

    // Deep copy: new centre node, same id, law and radius.
    VelboCircle* copy() const;

    std::string typeNameOfStruObject() const override;
    // Same id, radius and law; shares the centre node.
    VelboCircle* clone() const override;

    VelboNode2D* center() const { return m_center; }
    // A centre the circle does not own.
    VelboCircle* setCenter(VelboNode2D* center);
    // A centre owned together with its other holders (this circle's copies
    // included), filed under its id by the one that gives it.
    VelboCircle* shareCenter(const std::shared_ptr<VelboNode2D>& center);
    // Replaces the centre by a copy held by this circle (and its later
    // copies) alone; nothing when there is no centre.
    VelboCircle* ownCenter();
    // Whether writing the centre keeps the node's id (see above).
    bool centerIdKept() const { return !m_centerFiledBy.expired(); }
    // Copy of the centre node; VelboNode2D() when there is none.
    VelboNode2D getNodeCenter() const;
    // Assigns into the shared centre node (creates one when there is none);
    // a filed node keeps its id.
    void setCenterNode(const VelboNode2D& center);

    double radius() const { return m_radius; }
    VelboCircle* setRadius(double radius);
    void setRadiusNC(double radius) { m_radius = radius; }
    double& rRadius() { return m_radius; }

    VelboCircle* nextCircle() const { return m_nextCircle; }
    VelboCircle* beforeCircle() const { return m_beforeCircle; }
    void setNextCircle(VelboCircle* nextCircle) { m_nextCircle = nextCircle; }
    void setBeforeCircle(VelboCircle* beforeCircle) { m_beforeCircle = beforeCircle; }

    VelboNode2D* nodeAt(int i) const override;
    int sizeOfNodes() const override;
    bool setNode(VelboNode2D* node, int i) override;
    VelboEdge2D* edgeAt(int i) const override;
    int sizeOfEdges() const override;
    bool elementIsSolid() const override;
    double elementCalcArea() const override;
    VelboNode2D elementCalcBarycenter() const override;
    VelboAreaProperties elementCalcAreaProperties() const override;
    double elementYtop() const override;
    double elementYbot() const override;
    VelboMesh* meshMake() override;
    VelboSectionForces elementForcesByLaw(const FuncLinear& planeStrain) const override;
    int typeOfStruElement() const override;

    static unsigned int instances();
    static void* operator new(std::size_t size);
    static void operator delete(void* p);

private:
    VelboNode2D* m_center;
    double m_radius;
    VelboCircle* m_nextCircle;
    VelboCircle* m_beforeCircle;
    // Keeps m_center alive when the circle shares its ownership; null otherwise.
    std::shared_ptr<VelboNode2D> m_heldCenter;
    // Lives as long as the circle that was given a filed centre by shareCenter
    // (null in every other circle); m_centerFiledBy refers to it from that
    // circle and from all its copies.
    std::shared_ptr<const bool> m_centerFiling;
    std::weak_ptr<const bool> m_centerFiledBy;

    static unsigned int m_instances;
};
