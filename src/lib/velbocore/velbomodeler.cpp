#include "velbocore/velbomodeler.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iostream>
#include <memory>
#include <new>
#include <unordered_set>
#include <utility>

#include <boost/format.hpp>

#include "coreobj/func2linear.h"
#include "velbocore/velbobilinear.h"
#include "velbocore/velboedge2d.h"
#include "velbocore/velbointeractionpoints.h"
#include "velbocore/velbomesh.h"
#include "velbocore/velbontc2008lb.h"
#include "velbocore/velboparabola.h"
#include "velbocore/velbosecdeformrc.h"
#include "velbocore/velbosectionforces.h"
#include "velbocore/velbosectionmodel.h"
#include "velbocore/xvertexgrid.h"

// Law ids under which the constructor stores the two default laws.
constexpr int kTrianglesDefaultLaw = -100;
constexpr int kCirclesDefaultLaw = -200;

constexpr const char* kDashLine = "--------------------------\n";

// ---------------------------------------------------------------------------
// exc_id_not_present

exc_id_not_present::exc_id_not_present() : std::exception() {}

const char* exc_id_not_present::what() const noexcept { return "Id dosn't exists"; }

exc_id_not_present::~exc_id_not_present() {}

// ---------------------------------------------------------------------------
// Lifecycle

VelboModeler::VelboModeler()
    : m_currentModelId(-1),
      m_circlesLaw(kCirclesDefaultLaw),
      m_trianglesLaw(kTrianglesDefaultLaw),
      m_logLevel(0) {
    const VelboNTC2008LB builder;
    m_laws[kTrianglesDefaultLaw] = builder.buildLaw(VelboNTC2008LB::CONCRETE_C2025_PARABOLA);
    m_laws[kCirclesDefaultLaw] = builder.buildLaw(VelboNTC2008LB::STEEL_B450C_BILINEAR);
}

VelboModeler::~VelboModeler() {
    if (m_logOn()) {
        std::clog << boost::format("Deleting VelboModeler ...\n") << boost::format(kDashLine)
                  << boost::format("      before garbage      \n") << boost::format(kDashLine);
        m_print_info("");
    }

    for (auto& [id, model] : m_sectionModels) {
        if (model == nullptr) continue;
        for (int i = 0; i < model->meshesSize(); ++i) delete model->meshAt(i);
        delete model;
    }
    m_sectionModels.clear();

    // A node stays alive while a circle (or a caller's copy of one) still shares it.
    m_sectionNodes2D.clear();

    for (auto& [id, triangle] : m_sectionTriangles) {
        if (triangle == nullptr) continue;
        for (int i = 0; i < 3; ++i) m_edgesToDestroy.push_back(triangle->edgeAt(i));
        delete triangle;
    }
    m_sectionTriangles.clear();

    for (VelboEdge2D* edge : m_edgesToDestroy) delete edge;
    m_edgesToDestroy.clear();

    for (auto& [id, circle] : m_sectionCircles) delete circle;
    m_sectionCircles.clear();

    for (auto& [id, law] : m_laws) delete law;
    m_laws.clear();

    for (auto& [id, points] : m_interactionPointsMap) delete points;
    m_interactionPointsMap.clear();

    if (m_logOn()) {
        std::clog << boost::format("Deleting VelboModeler ...\n") << boost::format(kDashLine)
                  << boost::format("      after deleting      \n") << boost::format(kDashLine);
        m_print_info("");
    }
}

// ---------------------------------------------------------------------------
// Current model

int VelboModeler::m_getCurrentId() const { return m_currentModelId; }

VelboSectionModel* VelboModeler::m_getCurrent() const {
    if (m_currentModelId == -1) return nullptr;
    const auto found = m_sectionModels.find(m_currentModelId);
    return found == m_sectionModels.end() ? nullptr : found->second;
}

VelboSectionModel* VelboModeler::m_currentOrReport() const {
    VelboSectionModel* model = m_getCurrent();
    if (model == nullptr) std::cerr << boost::format("ERR: None model current yet.\n");
    return model;
}

// ---------------------------------------------------------------------------
// Section models

bool VelboModeler::addSection(int id, bool setCurrent) {
    if (id < 0) {
        std::cerr << boost::format("ERR: Cannot add section model with id negative\n");
        return false;
    }
    if (m_sectionModels.count(id) != 0) {
        std::cerr << boost::format("ERR: Cannot add section model with id yet present\n");
        return false;
    }
    m_sectionModels[id] = new VelboSectionModel(id);
    if (m_logOn()) std::clog << boost::format("Added with success new section model id = %1%\n") % id;
    if (setCurrent) m_currentModelId = id;
    return true;
}

bool VelboModeler::setCurrent(int id) {
    if (m_currentOrReport() == nullptr) return false;
    if (id == m_currentModelId) {
        if (m_logOn()) std::clog << boost::format("Model id = %1% is yet current !!!\n") % id;
        return true;
    }
    if (m_sectionModels.count(id) == 0) {
        std::cerr << boost::format("ERR: Model id = %1% don't exists !!!\n") % id;
        return false;
    }
    if (m_logOn()) std::clog << boost::format("New current model id = %1%\n") % id;
    m_currentModelId = id;
    return true;
}

int VelboModeler::getCurrent() const {
    if (m_currentModelId == -1) {
        std::cerr << boost::format("No current model yet. Return -1\n");
        return -1;
    }
    return m_currentModelId;
}

std::string VelboModeler::getCurrentType() const {
    if (m_currentOrReport() == nullptr) return std::string();
    return "SectionModel";
}

VInt VelboModeler::getIndexes() const {
    VInt ids;
    for (const auto& entry : m_sectionModels) ids.push_back(entry.first);
    if (ids.empty() && m_logOn()) std::clog << boost::format("VelboModeler: No models. \n");
    return ids;
}

int VelboModeler::sizeOfSectionModels() const { return static_cast<int>(m_sectionModels.size()); }

