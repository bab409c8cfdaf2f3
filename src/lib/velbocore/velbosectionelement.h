#pragma once

#include <string>

#include "velbocore/velboareaproperties.h"
#include "velbocore/velboglobal.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velbosectionobj.h"

class FuncLinear;
class VelboCostitutiveLaw;
class VelboEdge2D;
class VelboMesh;
class VelboSectionForces;

// Abstract base of the section elements (triangles and circles). It keeps
// the law, the entry into the half-edge ring, the current mesh and two
// element links; none of them is owned.
class VelboSectionElement : public VelboSectionObj {
public:
    explicit VelboSectionElement(int id);

    int typeOfStruObject() const override;
    std::string typeNameOfStruObject() const override = 0;
    VelboSectionElement* clone() const override = 0;
    virtual ~VelboSectionElement();

    virtual VelboNode2D* nodeAt(int i) const = 0;
    virtual int sizeOfNodes() const = 0;
    virtual bool setNode(VelboNode2D* node, int i) = 0;
    virtual VelboEdge2D* edgeAt(int i) const = 0;
    virtual int sizeOfEdges() const = 0;
    virtual bool elementIsSolid() const = 0;
    virtual double elementCalcArea() const = 0;
    virtual VelboNode2D elementCalcBarycenter() const = 0;
    virtual VelboAreaProperties elementCalcAreaProperties() const = 0;
    // Smallest y of the element (the top side of a section).
    virtual double elementYtop() const = 0;
    // Largest y of the element.
    virtual double elementYbot() const = 0;
    virtual VelboMesh* meshMake();
    virtual VelboSectionForces elementForcesByLaw(const FuncLinear& planeStrain) const = 0;
    virtual int typeOfStruElement() const = 0;

    void setCostitutiveLaw(const VelboCostitutiveLaw* law) { m_law = law; }
    const VelboCostitutiveLaw* getCostitutiveLaw() const { return m_law; }
    VelboMesh* mesh() const { return m_mesh; }
    void elementSetMesh(VelboMesh* mesh) { m_mesh = mesh; }
    VelboEdge2D* elementFirstEdge() const { return m_firstEdge; }
    void elementSetFirst(VelboEdge2D* first) { m_firstEdge = first; }

    VelboSectionElement* nextElement() const { return m_nextElement; }
    VelboSectionElement* beforeElement() const { return m_beforeElement; }
    // Both return the element passed in.
    VelboSectionElement* setNextElement(VelboSectionElement* nextElement);
    VelboSectionElement* setBeforeElement(VelboSectionElement* beforeElement);

private:
    const VelboCostitutiveLaw* m_law;
    VelboEdge2D* m_firstEdge;
    VelboMesh* m_mesh;
    VelboSectionElement* m_nextElement;
    VelboSectionElement* m_beforeElement;
};
