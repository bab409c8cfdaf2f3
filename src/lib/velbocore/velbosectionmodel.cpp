#include "velbocore/velbosectionmodel.h"

#include <algorithm>
#include <new>

#include "coreobj/func2linear.h"
#include "coreobj/funclinear.h"
#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velbomesh.h"
#include "velbocore/velbosectionelement.h"

unsigned int VelboSectionModel::m_instances = 0;

VelboSectionModel::VelboSectionModel(int id)
    : XId(id)
    , m_resetted(true)
    , m_nCoeff(1.0f)
{
}

VelboSectionModel::~VelboSectionModel()
{
    for (VelboMesh* mesh : m_meshes_trash) {
        delete mesh;
    }
}

bool VelboSectionModel::sectionAddNode(VelboNode2D* node)
{
    m_nodes.push_back(node);
    return true;
}

bool VelboSectionModel::sectionAddElement(VelboSectionElement* element)
{
    m_elements.push_back(element);
    if (element->elementIsSolid()) {
        m_elementsSolid.push_back(element);
    } else {
        m_elementsPoints.push_back(element);
    }
    const VelboCostitutiveLaw* law = element->getCostitutiveLaw();
    if (std::find(m_laws.begin(), m_laws.end(), law) == m_laws.end()) {
        m_laws.push_back(law);
    }
    return true;
}

VelboSectionModel* VelboSectionModel::sectionClone() const
{
    VelboSectionModel* model = new VelboSectionModel(id());
    for (const VelboNode2D* node : m_nodes) {
        model->sectionAddNode(node ? node->clone() : nullptr);
    }

    // The caller owns the cloned nodes and elements; on failure nobody
    // would, so they are released here together with the new model.
    auto discard = [model](VelboSectionElement* pending) {
        delete pending;
        for (VelboSectionElement* element : model->m_elements) {
            delete element;
        }
        for (VelboNode2D* node : model->m_nodes) {
            delete node;
        }
        delete model;
    };

    for (const VelboSectionElement* element : m_elements) {
        VelboSectionElement* copy = element->clone();
        for (int k = 0; k < copy->sizeOfNodes(); ++k) {
            const VelboNode2D* node = copy->nodeAt(k);
            const int pos = node ? model->sectionFindFirstOfNodeId(node->id()) : -1;
            if (pos < 0) {
                discard(copy);
                return nullptr;
            }
            copy->setNode(model->m_nodes[pos], k);
        }
        model->sectionAddElement(copy);
    }
    return model;
}

bool VelboSectionModel::meshesMake()
{
    // Room for all that follows, so that running out of memory can only
    // happen while nothing is changed or inside an element's meshMake, and
    // then every mesh still has an owner.
    std::vector<VelboMesh*> made;
    made.reserve(m_elementsSolid.size());
    m_meshes_trash.reserve(m_meshes_trash.size() + m_meshes.size());

    bool everyElement = true;
    try {
        for (VelboSectionElement* element : m_elementsSolid) {
            VelboMesh* mesh = element->meshMake();
            if (!mesh) {
                everyElement = false;
                break;
            }
            made.push_back(mesh);
        }
    } catch (...) {
        m_replaceMeshes(made, false);
        throw;
    }
    m_replaceMeshes(made, everyElement);
    return everyElement;
}

void VelboSectionModel::m_replaceMeshes(std::vector<VelboMesh*>& made, bool everyElement)
{
    for (VelboMesh* mesh : m_meshes) {
        if (!mesh) {
            continue;
        }
        const bool inUse = !everyElement
            && std::any_of(m_elementsSolid.begin(), m_elementsSolid.end(),
                           [mesh](const VelboSectionElement* e) { return e->mesh() == mesh; });
        if (inUse) {
            m_meshes_trash.push_back(mesh);  // room reserved by meshesMake
        } else {
            delete mesh;
        }
    }
    m_meshes.swap(made);
}

VelboSectionModel::ParkedMeshes VelboSectionModel::meshesPark()
{
    ParkedMeshes parked;
    parked.elementMeshes.reserve(m_elements.size());
    for (const VelboSectionElement* element : m_elements) {
        parked.elementMeshes.push_back(element->mesh());
    }
    // Nothing has changed until here.
    parked.meshes.swap(m_meshes);
    parked.trashSize = m_meshes_trash.size();
    parked.resetted = m_resetted;
    for (VelboSectionElement* element : m_elements) {
        element->elementSetMesh(nullptr);
    }
    return parked;
}

