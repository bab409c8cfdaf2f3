// The Python module velbomodeler: the facade, its value classes and its
// containers, registered with Boost.Python.

#include <boost/python.hpp>
#include <boost/python/suite/indexing/map_indexing_suite.hpp>
#include <boost/python/suite/indexing/vector_indexing_suite.hpp>

#include <vector>

#include "velbocore/velboareaproperties.h"
#include "velbocore/velbocircle.h"
#include "velbocore/velbomodeler.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velbotriangle.h"

using namespace boost::python;

typedef std::vector<VelboTriangle> VecTriangles;

// Turns the facade's one exception into a Python RuntimeError.
void translate(exc_id_not_present const& e) { PyErr_SetString(PyExc_RuntimeError, e.what()); }

// Copies a map of the facade into a new dict, in ascending key order.
template <class Map>
static dict mapToPythonDict(const Map& map) {
    dict result;
    for (const auto& [key, value] : map) result[key] = value;
    return result;
}

dict toPythonDict(MapNodes map) { return mapToPythonDict(map); }
dict toPythonDict(MapTriangles map) { return mapToPythonDict(map); }
dict toPythonDict(MapCircles map) { return mapToPythonDict(map); }
dict toPythonDict(MIntVInt map) { return mapToPythonDict(map); }
dict toPythonDict(MIntVDouble map) { return mapToPythonDict(map); }

template <class T>
list toPythonList(std::vector<T> vector) {
    list result;
    for (const T& value : vector) result.append(value);
    return result;
}

// One variable per overload, so that overloads sharing a name can be registered.
dict (*MapNodestoPythonDict)(MapNodes) = &toPythonDict;
dict (*MapTrianglestoPythonDict)(MapTriangles) = &toPythonDict;
dict (*MapCirclestoPythonDict)(MapCircles) = &toPythonDict;
dict (*MapMIntVInttoPythonDict)(MIntVInt) = &toPythonDict;
dict (*MapMIntVDoublestoPythonDict)(MIntVDouble) = &toPythonDict;
list (*VIntToPythonList)(VInt) = &toPythonList<int>;
list (*VDoubleToPythonList)(VDouble) = &toPythonList<double>;

BOOST_PYTHON_MEMBER_FUNCTION_OVERLOADS(VelboModeler_addSection_overloads, addSection, 1, 2)

// Property accessors of the identifier base, seen from each value class.
template <class T>
static int objectId(const T& object) {
    return object.id();
}
template <class T>
static void setObjectId(T& object, int id) {
    object.setId(id);
}