void VelboModeler::sectionRotate(double degree, double x, double y) {
    VelboSectionModel* model = m_currentOrReport();
    if (model == nullptr) return;
    // A turn by or about something that is not a number would spoil every
    // node and its saved position for good.
    if (!std::isfinite(degree) || !std::isfinite(x) || !std::isfinite(y)) {
        std::cerr << boost::format("ERR: Cannot rotate section with angle or centre not finite\n");
        return;
    }
    // Nor may a turn about a far centre carry a node beyond the range of
    // doubles: the turned nodes are tried on copies first.
    const VelboNode2D centre(x, y, 0);
    for (const VelboNode2D* node : model->sectionNodes()) {
        if (node == nullptr || !std::isfinite(node->xn()) || !std::isfinite(node->yn())) continue;
        VelboNode2D turned(*node);
        turned.nodeRotate(degree, centre);
        if (!std::isfinite(turned.xn()) || !std::isfinite(turned.yn())) {
            std::cerr << boost::format(
                             "ERR: Cannot rotate section: node *%1%* would be turned beyond the range of numbers\n") %
                             node->id();
            return;
        }
    }
    model->sectionRotate(degree, centre);
    model->sectionSavingGeometry();
}

// ---------------------------------------------------------------------------
// Nodes

int VelboModeler::nodesSize() const {
    const VelboSectionModel* model = m_currentOrReport();
    return model == nullptr ? -1 : model->sectionNodesSize();
}

bool VelboModeler::addNode(int id, double x, double y) {
    VelboSectionModel* model = m_currentOrReport();
    if (model == nullptr) return false;
    if (id < 0) {
        std::cerr << boost::format("ERR: Cannot add node with id negative\n");
        return false;
    }
    if (m_sectionNodes2D.count(id) != 0) {
        std::cerr << boost::format("ERR: Cannot add node with id yet present\n");
        return false;
    }
    const std::shared_ptr<VelboNode2D> node(new VelboNode2D(x, y, id));
    m_sectionNodes2D[id] = node;
    model->sectionAddNode(node.get());
    if (m_logOn())
        std::clog << boost::format("Added with success new node 2D *%1%* to model *%2%*\n") % id %
                         m_currentModelId;
    return true;
}

VelboNode2D* VelboModeler::m_nodeOrReport(int id) const {
    const auto found = m_sectionNodes2D.find(id);
    if (found != m_sectionNodes2D.end()) return found->second.get();
    std::cerr << boost::format("ERR: Node2D with id = %1% doesn't exist !!!\n") % id;
    return nullptr;
}

double VelboModeler::getNodeX(int id) const {
    const VelboNode2D* node = m_nodeOrReport(id);
    if (node == nullptr) throw exc_id_not_present();
    return node->xn();
}

double VelboModeler::getNodeY(int id) const {
    const VelboNode2D* node = m_nodeOrReport(id);
    if (node == nullptr) throw exc_id_not_present();
    return node->yn();
}

bool VelboModeler::setNodeX(int id, double x) {
    VelboNode2D* node = m_nodeOrReport(id);
    if (node == nullptr) return false;
    node->setXn(x);
    return true;
}

bool VelboModeler::setNodeY(int id, double y) {
    VelboNode2D* node = m_nodeOrReport(id);
    if (node == nullptr) return false;
    node->setYn(y);
    return true;
}

MIntVDouble VelboModeler::getNodesCoords() const {
    MIntVDouble coords;
    const VelboSectionModel* model = m_currentOrReport();
    if (model == nullptr) return coords;
    for (int i = 0; i < model->sectionNodesSize(); ++i) {
        const VelboNode2D* node = model->sectionNodeAt(i);
        coords[node->id()] = VDouble{node->xn(), node->yn()};
    }
    return coords;
}

MapNodes VelboModeler::getNodes() const {
    MapNodes nodes;
    const VelboSectionModel* model = m_currentOrReport();
    if (model == nullptr) return nodes;
    for (int i = 0; i < model->sectionNodesSize(); ++i) {
        const VelboNode2D* node = model->sectionNodeAt(i);
        nodes.insert_or_assign(node->id(), *node);
    }
    return nodes;
}

// ---------------------------------------------------------------------------
// Information and counters

void VelboModeler::printInfo(const std::string& before) {
    std::clog << boost::format(kDashLine) << boost::format("    INFO *VelboModeler*   \n")
              << boost::format(kDashLine);
    m_print_info(before);
}

void VelboModeler::m_print_info(const std::string& before) {
    std::clog << before << std::endl;
    std::clog << boost::format("Section models     ==> %1%\n") % instancesOfModels();
    std::clog << boost::format("Meshes             ==> %1%\n") % instancesOfMesh();
    std::clog << boost::format("Nodes              ==> %1%\n") % instancesOfNode2D();
    std::clog << boost::format("Triangles          ==> %1%\n") % instancesOfTriangle();
    std::clog << boost::format("Circles            ==> %1%\n") % instancesOfCircle();
    std::clog << boost::format("Edges              ==> %1%\n") % instancesOfEdge2D();
    std::clog << boost::format("Laws bilinear      ==> %1%\n") % instancesOfLawBilinear();
    std::clog << boost::format("Laws parabola rec. ==> %1%\n") % instancesOfLawParabola();
    std::clog << boost::format("Interaction points ==> %1%\n") % instancesOfInteractionPoints();
    std::clog << boost::format("Forces             ==> %1%\n") % instancesOfSectionForces();
}

unsigned int VelboModeler::instancesOfModels() { return VelboSectionModel::instances(); }
unsigned int VelboModeler::instancesOfMesh() { return VelboMesh::instances(); }
unsigned int VelboModeler::instancesOfNode2D() { return VelboNode2D::instances(); }
unsigned int VelboModeler::instancesOfTriangle() { return VelboTriangle::instances(); }
unsigned int VelboModeler::instancesOfCircle() { return VelboCircle::instances(); }
unsigned int VelboModeler::instancesOfEdge2D() { return VelboEdge2D::instances(); }
unsigned int VelboModeler::instancesOfLawBilinear() { return VelboBilinear::instances(); }
unsigned int VelboModeler::instancesOfLawParabola() { return VelboParabola::instances(); }
unsigned int VelboModeler::instancesOfInteractionPoints() { return VelboInteractionPoints::instances(); }
unsigned int VelboModeler::instancesOfSectionForces() { return VelboSectionForces::instances(); }

void VelboModeler::setLogLevel(int level) { m_logLevel = level; }

// ---------------------------------------------------------------------------
// Elements