void VelboSectionModel::meshesUnpark(ParkedMeshes& parked)
{
    // Every mesh an element points to is in the mesh list or was put in the
    // trash by meshesMake: none of the parked ones.
    for (VelboMesh* mesh : m_meshes) {
        delete mesh;
    }
    m_meshes.clear();
    for (std::size_t i = parked.trashSize; i < m_meshes_trash.size(); ++i) {
        delete m_meshes_trash[i];
    }
    m_meshes_trash.resize(std::min(parked.trashSize, m_meshes_trash.size()));
    m_meshes.swap(parked.meshes);
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        m_elements[i]->elementSetMesh(i < parked.elementMeshes.size() ? parked.elementMeshes[i] : nullptr);
    }
    m_resetted = parked.resetted;
    parked.elementMeshes.clear();
}

void VelboSectionModel::meshesDropParked(ParkedMeshes& parked)
{
    for (VelboMesh* mesh : parked.meshes) {
        delete mesh;
    }
    parked.meshes.clear();
    parked.elementMeshes.clear();
}

bool VelboSectionModel::meshesReset()
{
    if (m_resetted) {
        return false;
    }
    // meshesMake releases the meshes it replaces.
    if (!meshesMake()) {
        return false;
    }
    m_resetted = true;
    return true;
}

bool VelboSectionModel::meshesSliceAtYrays(const std::vector<double>& rays)
{
    for (VelboMesh* mesh : m_meshes) {
        mesh->setRays(rays);
        if (!mesh->remeshWithRays()) {
            return false;
        }
    }
    m_resetted = false;
    return true;
}

bool VelboSectionModel::meshesSliceAtRays(const std::vector<Func2Linear>& rays)
{
    for (VelboMesh* mesh : m_meshes) {
        mesh->setRays(rays);
        if (!mesh->remeshWithRays()) {
            return false;
        }
    }
    m_resetted = false;
    return true;
}

VelboMesh* VelboSectionModel::meshAt(int pos) const
{
    return m_meshes.at(static_cast<std::size_t>(pos));
}

int VelboSectionModel::meshesSize() const
{
    return static_cast<int>(m_meshes.size());
}

int VelboSectionModel::sectionFindFirstOfNodeId(int id) const
{
    const auto it = std::find_if(m_nodes.begin(), m_nodes.end(),
                                 [id](const VelboNode2D* node) { return node && node->id() == id; });
    return it == m_nodes.end() ? -1 : static_cast<int>(it - m_nodes.begin());
}

VelboNode2D* VelboSectionModel::sectionNodeAt(int pos) const
{
    return m_nodes.at(static_cast<std::size_t>(pos));
}

VelboNode2D* VelboSectionModel::sectionPointNodeAt(int pos) const
{
    return m_elementsPoints.at(static_cast<std::size_t>(pos))->nodeAt(0);
}

int VelboSectionModel::sectionFindFirstOfElementId(int id) const
{
    const auto it = std::find_if(m_elements.begin(), m_elements.end(),
                                 [id](const VelboSectionElement* e) { return e->id() == id; });
    return it == m_elements.end() ? -1 : static_cast<int>(it - m_elements.begin());
}

VelboSectionElement* VelboSectionModel::sectionElementAt(int pos) const
{
    return m_elements.at(static_cast<std::size_t>(pos));
}

int VelboSectionModel::sectionNodesSize() const
{
    return static_cast<int>(m_nodes.size());
}

int VelboSectionModel::sectionElementsSize() const
{
    return static_cast<int>(m_elements.size());
}

int VelboSectionModel::sectionSolidElementsSize() const
{
    return static_cast<int>(m_elementsSolid.size());
}

int VelboSectionModel::sectionPointElementsSize() const
{
    return static_cast<int>(m_elementsPoints.size());
}

std::vector<VelboNode2D*> VelboSectionModel::sectionNodes() const
{
    return m_nodes;
}

void VelboSectionModel::sectionSetNodes(const std::vector<VelboNode2D*>& nodes)
{
    m_nodes = nodes;
}

std::vector<VelboSectionElement*> VelboSectionModel::sectionElements() const
{
    return m_elements;
}