BOOST_PYTHON_MODULE(velbomodeler) {
    register_exception_translator<exc_id_not_present>(&translate);

    def("toPythonDict", MapNodestoPythonDict);
    def("toPythonDict", MapTrianglestoPythonDict);
    def("toPythonDict", MapCirclestoPythonDict);
    def("toPythonDict", MapMIntVInttoPythonDict);
    def("toPythonDict", MapMIntVDoublestoPythonDict);
    def("toPythonList", VIntToPythonList);
    def("toPythonList", VDoubleToPythonList);

    class_<VInt>("VInt").def(vector_indexing_suite<VInt>());
    class_<VDouble>("VDouble").def(vector_indexing_suite<VDouble>());
    class_<VVDouble>("VVDouble").def(vector_indexing_suite<VVDouble>());
    class_<VFloat>("VFloat").def(vector_indexing_suite<VFloat>());
    class_<MIntVInt>("MIntVInt").def(map_indexing_suite<MIntVInt>());
    class_<MIntVDouble>("MIntVDouble").def(map_indexing_suite<MIntVDouble>());
    class_<VecNodes>("VecNodes").def(vector_indexing_suite<VecNodes>());
    class_<VecTriangles>("VecTriangles").def(vector_indexing_suite<VecTriangles>());
    class_<VecCircles>("VecCircles").def(vector_indexing_suite<VecCircles>());
    class_<MapNodes>("MapNodes").def(map_indexing_suite<MapNodes, true>());

    class_<VelboNode2D>("VelboNode2D", init<>())
        .def(init<int>())
        .def(init<double, double>())
        .def(init<double, double, int>())
        .add_property("id", &objectId<VelboNode2D>, &setObjectId<VelboNode2D>)
        .add_property("xn", &VelboNode2D::xn, &VelboNode2D::setXn)
        .add_property("yn", &VelboNode2D::yn, &VelboNode2D::setYn);

    class_<MapTriangles>("MapTriangles").def(map_indexing_suite<MapTriangles>());

    class_<VelboTriangle>("VelboTriangle", init<>())
        .def(init<int>())
        .add_property("id", &objectId<VelboTriangle>, &setObjectId<VelboTriangle>)
        .add_property("p1", &VelboTriangle::getNodeP1, &VelboTriangle::setNodeP1)
        .add_property("p2", &VelboTriangle::getNodeP2, &VelboTriangle::setNodeP2)
        .add_property("p3", &VelboTriangle::getNodeP3, &VelboTriangle::setNodeP3);

    class_<MapCircles>("MapCircles").def(map_indexing_suite<MapCircles>());

    class_<VelboCircle>("VelboCircle", init<>())
        .def(init<int>())
        .add_property("id", &objectId<VelboCircle>, &setObjectId<VelboCircle>)
        .add_property("radius", &VelboCircle::radius, &VelboCircle::setRadiusNC)
        .add_property("center", &VelboCircle::getNodeCenter, &VelboCircle::setCenterNode);

    class_<VelboAreaProperties>("VelboAreaProperties", init<>())
        .add_property("area", &VelboAreaProperties::area, &VelboAreaProperties::setArea)
        .add_property("sx", &VelboAreaProperties::sx, &VelboAreaProperties::setSx)
        .add_property("ixx", &VelboAreaProperties::ixx, &VelboAreaProperties::setIxx)
        .add_property("iyy", &VelboAreaProperties::iyy, &VelboAreaProperties::setIyy)
        .add_property("ixy", &VelboAreaProperties::ixy, &VelboAreaProperties::setIxy)
        .add_property("ixxx", &VelboAreaProperties::ixxx, &VelboAreaProperties::setIxxx)
        .add_property("ixxy", &VelboAreaProperties::ixxy, &VelboAreaProperties::setIxxy);

    class_<VelboModeler, boost::noncopyable>("VelboModeler", init<>())
        .def("addSection", &VelboModeler::addSection,
             VelboModeler_addSection_overloads((arg("id"), arg("setCurrent")),
                                               "Add a model and optionally make current"))
        .def("setCurrent", &VelboModeler::setCurrent)
        .def("getCurrent", &VelboModeler::getCurrent)
        .def("getCurrentType", &VelboModeler::getCurrentType)
        .def("getModelIndexes", &VelboModeler::getIndexes)
        .def("buildDomain", &VelboModeler::buildDomain)
        .def("domainBounding", &VelboModeler::domainBounding)
        .def("fzVector", &VelboModeler::fzVector)
        .def("mxVector", &VelboModeler::mxVector)
        .def("myVector", &VelboModeler::myVector)
        .def("intersectAtZDir", &VelboModeler::intersectAtZDir)
        .def("intersectAtXDir", &VelboModeler::intersectAtXDir)
        .def("intersectAtYDir", &VelboModeler::intersectAtYDir)
        .def("sizeOfSectionModels", &VelboModeler::sizeOfSectionModels)
        .def("sectionRotate", &VelboModeler::sectionRotate)
        .def("addNode", &VelboModeler::addNode)
        .def("getNodeX", &VelboModeler::getNodeX)
        .def("getNodeY", &VelboModeler::getNodeY)
        .def("setNodeX", &VelboModeler::setNodeX)
        .def("setNodeY", &VelboModeler::setNodeY)
        .def("nodesSize", &VelboModeler::nodesSize)
        .def("getNodesCoords", &VelboModeler::getNodesCoords)
        .def("getNodes", &VelboModeler::getNodes)
        .def("addTriangle", &VelboModeler::addTriangle)
        .def("trianglesSize", &VelboModeler::trianglesSize)
        .def("getTrianglesIds", &VelboModeler::getTrianglesIds)
        .def("getTrianglesCoords", &VelboModeler::getTrianglesCoords)
        .def("addCircle", &VelboModeler::addCircle)
        .def("circlesSize", &VelboModeler::circlesSize)
        .def("getCirclesIds", &VelboModeler::getCirclesIds)
        .def("getCirclesRadius", &VelboModeler::getCirclesRadius)
        .def("getCircles", &VelboModeler::getCircles)
        .def("setCircleRadius", &VelboModeler::setCircleRadius)
        .def("addLawParaboleRectangle", &VelboModeler::addLawParaboleRectangle)
        .def("addLawBilinear", &VelboModeler::addLawBilinear)
        .def("setCirclesLaw", &VelboModeler::setCirclesLaw)
        .def("setTrianglesLaw", &VelboModeler::setTrianglesLaw)
        .def("meshMake", &VelboModeler::meshMake)
        .def("meshReset", &VelboModeler::meshReset)
        .def("meshesSliceAtYrays", &VelboModeler::meshesSliceAtYrays)
        .def("meshesSliceAtRays", &VelboModeler::meshesSliceAtRays)
        .def("meshSize", &VelboModeler::meshSize)
        .def("nodesSizeAtMesh", &VelboModeler::nodesSizeAtMesh)
        .def("trianglesSizeAtMesh", &VelboModeler::trianglesSizeAtMesh)
        .def("circlesSizeAtMesh", &VelboModeler::circlesSizeAtMesh)
        .def("getNodesAtMesh", &VelboModeler::getNodesAtMesh)
        .def("getTrianglesIdsAtMesh", &VelboModeler::getTrianglesIdsAtMesh)
        .def("getTrianglesCoordsAtMesh", &VelboModeler::getTrianglesCoordsAtMesh)
        .def("getCirclesAtMesh", &VelboModeler::getCirclesAtMesh)
        .def("calcSolidBarycenter", &VelboModeler::calcSolidBarycenter)
        .def("calcPointBarycenter", &VelboModeler::calcPointBarycenter)
        .def("calcIdealBarycenter", &VelboModeler::calcIdealBarycenter)
        .def("calcSolidAreaProperties", &VelboModeler::calcSolidAreaProperties)
        .def("calcPointAreaProperties", &VelboModeler::calcPointAreaProperties)
        .def("calcIdealAreaProperties", &VelboModeler::calcIdealAreaProperties)
        .def("calcSolidArea", &VelboModeler::calcSolidArea)
        .def("calcPointArea", &VelboModeler::calcPointArea)
        .def("calcIdealArea", &VelboModeler::calcIdealArea)
        .def("setNCoeff", &VelboModeler::setNCoeff)
        .def("nCoeff", &VelboModeler::nCoeff)
        .def("printInfo", &VelboModeler::printInfo)
        .staticmethod("printInfo")
        .def("instancesOfModels", &VelboModeler::instancesOfModels)
        .staticmethod("instancesOfModels")
        .def("instancesOfMesh", &VelboModeler::instancesOfMesh)
        .staticmethod("instancesOfMesh")
        .def("instancesOfNode2D", &VelboModeler::instancesOfNode2D)
        .staticmethod("instancesOfNode2D")
        .def("instancesOfTriangle", &VelboModeler::instancesOfTriangle)
        .staticmethod("instancesOfTriangle")
        .def("instancesOfCircle", &VelboModeler::instancesOfCircle)
        .staticmethod("instancesOfCircle")
        .def("instancesOfEdge2D", &VelboModeler::instancesOfEdge2D)
        .staticmethod("instancesOfEdge2D")
        .def("instancesOfLawBilinear", &VelboModeler::instancesOfLawBilinear)
        .staticmethod("instancesOfLawBilinear")
        .def("instancesOfLawParabola", &VelboModeler::instancesOfLawParabola)
        .staticmethod("instancesOfLawParabola")
        .def("instancesOfInteractionPoints", &VelboModeler::instancesOfInteractionPoints)
        .staticmethod("instancesOfInteractionPoints")
        .def("instancesOfSectionForces", &VelboModeler::instancesOfSectionForces)
        .staticmethod("instancesOfSectionForces")
        .def("setLogLevel", &VelboModeler::setLogLevel);
}