bool VelboModeler::addTriangle(int id, int idn_1, int idn_2, int idn_3) {
    VelboSectionModel* model = m_currentOrReport();
    if (model == nullptr) return false;
    if (id < 0) {
        std::cerr << boost::format("ERR: Cannot add triangle with id negative\n");
        return false;
    }
    if (m_sectionTriangles.count(id) != 0) {
        std::cerr << boost::format("ERR: Cannot add triangle with id yet present\n");
        return false;
    }
    const auto node1 = m_sectionNodes2D.find(idn_1);
    if (node1 == m_sectionNodes2D.end()) {
        std::cerr << boost::format("ERR: Cannot set triangle with wrong id for node 1 \n");
        return false;
    }
    const auto node2 = m_sectionNodes2D.find(idn_2);
    if (node2 == m_sectionNodes2D.end()) {
        std::cerr << boost::format("ERR: Cannot set triangle with wrong id for node 2 \n");
        return false;
    }
    const auto node3 = m_sectionNodes2D.find(idn_3);
    if (node3 == m_sectionNodes2D.end()) {
        std::cerr << boost::format("ERR: Cannot set triangle with wrong id for node 3 \n");
        return false;
    }

    VelboTriangle* triangle = new VelboTriangle(id);
    triangle->releaseEdges();  // collected and deleted by the destructor
    triangle->setP1(node1->second.get());
    triangle->setP2(node2->second.get());
    triangle->setP3(node3->second.get());
    triangle->setCostitutiveLaw(m_laws.at(kTrianglesDefaultLaw));
    m_sectionTriangles[id] = triangle;
    model->sectionAddElement(triangle);
    if (m_logOn())
        std::clog << boost::format("Added with success new triangle *%1%* to model *%2%*\n") % id %
                         m_currentModelId;
    return true;
}

int VelboModeler::trianglesSize() const {
    const VelboSectionModel* model = m_currentOrReport();
    return model == nullptr ? -1 : model->sectionSolidElementsSize();
}

// Calls visit for every element of the model that is a Kind, in list order.
template <class Kind, class Visit>
static void forEachOf(const VelboSectionModel& model, Visit visit) {
    for (const VelboSectionElement* element : model.sectionElements())
        if (const auto* kind = dynamic_cast<const Kind*>(element)) visit(*kind);
}

static VInt vertexIds(const VelboTriangle& t) { return VInt{t.P1()->id(), t.P2()->id(), t.P3()->id()}; }

static VDouble vertexCoords(const VelboTriangle& t) {
    return VDouble{t.P1()->xn(), t.P1()->yn(), t.P2()->xn(), t.P2()->yn(), t.P3()->xn(), t.P3()->yn()};
}

MIntVInt VelboModeler::getTrianglesIds() const {
    MIntVInt ids;
    if (const VelboSectionModel* model = m_currentOrReport())
        forEachOf<VelboTriangle>(*model, [&](const VelboTriangle& t) { ids[t.id()] = vertexIds(t); });
    return ids;
}

MIntVDouble VelboModeler::getTrianglesCoords() const {
    MIntVDouble coords;
    if (const VelboSectionModel* model = m_currentOrReport())
        forEachOf<VelboTriangle>(*model, [&](const VelboTriangle& t) { coords[t.id()] = vertexCoords(t); });
    return coords;
}

MapTriangles VelboModeler::getTriangles() {
    MapTriangles triangles;
    if (const VelboSectionModel* model = m_currentOrReport())
        forEachOf<VelboTriangle>(*model, [&](const VelboTriangle& t) {
            VelboTriangle& entry = triangles[t.id()];
            entry = t;
            // The entry's half-edges belong to the facade, which deletes them at the end.
            entry.releaseEdges();
            for (int i = 0; i < 3; ++i) m_edgesToDestroy.push_back(entry.edgeAt(i));
        });
    return triangles;
}

bool VelboModeler::addCircle(int id, int idn_center, double radius) {
    VelboSectionModel* model = m_currentOrReport();
    if (model == nullptr) return false;
    if (id < 0) {
        std::cerr << boost::format("ERR: Cannot add circle with id negative\n");
        return false;
    }
    if (m_sectionCircles.count(id) != 0) {
        std::cerr << boost::format("ERR: Cannot add circle with id yet present\n");
        return false;
    }
    const auto center = m_sectionNodes2D.find(idn_center);
    if (center == m_sectionNodes2D.end()) {
        std::cerr << boost::format("ERR: Cannot set circle with wrong id for circle \n");
        return false;
    }
    if (radius <= 0) {
        std::cerr << boost::format("ERR: Cannot set circle with negative radius \n");
        return false;
    }
    if (!std::isfinite(radius)) {
        std::cerr << boost::format("ERR: Cannot set circle with radius not finite \n");
        return false;
    }

    VelboCircle* circle = new VelboCircle(id);
    circle->setRadius(radius);
    circle->shareCenter(center->second);
    circle->setCostitutiveLaw(m_laws.at(kCirclesDefaultLaw));
    m_sectionCircles[id] = circle;
    model->sectionAddElement(circle);
    if (m_logOn())
        std::clog << boost::format("Added with success new circle *%1%* to model *%2%*\n") % id %
                         m_currentModelId;
    return true;
}

int VelboModeler::circlesSize() const {
    const VelboSectionModel* model = m_currentOrReport();
    return model == nullptr ? -1 : model->sectionPointElementsSize();
}

MIntVInt VelboModeler::getCirclesIds() const {
    MIntVInt ids;
    if (const VelboSectionModel* model = m_currentOrReport())
        forEachOf<VelboCircle>(*model, [&](const VelboCircle& c) { ids[c.id()] = VInt{c.center()->id()}; });
    return ids;
}

MIntVDouble VelboModeler::getCirclesRadius() const {
    MIntVDouble radii;
    if (const VelboSectionModel* model = m_currentOrReport())
        forEachOf<VelboCircle>(*model, [&](const VelboCircle& c) { radii[c.id()] = VDouble{c.radius()}; });
    return radii;
}

MapCircles VelboModeler::getCircles() const {
    MapCircles circles;
    if (const VelboSectionModel* model = m_currentOrReport())
        forEachOf<VelboCircle>(*model, [&](const VelboCircle& c) { circles[c.id()] = c; });
    return circles;
}