void VelboSectionModel::sectionSetElements(const std::vector<VelboSectionElement*>& elements)
{
    m_elements = elements;
}

std::vector<const VelboCostitutiveLaw*> VelboSectionModel::laws() const
{
    return m_laws;
}

int VelboSectionModel::sectionSizeOfLaws() const
{
    return static_cast<int>(m_laws.size());
}

void VelboSectionModel::updateLaws()
{
    m_laws.clear();
    for (const VelboSectionElement* element : m_elements) {
        const VelboCostitutiveLaw* law = element->getCostitutiveLaw();
        if (std::find(m_laws.begin(), m_laws.end(), law) == m_laws.end()) {
            m_laws.push_back(law);
        }
    }
}

float VelboSectionModel::nCoeff() const
{
    return m_nCoeff;
}

void VelboSectionModel::setNCoeff(float newNCoeff)
{
    m_nCoeff = newNCoeff;
}

void VelboSectionModel::sectionTranslate(const VelboNode2D& toPoint, const VelboNode2D& basePoint)
{
    // The offset is taken once: either point may be one of the nodes moved.
    const double dx = toPoint.xn() - basePoint.xn();
    const double dy = toPoint.yn() - basePoint.yn();
    for (VelboNode2D* node : m_nodes) {
        if (node) {
            node->nodeTranslate(dx, dy);
        }
    }
}

void VelboSectionModel::sectionRotate(double degree)
{
    for (VelboNode2D* node : m_nodes) {
        if (node) {
            node->nodeRotate(degree);
        }
    }
}

void VelboSectionModel::sectionRotate(double degree, const VelboNode2D& basePoint)
{
    // A copy, since the base point may be one of the nodes turned.
    const VelboNode2D base(basePoint);
    for (VelboNode2D* node : m_nodes) {
        if (node) {
            node->nodeRotate(degree, base);
        }
    }
}

void VelboSectionModel::sectionRestoreGeometry()
{
    for (VelboNode2D* node : m_nodes) {
        if (node) {
            node->nodeRestoreGeometry();
        }
    }
}

void VelboSectionModel::sectionSavingGeometry()
{
    for (VelboNode2D* node : m_nodes) {
        if (node) {
            node->nodeSavingGeometry();
        }
    }
}

unsigned int VelboSectionModel::instances()
{
    return m_instances;
}

void* VelboSectionModel::operator new(std::size_t size)
{
    void* p = ::operator new(size);
    ++m_instances;
    return p;
}

void VelboSectionModel::operator delete(void* p)
{
    if (!p) {
        return;
    }
    --m_instances;
    ::operator delete(p);
}

// Section computations. Every one walks m_elements in order and asks each
// element whether it is solid; nothing is cached.

VelboNode2D VelboSectionModel::sectionCalcSolidBarycenter() const
{
    double ax = 0.0;
    double ay = 0.0;
    double s = 0.0;
    for (const VelboSectionElement* element : m_elements) {
        if (!element->elementIsSolid()) {
            continue;
        }
        const VelboNode2D g = element->elementCalcBarycenter();
        const double w = element->elementCalcArea();
        ax += g.xn() * w;
        ay += g.yn() * w;
        s += w;
    }
    // No test of s: no element of the kind gives 0/0, that is NaN.
    return VelboNode2D(ax / s, ay / s, 0);
}

VelboNode2D VelboSectionModel::sectionCalcPointBarycenter(bool area) const
{
    double ax = 0.0;
    double ay = 0.0;
    double s = 0.0;
    for (const VelboSectionElement* element : m_elements) {
        if (element->elementIsSolid()) {
            continue;
        }
        const VelboNode2D g = element->elementCalcBarycenter();
        const double w = area ? element->elementCalcArea() : 1.0;
        ax += g.xn() * w;
        ay += g.yn() * w;
        s += w;
    }
    return VelboNode2D(ax / s, ay / s, 0);
}

VelboNode2D VelboSectionModel::sectionCalcIdealBarycenter() const
{
    const double n = m_nCoeff;
    double ax = 0.0;
    double ay = 0.0;
    double s = 0.0;
    for (const VelboSectionElement* element : m_elements) {
        const VelboNode2D g = element->elementCalcBarycenter();
        const double area = element->elementCalcArea();
        const double w = element->elementIsSolid() ? area : area * n;
        ax += g.xn() * w;
        ay += g.yn() * w;
        s += w;
    }
    return VelboNode2D(ax / s, ay / s, 0);
}

