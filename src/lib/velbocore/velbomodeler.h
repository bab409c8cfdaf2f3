#pragma once

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "velbocore/velboareaproperties.h"
#include "velbocore/velbocircle.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velbotriangle.h"

class VelboCostitutiveLaw;
class VelboEdge2D;
class VelboInteractionPoints;
class VelboSectionModel;

// Containers in which the modeller hands lists and maps to its callers.
typedef std::vector<int> VInt;
typedef std::vector<double> VDouble;
typedef std::vector<float> VFloat;
typedef std::vector<VDouble> VVDouble;
typedef std::map<int, VInt> MIntVInt;
typedef std::map<int, VDouble> MIntVDouble;
typedef std::map<int, VelboTriangle> MapTriangles;
typedef std::map<int, VelboCircle> MapCircles;
typedef std::map<int, VelboNode2D> MapNodes;
typedef std::vector<VelboCircle> VecCircles;
typedef std::vector<VelboNode2D> VecNodes;

// Thrown by getNodeX and getNodeY for an id that no node has.
class exc_id_not_present : std::exception {
public:
    exc_id_not_present();
    virtual const char* what() const noexcept override;
    virtual ~exc_id_not_present();
};

// The facade of the section core: creates and owns every section model,
// node, element, law and interaction-point set, and reports every failure
// as a text line.
class VelboModeler {
public:
    VelboModeler();
    virtual ~VelboModeler();
    VelboModeler(const VelboModeler&) = delete;
    VelboModeler& operator=(const VelboModeler&) = delete;

    // Section models
    bool addSection(int id, bool setCurrent = true);
    bool setCurrent(int id);
    int getCurrent() const;
    std::string getCurrentType() const;
    VInt getIndexes() const;
    int sizeOfSectionModels() const;
    void sectionRotate(double degree, double x, double y);

    // Nodes
    int nodesSize() const;
    bool addNode(int id, double x, double y);
    double getNodeX(int id) const;
    double getNodeY(int id) const;
    bool setNodeX(int id, double x);
    bool setNodeY(int id, double y);
    MIntVDouble getNodesCoords() const;
    MapNodes getNodes() const;

    // Elements
    bool addTriangle(int id, int idn_1, int idn_2, int idn_3);
    int trianglesSize() const;
    MIntVInt getTrianglesIds() const;
    MIntVDouble getTrianglesCoords() const;
    MapTriangles getTriangles();
    bool addCircle(int id, int idn_center, double radius);
    int circlesSize() const;
    MIntVInt getCirclesIds() const;
    MIntVDouble getCirclesRadius() const;
    MapCircles getCircles() const;
    bool setCircleRadius(int id, double radius);

    // Laws
    bool addLawParaboleRectangle(int id, std::string descr, double fcd, double ec2, double ecu);
    bool addLawBilinear(int id, std::string descr, double fsd, double Es, double esu);
    bool setCirclesLaw(int law_id);
    bool setTrianglesLaw(int law_id);

    // Section properties
    VelboNode2D calcSolidBarycenter() const;
    VelboNode2D calcPointBarycenter(bool area) const;
    VelboNode2D calcIdealBarycenter() const;
    VelboAreaProperties calcSolidAreaProperties() const;
    VelboAreaProperties calcPointAreaProperties() const;
    VelboAreaProperties calcIdealAreaProperties() const;
    bool setNCoeff(float n);
    float nCoeff() const;
    double calcSolidArea() const;
    double calcPointArea() const;
    double calcIdealArea() const;

    // Meshes
    bool meshMake() const;
    bool meshReset() const;
    int meshSize() const;
    int nodesSizeAtMesh(int meshIndex) const;
    int trianglesSizeAtMesh(int meshIndex) const;
    int circlesSizeAtMesh(int meshIndex) const;
    VecNodes getNodesAtMesh(int meshIndex) const;
    MIntVInt getTrianglesIdsAtMesh(int meshIndex) const;
    MIntVDouble getTrianglesCoordsAtMesh(int meshIndex) const;
    VecCircles getCirclesAtMesh(int meshIndex) const;
    bool meshesSliceAtYrays(VDouble rays);
    bool meshesSliceAtRays(VVDouble rays);

    // Interaction domain
    bool buildDomain(int degreeDivision, int ratioDivision, bool rebuild);
    // Asked now and then during buildDomain, on the calling thread only:
    // true stops the build, which returns false and leaves the model and its
    // domain as they were. Empty, as at construction: never asked.
    void setInterruptCheck(std::function<bool()> interrupted);
    VDouble fzVector() const;
    VDouble mxVector() const;
    VDouble myVector() const;
    VDouble domainBounding() const;
    VFloat intersectAtZDir(double z) const;
    VFloat intersectAtXDir(double x) const;
    VFloat intersectAtYDir(double y) const;

    // Information and live-instance counters
    static void printInfo(const std::string& before);
    static unsigned int instancesOfModels();
    static unsigned int instancesOfMesh();
    static unsigned int instancesOfNode2D();
    static unsigned int instancesOfTriangle();
    static unsigned int instancesOfCircle();
    static unsigned int instancesOfEdge2D();
    static unsigned int instancesOfLawBilinear();
    static unsigned int instancesOfLawParabola();
    static unsigned int instancesOfInteractionPoints();
    static unsigned int instancesOfSectionForces();

    void setLogLevel(int level);

private:
    friend struct VelboModelerInspector;  // lets the tests read the law listing

    int m_getCurrentId() const;
    VelboSectionModel* m_getCurrent() const;
    static void m_print_info(const std::string& before);
    void m_print_law_info() const;
    // The node of that id, or null after writing the missing-node error line.
    VelboNode2D* m_nodeOrReport(int id) const;
    bool m_lawIdFree(int id) const;
    // The outline of the current domain cut by the grid plane (an XVertexGrid::DirPlane).
    VFloat m_cutDomain(const char* method, int plane, double value) const;
    void m_storeLaw(int id, const std::string& descr, VelboCostitutiveLaw* law);
    int m_checkMeshIndex(int meshIndex) const;

    // The current model, or null after writing the current-model error line.
    VelboSectionModel* m_currentOrReport() const;
    // The current model's point set, or null after writing the matching error line.
    const VelboInteractionPoints* m_currentPointsOrReport() const;
    bool m_logOn() const { return m_logLevel != 0; }

    std::map<int, VelboSectionModel*> m_sectionModels;
    int m_currentModelId;
    // Shared with the circles centred on them, and so with the circle copies
    // handed to callers, which keep their centre alive after the facade is gone.
    std::map<int, std::shared_ptr<VelboNode2D>> m_sectionNodes2D;
    std::map<int, VelboTriangle*> m_sectionTriangles;
    std::map<int, VelboCircle*> m_sectionCircles;
    std::map<int, VelboCostitutiveLaw*> m_laws;
    int m_circlesLaw;
    int m_trianglesLaw;
    std::map<int, VelboInteractionPoints*> m_interactionPointsMap;
    int m_logLevel;
    std::vector<VelboEdge2D*> m_edgesToDestroy;
    std::function<bool()> m_interruptCheck;
};