bool VelboModeler::setCircleRadius(int id, double radius) {
    const auto found = m_sectionCircles.find(id);
    if (found == m_sectionCircles.end()) {
        std::cerr << boost::format("ERR: Circle with id = %1% doesn't exist !!!\n") % id;
        return false;
    }
    // Any finite radius is taken, negative ones included; one that is not
    // finite would spoil the areas and the domain.
    if (!std::isfinite(radius)) {
        std::cerr << boost::format("ERR: Cannot set circle *%1%* with radius not finite \n") % id;
        return false;
    }
    found->second->setRadius(radius);
    return true;
}

// ---------------------------------------------------------------------------
// Laws

// The error line (with %1% for the law id) that refuses a concrete law of
// these parameters, or null when they make one. Compression is negative, and
// the parabola reaches fcd at ec2, at the latest at the ultimate strain ecu.
static const char* concreteLawFault(double fcd, double ec2, double ecu) {
    if (!std::isfinite(fcd) || !std::isfinite(ec2) || !std::isfinite(ecu))
        return "ERR: Law *%1%* has a parameter that is not finite !!!\n";
    if (!(fcd < 0.0 && ec2 < 0.0 && ecu < 0.0))
        return "ERR: Concrete law *%1%* needs fcd, ec2 and ecu negative !!!\n";
    if (ec2 < ecu) return "ERR: Concrete law *%1%* needs ec2 not beyond ecu !!!\n";
    return nullptr;
}

// The same for a steel law: positive strength, modulus and limit strain, and
// a limit strain past the yield strain fsd / Es, so that the steel yields
// before it breaks.
static const char* steelLawFault(double fsd, double Es, double esu) {
    if (!std::isfinite(fsd) || !std::isfinite(Es) || !std::isfinite(esu))
        return "ERR: Law *%1%* has a parameter that is not finite !!!\n";
    if (!(fsd > 0.0 && Es > 0.0 && esu > 0.0))
        return "ERR: Steel law *%1%* needs fsd, Es and esu positive !!!\n";
    if (!(esu > fsd / Es)) return "ERR: Steel law *%1%* needs esu beyond the yield strain fsd/Es !!!\n";
    return nullptr;
}

// False, with the error line, when the parameters could not set up every
// piece of the law (a coefficient or a yield strain out of range).
static bool lawPiecesSetUp(const VelboCostitutiveLaw& law, int id) {
    if (law.lawIsComplete()) return true;
    std::cerr << boost::format("ERR: Law *%1%* pieces cannot be set up with these parameters !!!\n") % id;
    return false;
}

bool VelboModeler::addLawParaboleRectangle(int id, std::string descr, double fcd, double ec2,
                                           double ecu) {
    if (!m_lawIdFree(id)) return false;
    if (const char* fault = concreteLawFault(fcd, ec2, ecu)) {
        std::cerr << boost::format(fault) % id;
        return false;
    }
    auto law = std::make_unique<VelboParabola>(fcd, ec2, ecu);
    if (!lawPiecesSetUp(*law, id)) return false;
    m_storeLaw(id, descr, law.release());
    return true;
}

bool VelboModeler::addLawBilinear(int id, std::string descr, double fsd, double Es, double esu) {
    if (!m_lawIdFree(id)) return false;
    if (const char* fault = steelLawFault(fsd, Es, esu)) {
        std::cerr << boost::format(fault) % id;
        return false;
    }
    auto law = std::make_unique<VelboBilinear>(fsd, Es, esu);
    if (!lawPiecesSetUp(*law, id)) return false;
    m_storeLaw(id, descr, law.release());
    return true;
}

bool VelboModeler::m_lawIdFree(int id) const {
    if (m_laws.count(id) == 0) return true;
    std::cerr << boost::format("ERR: Law with same id exists !!!\n");
    return false;
}

void VelboModeler::m_storeLaw(int id, const std::string& descr, VelboCostitutiveLaw* law) {
    law->lawSetDescriptionMore(descr);
    m_laws[id] = law;
    if (m_logOn())
        std::clog << boost::format("INF: Added successfully law *%1%* with id *%2%* !!!") % descr % id;
}

// Gives the law of law_id to every element of the map and logs changedLine;
// false, with the error line, when there is no such law.
template <class Element>
static bool giveLawToAll(const std::map<int, VelboCostitutiveLaw*>& laws, int law_id,
                         std::map<int, Element*>& elements, const char* changedLine, bool log) {
    const auto found = laws.find(law_id);
    if (found == laws.end()) {
        std::cerr << boost::format("ERR: Law with id *%1%* don't exists !!!\n") % law_id;
        return false;
    }
    const VelboCostitutiveLaw* law = found->second;
    for (auto& entry : elements) entry.second->setCostitutiveLaw(law);
    if (log)
        std::clog << boost::format(changedLine) % elements.size() % law->lawDescriptionMore();
    return true;
}

bool VelboModeler::setCirclesLaw(int law_id) {
    if (!giveLawToAll(m_laws, law_id, m_sectionCircles,
                      "INF: Changed nb. *%1%* circles law with *%2%* !!!\n", m_logOn())) return false;
    m_circlesLaw = law_id;
    return true;
}

bool VelboModeler::setTrianglesLaw(int law_id) {
    if (!giveLawToAll(m_laws, law_id, m_sectionTriangles,
                      "INF: Changed nb. *%1%* triangles law with *%2%* !!!\n", m_logOn())) return false;
    m_trianglesLaw = law_id;
    return true;
}

void VelboModeler::m_print_law_info() const {
    std::clog << boost::format("Costitutive laws:\n");
    for (const auto& [id, law] : m_laws) {
        const std::string circlesMark = id == m_circlesLaw ? "*circles*" : "";
        const std::string trianglesMark = id == m_trianglesLaw ? "*triangles*" : "";
        std::string note;
        if (!circlesMark.empty() || !trianglesMark.empty())
            note = (boost::format("<-- current for %1% %2% ") % circlesMark % trianglesMark).str();
        std::clog << boost::format("    id: *%5s* - description: %20s %20s\n") % id %
                         law->lawDescriptionMore() % note;
    }
}

// ---------------------------------------------------------------------------
// Section properties

VelboNode2D VelboModeler::calcSolidBarycenter() const {
    const VelboSectionModel* model = m_currentOrReport();
    return model == nullptr ? VelboNode2D(0) : model->sectionCalcSolidBarycenter();
}