double VelboSectionModel::sectionCalcSolidArea() const
{
    double area = 0.0;
    for (const VelboSectionElement* element : m_elements) {
        if (element->elementIsSolid()) {
            area += element->elementCalcArea();
        }
    }
    return area;
}

double VelboSectionModel::sectionCalcPointArea() const
{
    double area = 0.0;
    for (const VelboSectionElement* element : m_elements) {
        if (!element->elementIsSolid()) {
            area += element->elementCalcArea();
        }
    }
    return area;
}

double VelboSectionModel::sectionCalcIdealArea() const
{
    const double points = sectionCalcPointArea() * static_cast<double>(m_nCoeff);
    return sectionCalcSolidArea() + points;
}

double VelboSectionModel::sectionCalcSolidRadius(const VelboNode2D& node) const
{
    double radius = 0.0;
    for (const VelboSectionElement* element : m_elements) {
        if (!element->elementIsSolid()) {
            continue;
        }
        for (int k = 0; k < element->sizeOfNodes(); ++k) {
            const VelboNode2D* vertex = element->nodeAt(k);
            if (!vertex) {
                continue;
            }
            const double distance = vertex->measureDistanceFrom(&node);
            if (distance > radius) {
                radius = distance;
            }
        }
    }
    return radius;
}

void VelboSectionModel::sectionCalcSolidYRange(double* topY, double* bottomY) const
{
    // Starting at the barycentre leaves NaN ends when there is no solid
    // element: no comparison with NaN replaces it.
    m_calcYRange(true, sectionCalcSolidBarycenter().yn(), topY, bottomY);
}

void VelboSectionModel::sectionCalcPointYRange(double* topY, double* bottomY) const
{
    m_calcYRange(false, sectionCalcPointBarycenter(false).yn(), topY, bottomY);
}

void VelboSectionModel::m_calcYRange(bool solid, double start, double* topY, double* bottomY) const
{
    double top = start;
    double bottom = start;
    for (const VelboSectionElement* element : m_elements) {
        if (element->elementIsSolid() != solid) {
            continue;
        }
        const double yTop = element->elementYtop();
        const double yBot = element->elementYbot();
        if (top > yTop) {
            top = yTop;
        }
        if (bottom < yBot) {
            bottom = yBot;
        }
    }
    if (topY) {
        *topY = top;
    }
    if (bottomY) {
        *bottomY = bottom;
    }
}

void VelboSectionModel::sectionCalcYRange(double* topY, double* bottomY) const
{
    double st = 0.0;
    double sb = 0.0;
    double pt = 0.0;
    double pb = 0.0;
    sectionCalcSolidYRange(&st, &sb);
    sectionCalcPointYRange(&pt, &pb);
    if (topY) {
        *topY = pt > st ? st : pt;
    }
    if (bottomY) {
        *bottomY = sb > pb ? sb : pb;
    }
}

VelboAreaProperties VelboSectionModel::sectionCalcSolidAreaProperties() const
{
    VelboAreaProperties sum;
    for (const VelboSectionElement* element : m_elements) {
        if (element->elementIsSolid()) {
            sum += element->elementCalcAreaProperties();
        }
    }
    return sum;
}

VelboAreaProperties VelboSectionModel::sectionCalcPointAreaProperties() const
{
    VelboAreaProperties sum;
    for (const VelboSectionElement* element : m_elements) {
        if (!element->elementIsSolid()) {
            sum += element->elementCalcAreaProperties();
        }
    }
    return sum;
}

VelboAreaProperties VelboSectionModel::sectionCalcIdealAreaProperties() const
{
    VelboAreaProperties ideal = sectionCalcSolidAreaProperties();
    ideal += sectionCalcPointAreaProperties() * m_nCoeff;
    return ideal;
}

VelboSectionForces VelboSectionModel::sectionCalcForcesByLaw(const FuncLinear& planeStrain) const
{
    VelboSectionForces sum;
    for (const VelboSectionElement* element : m_elements) {
        sum += element->elementForcesByLaw(planeStrain);
    }
    return sum;
}
