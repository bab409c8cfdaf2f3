#pragma once

#include <cstddef>
#include <vector>

#include "coreobj/xid.h"
#include "velbocore/velboareaproperties.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velbosectionforces.h"

class FuncLinear;
class Func2Linear;
class VelboSectionElement;
class VelboMesh;
class VelboCostitutiveLaw;

// One cross-section: the nodes and elements that make it up (not owned),
// the meshes made from its solid elements, the distinct laws of its
// elements and the homogenisation coefficient n of its bars.
class VelboSectionModel : public XId
{
public:
    explicit VelboSectionModel(int id);
    virtual ~VelboSectionModel();

    VelboSectionModel(const VelboSectionModel&) = delete;
    VelboSectionModel& operator=(const VelboSectionModel&) = delete;

    virtual bool sectionAddNode(VelboNode2D* node);
    virtual bool sectionAddElement(VelboSectionElement* element);
    virtual VelboSectionModel* sectionClone() const;
    virtual bool meshesMake();
    virtual bool meshesReset();
    virtual bool meshesSliceAtYrays(const std::vector<double>& rays);
    virtual bool meshesSliceAtRays(const std::vector<Func2Linear>& rays);

    VelboMesh* meshAt(int pos) const;
    int meshesSize() const;

    // The meshes of the model set aside by meshesPark, with what each element
    // pointed to and the reset flag, until meshesUnpark or meshesDropParked.
    struct ParkedMeshes {
        std::vector<VelboMesh*> meshes;
        // The mesh of each element, in the order of the element list.
        std::vector<VelboMesh*> elementMeshes;
        std::size_t trashSize = 0;
        bool resetted = true;
    };
    // Sets the current meshes aside: the model then has none and its
    // elements point to none, as before its first meshesMake; the reset flag
    // stays. Nothing the model does while they are parked reaches them.
    ParkedMeshes meshesPark();
    // Releases every mesh made since meshesPark and puts the parked ones
    // back, each element's mesh and the reset flag as they were. It needs no
    // room of its own, so it can undo a step that ran out of memory.
    void meshesUnpark(ParkedMeshes& parked);
    // Keeps the meshes made since meshesPark and releases the parked ones.
    void meshesDropParked(ParkedMeshes& parked);

    int sectionFindFirstOfNodeId(int id) const;
    VelboNode2D* sectionNodeAt(int pos) const;
    VelboNode2D* sectionPointNodeAt(int pos) const;
    int sectionFindFirstOfElementId(int id) const;
    VelboSectionElement* sectionElementAt(int pos) const;

    int sectionNodesSize() const;
    int sectionElementsSize() const;
    int sectionSolidElementsSize() const;
    int sectionPointElementsSize() const;

    std::vector<VelboNode2D*> sectionNodes() const;
    void sectionSetNodes(const std::vector<VelboNode2D*>& nodes);
    std::vector<VelboSectionElement*> sectionElements() const;
    void sectionSetElements(const std::vector<VelboSectionElement*>& elements);

    std::vector<const VelboCostitutiveLaw*> laws() const;
    int sectionSizeOfLaws() const;
    void updateLaws();

    float nCoeff() const;
    void setNCoeff(float newNCoeff);

    void sectionTranslate(const VelboNode2D& toPoint, const VelboNode2D& basePoint);
    void sectionRotate(double degree);
    void sectionRotate(double degree, const VelboNode2D& basePoint);
    void sectionRestoreGeometry();
    void sectionSavingGeometry();

    // Section computations, recomputed on every call from the current nodes.
    VelboNode2D sectionCalcSolidBarycenter() const;
    VelboNode2D sectionCalcPointBarycenter(bool area) const;
    VelboNode2D sectionCalcIdealBarycenter() const;
    double sectionCalcSolidArea() const;
    double sectionCalcPointArea() const;
    double sectionCalcIdealArea() const;
    double sectionCalcSolidRadius(const VelboNode2D& node) const;
    void sectionCalcSolidYRange(double* topY, double* bottomY) const;
    void sectionCalcPointYRange(double* topY, double* bottomY) const;
    void sectionCalcYRange(double* topY, double* bottomY) const;
    VelboAreaProperties sectionCalcSolidAreaProperties() const;
    VelboAreaProperties sectionCalcPointAreaProperties() const;
    VelboAreaProperties sectionCalcIdealAreaProperties() const;
    VelboSectionForces sectionCalcForcesByLaw(const FuncLinear& planeStrain) const;

    static unsigned int instances();
    static void* operator new(std::size_t size);
    static void operator delete(void* p);

private:
    // Puts `made` in place of the current meshes, which are released unless
    // an element still points to one (only when not every solid element got
    // a new mesh): those stay until the model goes.
    void m_replaceMeshes(std::vector<VelboMesh*>& made, bool everyElement);
    // Widens [start, start] to the vertical extent of the solid (or point) elements.
    void m_calcYRange(bool solid, double start, double* topY, double* bottomY) const;

    bool m_resetted;
    std::vector<VelboNode2D*> m_nodes;
    std::vector<VelboSectionElement*> m_elements;
    std::vector<VelboSectionElement*> m_elementsSolid;
    std::vector<VelboSectionElement*> m_elementsPoints;
    std::vector<VelboMesh*> m_meshes;
    std::vector<VelboMesh*> m_meshes_trash;
    std::vector<const VelboCostitutiveLaw*> m_laws;
    float m_nCoeff;

    static unsigned int m_instances;
};