VelboNode2D VelboModeler::calcPointBarycenter(bool area) const {
    const VelboSectionModel* model = m_currentOrReport();
    return model == nullptr ? VelboNode2D(0) : model->sectionCalcPointBarycenter(area);
}

VelboNode2D VelboModeler::calcIdealBarycenter() const {
    const VelboSectionModel* model = m_currentOrReport();
    return model == nullptr ? VelboNode2D(0) : model->sectionCalcIdealBarycenter();
}

VelboAreaProperties VelboModeler::calcSolidAreaProperties() const {
    const VelboSectionModel* model = m_currentOrReport();
    return model == nullptr ? VelboAreaProperties() : model->sectionCalcSolidAreaProperties();
}

VelboAreaProperties VelboModeler::calcPointAreaProperties() const {
    const VelboSectionModel* model = m_currentOrReport();
    return model == nullptr ? VelboAreaProperties() : model->sectionCalcPointAreaProperties();
}

VelboAreaProperties VelboModeler::calcIdealAreaProperties() const {
    const VelboSectionModel* model = m_currentOrReport();
    return model == nullptr ? VelboAreaProperties() : model->sectionCalcIdealAreaProperties();
}

bool VelboModeler::setNCoeff(float n) {
    VelboSectionModel* model = m_currentOrReport();
    if (model == nullptr) return false;
    // A value past the float range arrives here as an infinity.
    if (!std::isfinite(n)) {
        std::cerr << boost::format("ERR: Cannot set n coefficient not finite\n");
        return false;
    }
    model->setNCoeff(n);
    return true;
}

float VelboModeler::nCoeff() const {
    const VelboSectionModel* model = m_currentOrReport();
    return model == nullptr ? 0.0f : model->nCoeff();
}

double VelboModeler::calcSolidArea() const {
    const VelboSectionModel* model = m_currentOrReport();
    return model == nullptr ? 0.0 : model->sectionCalcSolidArea();
}

double VelboModeler::calcPointArea() const {
    const VelboSectionModel* model = m_currentOrReport();
    return model == nullptr ? 0.0 : model->sectionCalcPointArea();
}

double VelboModeler::calcIdealArea() const {
    const VelboSectionModel* model = m_currentOrReport();
    return model == nullptr ? 0.0 : model->sectionCalcIdealArea();
}

// ---------------------------------------------------------------------------
// Meshes

bool VelboModeler::meshMake() const {
    VelboSectionModel* model = m_currentOrReport();
    if (model == nullptr) return false;
    model->meshesMake();
    return true;
}

bool VelboModeler::meshReset() const {
    VelboSectionModel* model = m_currentOrReport();
    return model != nullptr && model->meshesReset();
}

int VelboModeler::meshSize() const {
    const VelboSectionModel* model = m_currentOrReport();
    return model == nullptr ? 0 : model->meshesSize();
}

int VelboModeler::m_checkMeshIndex(int meshIndex) const {
    const VelboSectionModel* model = m_currentOrReport();
    if (model == nullptr) return -1;
    if (meshIndex >= 0 && meshIndex < model->meshesSize()) return 0;
    std::cerr << boost::format("ERR: Wrong mesh index \n");
    return -1;
}

int VelboModeler::nodesSizeAtMesh(int meshIndex) const {
    if (m_checkMeshIndex(meshIndex) != 0) return -1;
    return m_getCurrent()->meshAt(meshIndex)->countNodes();
}

int VelboModeler::trianglesSizeAtMesh(int meshIndex) const {
    if (m_checkMeshIndex(meshIndex) != 0) return -1;
    return m_getCurrent()->meshAt(meshIndex)->countTriangles();
}

int VelboModeler::circlesSizeAtMesh(int meshIndex) const {
    if (m_checkMeshIndex(meshIndex) != 0) return -1;
    return m_getCurrent()->meshAt(meshIndex)->countCircles();
}

VecNodes VelboModeler::getNodesAtMesh(int meshIndex) const {
    VecNodes nodes;
    if (m_checkMeshIndex(meshIndex) != 0) return nodes;
    std::vector<VelboNode2D*> chain;
    m_getCurrent()->meshAt(meshIndex)->getNodes(chain);
    nodes.reserve(chain.size());
    for (const VelboNode2D* node : chain) nodes.push_back(*node);
    return nodes;
}

MIntVInt VelboModeler::getTrianglesIdsAtMesh(int meshIndex) const {
    MIntVInt ids;
    if (m_checkMeshIndex(meshIndex) != 0) return ids;
    std::vector<VelboTriangle*> chain;
    m_getCurrent()->meshAt(meshIndex)->getTriangles(chain);
    int k = 0;
    for (const VelboTriangle* t : chain) ids[k++] = vertexIds(*t);
    return ids;
}

MIntVDouble VelboModeler::getTrianglesCoordsAtMesh(int meshIndex) const {
    MIntVDouble coords;
    if (m_checkMeshIndex(meshIndex) != 0) return coords;
    std::vector<VelboTriangle*> chain;
    m_getCurrent()->meshAt(meshIndex)->getTriangles(chain);
    int k = 0;
    for (const VelboTriangle* t : chain) coords[k++] = vertexCoords(*t);
    return coords;
}

VecCircles VelboModeler::getCirclesAtMesh(int meshIndex) const {
    VecCircles circles;
    if (m_checkMeshIndex(meshIndex) != 0) return circles;
    std::vector<VelboCircle*> chain;
    m_getCurrent()->meshAt(meshIndex)->getCircles(chain);
    for (const VelboCircle* c : chain) {
        // The copy gets a centre of its own: the mesh's node goes with the mesh.
        VelboCircle& copy = circles.emplace_back(*c);
        if (c->center() != nullptr) copy.shareCenter(std::shared_ptr<VelboNode2D>(new VelboNode2D(*c->center())));
    }
    return circles;
}

bool VelboModeler::meshesSliceAtYrays(VDouble rays) {
    VelboSectionModel* model = m_currentOrReport();
    return model != nullptr && model->meshesSliceAtYrays(rays);
}

bool VelboModeler::meshesSliceAtRays(VVDouble rays) {
    VelboSectionModel* model = m_currentOrReport();
    if (model == nullptr) return false;
    std::vector<Func2Linear> lines;
    lines.reserve(rays.size());
    for (std::size_t row = 0; row < rays.size(); ++row) {
        const VDouble& abc = rays[row];
        // A row is the line a*x + b*y + c = 0: refuse it before any mesh is touched.
        if (abc.size() < 3) {
            std::cerr << boost::format("ERR: Ray at row %1% needs three numbers a, b, c, it has %2%\n") %
                             row % abc.size();
            return false;
        }
        lines.emplace_back(abc[0], abc[1], abc[2]);
    }
    return model->meshesSliceAtRays(lines);
}

// ---------------------------------------------------------------------------
// Interaction domain

// Whether every number the law is made of is finite: its strain limits and,
// for the two kinds of law the facade makes, its parameters.
static bool lawIsFinite(const VelboCostitutiveLaw& law) {
    std::vector<double> values = law.lawLimits();
    values.insert(values.end(), {law.maxTractionDef(), law.maxCompressionDef(), law.maxCompUniformDef()});
    if (const auto* parabola = dynamic_cast<const VelboParabola*>(&law))
        values.insert(values.end(), {parabola->fcd(), parabola->ec2(), parabola->ecu()});
    if (const auto* bilinear = dynamic_cast<const VelboBilinear*>(&law))
        values.insert(values.end(), {bilinear->fyd(), bilinear->Es(), bilinear->esu()});
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

static bool nodeIsFinite(const VelboNode2D& node) {
    // The build turns the nodes from their saved coordinates.
    VelboNode2D saved(node);
    saved.nodeRestoreGeometry();
    return std::isfinite(node.xn()) && std::isfinite(node.yn()) && std::isfinite(saved.xn()) &&
           std::isfinite(saved.yn());
}

// The law as the facade's lines name it: its id, or its description when it
// is none of the facade's laws.
static std::string lawName(const VelboCostitutiveLaw& law,
                           const std::map<int, VelboCostitutiveLaw*>& laws) {
    const auto entry =
        std::find_if(laws.begin(), laws.end(), [&law](const auto& e) { return e.second == &law; });
    return entry != laws.end() ? std::to_string(entry->first) : law.lawDescr();
}

// Why the domain of the model cannot be built from its numbers: the first
// node coordinate, circle radius or law value of its elements that is not
// finite; empty when there is none.
static std::string nonFiniteCause(const VelboSectionModel& model,
                                  const std::map<int, VelboCostitutiveLaw*>& laws) {
    const auto nodeCause = [](const VelboNode2D& node) {
        return (boost::format("node *%1%* has a coordinate that is not finite") % node.id()).str();
    };
    for (const VelboNode2D* node : model.sectionNodes())
        if (node != nullptr && !nodeIsFinite(*node)) return nodeCause(*node);
    for (const VelboSectionElement* element : model.sectionElements()) {
        if (element == nullptr) continue;
        for (int i = 0; i < element->sizeOfNodes(); ++i) {
            const VelboNode2D* node = element->nodeAt(i);
            if (node != nullptr && !nodeIsFinite(*node)) return nodeCause(*node);
        }
        const auto* circle = dynamic_cast<const VelboCircle*>(element);
        if (circle != nullptr && !std::isfinite(circle->radius()))
            return (boost::format("circle *%1%* has a radius that is not finite") % circle->id()).str();
        const VelboCostitutiveLaw* law = element->getCostitutiveLaw();
        if (law != nullptr && !lawIsFinite(*law))
            return (boost::format("law *%1%* has a value that is not finite") % lawName(*law, laws)).str();
    }
    return std::string();
}

// Refuses, with its line, a model one of whose elements sits on a node of
// another model: the build turns the model's own nodes only, so such an
// element would keep its place while the rest of the section turns.
static bool refusedForNodesOfAnotherModel(const VelboSectionModel& model) {
    const std::vector<VelboNode2D*> own = model.sectionNodes();
    const std::unordered_set<const VelboNode2D*> nodes(own.begin(), own.end());
    for (const VelboSectionElement* element : model.sectionElements()) {
        if (element == nullptr) continue;
        for (int i = 0; i < element->sizeOfNodes(); ++i) {
            const VelboNode2D* node = element->nodeAt(i);
            if (node == nullptr || nodes.count(node) != 0) continue;
            const char* const kind = element->elementIsSolid() ? "triangle" : "circle";
            std::cerr << boost::format("ERR: Cannot build domain of a model whose %1% *%2%* uses node *%3%* "
                                       "of another model\n") %
                             kind % element->id() % node->id();
            return true;
        }
    }
    return false;
}

// The one law that all the model's concrete elements (solid) or all its bars
// have; none when they have more than one.
static const VelboCostitutiveLaw* sharedLaw(const VelboSectionModel& model, bool solid) {
    const VelboCostitutiveLaw* shared = nullptr;
    bool seen = false;
    for (const VelboSectionElement* element : model.sectionElements()) {
        if (element == nullptr || element->elementIsSolid() != solid) continue;
        const VelboCostitutiveLaw* law = element->getCostitutiveLaw();
        if (seen && law != shared) return nullptr;
        shared = law;
        seen = true;
    }
    return shared;
}

// Why the domain of the model cannot be built from the kinds of its laws:
// the strain limits of the concrete come from the triangles' law and those
// of the bars from the circles' law, so a steel law on the concrete or a
// concrete law on the bars gives strain planes no section reaches. Empty
// when the kinds fit, and when the triangles or the circles have more than
// one law, which the deformator refuses with its own line.
static std::string wrongLawKindCause(const VelboSectionModel& model,
                                     const std::map<int, VelboCostitutiveLaw*>& laws) {
    const VelboCostitutiveLaw* concrete = sharedLaw(model, true);
    const VelboCostitutiveLaw* bars = sharedLaw(model, false);
    if (concrete == nullptr || bars == nullptr) return std::string();
    std::string cause;
    if (concrete->lawType() == VelboCostitutiveLaw::LT_BILINEAR)
        cause = (boost::format("triangles have law *%1%*, a bilinear law for steel") %
                 lawName(*concrete, laws)).str();
    if (bars->lawType() == VelboCostitutiveLaw::LT_PARABOLA) {
        if (!cause.empty()) cause += ", and whose ";
        cause += (boost::format("circles have law *%1%*, a parabola-rectangle law for concrete") %
                  lawName(*bars, laws)).str();
    }
    return cause;
}

// The domain of the deformator's model; none when its bars, or its concrete
// elements, do not all have one law, which the deformator has said when it
// was made.
static VelboInteractionPoints* uniformSurface(VelboSecDeformRC& deformator, int degreeDivision,
                                              int ratioDivision) {
    if (deformator.mixedLaws()) return nullptr;
    return deformator.interactionSurface(degreeDivision, ratioDivision, VelboSecDeformRC::ISO_UNIFORM);
}

// The area of the concrete in the geometry the build turns: the saved one.
static double savedSolidArea(const VelboSectionModel& model) {
    double area = 0.0;
    for (const VelboSectionElement* element : model.sectionElements()) {
        if (element == nullptr || !element->elementIsSolid() || element->sizeOfNodes() != 3) continue;
        double xy[6] = {};
        for (int i = 0; i < 3; ++i) {
            const VelboNode2D* node = element->nodeAt(i);
            if (node == nullptr) continue;
            VelboNode2D saved(*node);
            saved.nodeRestoreGeometry();
            xy[2 * i] = saved.xn();
            xy[2 * i + 1] = saved.yn();
        }
        area += VelboTriangle::triangleArea(xy[0], xy[1], xy[2], xy[3], xy[4], xy[5]);
    }
    return area;
}

namespace {

// What a domain build changes in its model: the coordinates of the nodes,
// the meshes and the reset flag. Taken before anything is turned and put
// back when the undo goes, unless the build is kept.
class BuildUndo {
public:
    explicit BuildUndo(VelboSectionModel& model) : m_model(model) {
        const std::vector<VelboNode2D*> nodes = model.sectionNodes();
        m_nodes.reserve(nodes.size());
        for (VelboNode2D* node : nodes) {
            if (node == nullptr) continue;
            VelboNode2D saved(*node);
            saved.nodeRestoreGeometry();
            m_nodes.push_back({node, node->xn(), node->yn(), saved.xn(), saved.yn()});
        }
        m_meshes = model.meshesPark();
    }
    ~BuildUndo() {
        if (m_kept) return;
        for (const NodeState& n : m_nodes) {
            // Saved and current coordinates: setXn sets both.
            n.node->setXn(n.savedX);
            n.node->setYn(n.savedY);
            n.node->rXn() = n.x;
            n.node->rYn() = n.y;
        }
        m_model.meshesUnpark(m_meshes);
    }
    BuildUndo(const BuildUndo&) = delete;
    BuildUndo& operator=(const BuildUndo&) = delete;

    // The model stays as the build left it; the meshes it had before go.
    void keep() {
        m_model.meshesDropParked(m_meshes);
        m_kept = true;
    }

private:
    struct NodeState {
        VelboNode2D* node;
        double x, y, savedX, savedY;
    };
    VelboSectionModel& m_model;
    std::vector<NodeState> m_nodes;
    VelboSectionModel::ParkedMeshes m_meshes;
    bool m_kept = false;
};

}  // namespace

void VelboModeler::setInterruptCheck(std::function<bool()> interrupted) {
    m_interruptCheck = std::move(interrupted);
}

bool VelboModeler::buildDomain(int degreeDivision, int ratioDivision, bool rebuild) {
    std::clog << boost::format("VelboModeler::buildDomain(): start\n");
    VelboSectionModel* model = m_currentOrReport();
    if (model == nullptr) return false;
    // Kept for the whole call: whatever the check does, the domain goes to
    // this model.
    const int modelId = m_currentModelId;

    if (m_interactionPointsMap.count(modelId) != 0 && !rebuild) {
        std::clog << boost::format(
                         "VelboModeler::buildDomain(): ... domain yet exists and wont't be built\n")
                  << boost::format(
                         "VelboModeler::buildDomain(): ... NOTE: call buildDomain with rebuild = "
                         "true if you want rebuild it !!!\n");
        return true;
    }

    // Refuse what the deformator cannot build, before any node is turned.
    if (degreeDivision < 1 || ratioDivision < 1) {
        std::cerr << boost::format(
                         "ERR: Cannot build domain with degreeDivision = %1% and ratioDivision = %2%: "
                         "both must be at least 1\n") %
                         degreeDivision % ratioDivision;
        return false;
    }
    // Both divisions are at least 1 here: the point count of any two ints
    // fits an unsigned long long (not always a long long).
    const unsigned long long points = (4ULL * static_cast<unsigned int>(degreeDivision) + 1) *
                                      (static_cast<unsigned long long>(ratioDivision) + 1);
    if (points > INT_MAX) {
        std::cerr << boost::format("ERR: Cannot build domain of %1% points: too many\n") % points;
        return false;
    }
    if (model->sectionSolidElementsSize() == 0) {
        std::cerr << boost::format("ERR: Cannot build domain of a model without triangles\n");
        return false;
    }
    if (model->sectionPointElementsSize() == 0) {
        std::cerr << boost::format("ERR: Cannot build domain of a model without circles\n");
        return false;
    }
    if (refusedForNodesOfAnotherModel(*model)) return false;
    const std::string nonFinite = nonFiniteCause(*model, m_laws);
    if (!nonFinite.empty()) {
        std::cerr << boost::format("ERR: Cannot build domain of a model whose %1%\n") % nonFinite;
        return false;
    }
    // Moments are taken about the barycentre of the concrete, and every
    // direction turns the section about it: no area, no barycentre.
    if (!(savedSolidArea(*model) > 0.0)) {
        std::cerr << boost::format("ERR: Cannot build domain of a model whose concrete has no area\n");
        return false;
    }
    const std::string wrongKind = wrongLawKindCause(*model, m_laws);
    if (!wrongKind.empty()) {
        std::cerr << boost::format("ERR: Cannot build domain of a model whose %1%\n") % wrongKind;
        return false;
    }

    std::clog << boost::format("VelboModeler::buildDomain(): ... build deformator\n");
    bool built = false;
    try {
        // The check as it stands now, asked until it says stop, and then not again.
        const std::function<bool()> check = m_interruptCheck;
        bool interrupted = false;
        std::function<bool()> stop;
        if (check) {
            stop = [&check, &interrupted] {
                if (!interrupted && check()) interrupted = true;
                return interrupted;
            };
        }
        // Whatever way the build ends but success, the model is put back as
        // it is now; the earlier domain, if any, stays until the new one is made.
        BuildUndo undo(*model);
        VelboSecDeformRC deformator(model);
        deformator.setInterruptCheck(stop);
        std::unique_ptr<VelboInteractionPoints> domain(
            uniformSurface(deformator, degreeDivision, ratioDivision));
        if (interrupted) {
            std::cerr << boost::format("ERR: Cannot build domain: interrupted\n");
        } else if (domain) {
            VelboInteractionPoints*& slot = m_interactionPointsMap[modelId];
            delete slot;
            slot = domain.release();
            undo.keep();
            built = true;
        }
    } catch (const std::bad_alloc&) {
        std::cerr << boost::format("ERR: Cannot build domain: out of memory\n");
    }
    if (!built) {
        std::clog << boost::format("VelboModeler::buildDomain(): end. Return false !!! \n");
        return false;
    }
    std::clog << boost::format("VelboModeler::buildDomain(): end. Return true !!! \n");
    return true;
}

const VelboInteractionPoints* VelboModeler::m_currentPointsOrReport() const {
    if (m_currentOrReport() == nullptr) return nullptr;
    const auto found = m_interactionPointsMap.find(m_currentModelId);
    if (found == m_interactionPointsMap.end() || found->second == nullptr) {
        std::cerr << boost::format("ERR: We need to use buildDomain before.\n");
        return nullptr;
    }
    return found->second;
}

VDouble VelboModeler::fzVector() const {
    std::clog << boost::format("VelboModeler::fzVector(): start\n");
    const VelboInteractionPoints* domain = m_currentPointsOrReport();
    return domain == nullptr ? VDouble() : domain->interactionPointsFzToVector();
}

VDouble VelboModeler::mxVector() const {
    std::clog << boost::format("VelboModeler::mxVector(): start\n");
    const VelboInteractionPoints* domain = m_currentPointsOrReport();
    return domain == nullptr ? VDouble() : domain->interactionPointsMxToVector();
}

VDouble VelboModeler::myVector() const {
    std::clog << boost::format("VelboModeler::myVector(): start\n");
    const VelboInteractionPoints* domain = m_currentPointsOrReport();
    return domain == nullptr ? VDouble() : domain->interactionPointsMyToVector();
}

VDouble VelboModeler::domainBounding() const {
    std::clog << boost::format("VelboModeler::domainBounding(): start\n");
    const VelboInteractionPoints* domain = m_currentPointsOrReport();
    if (domain == nullptr) return VDouble();
    return VDouble{domain->getFzMin(), domain->getFzMax(), domain->getMxMin(),
                   domain->getMxMax(), domain->getMyMin(), domain->getMyMax()};
}

VFloat VelboModeler::intersectAtZDir(double z) const {
    return m_cutDomain("intersectAtZDir", XVertexGrid::dp_XY, z);
}

VFloat VelboModeler::intersectAtXDir(double x) const {
    return m_cutDomain("intersectAtXDir", XVertexGrid::dp_YZ, x);
}

VFloat VelboModeler::intersectAtYDir(double y) const {
    return m_cutDomain("intersectAtYDir", XVertexGrid::dp_XZ, y);
}

VFloat VelboModeler::m_cutDomain(const char* method, int plane, double value) const {
    std::clog << boost::format("VelboModeler::%1%(): start\n") % method;
    const VelboInteractionPoints* domain = m_currentPointsOrReport();
    if (domain == nullptr) return VFloat();
    // The grid holds the points in single precision. The bounds are the
    // extremes of every point, so they tell whether all of them fit.
    const VDouble bounds{domain->getFzMin(), domain->getFzMax(), domain->getMxMin(),
                         domain->getMxMax(), domain->getMyMin(), domain->getMyMax()};
    if (!std::all_of(bounds.begin(), bounds.end(),
                     [](double bound) { return std::isfinite(bound) && XVertexGrid::fitsFloat(bound); })) {
        std::cerr << boost::format(
            "ERR: Cannot cut a domain whose points lie beyond the range of single precision\n");
        return VFloat();
    }
    if (!XVertexGrid::fitsFloat(value)) {
        std::cerr << boost::format(
                         "ERR: Cannot cut the domain at %1%: the value lies beyond the range of single "
                         "precision\n") %
                         value;
        return VFloat();
    }
    const std::unique_ptr<XVertexGrid> grid(domain->interactionPointsGrid());
    if (!grid) {
        std::cerr << boost::format("VelboModeler::%1%(): no vertex grid of the domain, return empty\n") %
                         method;
        return VFloat();
    }
    grid->toIndexRdir();
    grid->toIndexSdir();
    const float slice = static_cast<float>(value);
    unsigned int nb = 0;
    bool cut = false;
    switch (plane) {
        case XVertexGrid::dp_YZ: cut = grid->toVertexIntersecXdir(slice, &nb, true); break;
        case XVertexGrid::dp_XZ: cut = grid->toVertexIntersecYdir(slice, &nb, true); break;
        default: cut = grid->toVertexIntersecZdir(slice, &nb, true); break;
    }
    if (!cut) {
        if (plane == XVertexGrid::dp_XY)
            std::cerr << boost::format("VelboModeler::%1%(): toVertexIntersecZdir failed at My = %2%\n") %
                             method % value;
        std::cerr << boost::format("VelboModeler::%1%(): no cut of the domain, return empty\n") % method;
        return VFloat();
    }
    VFloat polygon;
    switch (plane) {
        case XVertexGrid::dp_YZ: polygon = grid->vertexIntersecXdir(); break;
        case XVertexGrid::dp_XZ: polygon = grid->vertexIntersecYdir(); break;
        default: polygon = grid->vertexIntersecZdir(); break;
    }
    // Points near the float limits can overflow while they are interpolated.
    if (!std::all_of(polygon.begin(), polygon.end(), [](float v) { return std::isfinite(v); })) {
        std::cerr << boost::format(
                         "ERR: Cannot cut the domain at %1%: the outline overflows single precision\n") %
                         value;
        return VFloat();
    }
    if (plane == XVertexGrid::dp_XY)
        std::clog << boost::format("VelboModeler::%1%(): cut at My = %2% with %3% vertices\n") % method %
                         value % nb;
    return polygon;
}
