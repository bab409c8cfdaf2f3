// The Python module velbomodeler: the facade, its value classes and its
// containers, registered with Boost.Python.

#include <boost/python.hpp>

#include <vector>

#include "map-class.h"
#include "property-setters.h"
#include "vector-class.h"

#include "velbocore/velboareaproperties.h"
#include "velbocore/velbocircle.h"
#include "velbocore/velbomodeler.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velbotriangle.h"

using namespace boost::python;
using velbopy::objectId;
using velbopy::setObjectId;
using velbopy::SetProperty;

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

// buildDomain that acts on Ctrl-C: while it runs, the build asks the
// interpreter for pending signals between pieces of work. When a handler
// raises (KeyboardInterrupt for SIGINT), the build stops, leaves the model as
// it was, and the error goes up to the caller.
static bool buildDomainInterruptible(VelboModeler& modeler, int degreeDivision, int ratioDivision, bool rebuild) {
    struct CheckForTheCall {
        VelboModeler& modeler;
        ~CheckForTheCall() { modeler.setInterruptCheck(nullptr); }
    } checkForTheCall{modeler};
    modeler.setInterruptCheck([] { return PyErr_CheckSignals() != 0; });
    const bool built = modeler.buildDomain(degreeDivision, ratioDivision, rebuild);
    if (PyErr_Occurred() != nullptr) throw_error_already_set();
    return built;
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

    velbopy::VectorClass<VInt>::define("VInt");
    velbopy::VectorClass<VDouble>::define("VDouble");
    velbopy::VectorClass<VVDouble>::define("VVDouble");
    velbopy::VectorClass<VFloat>::define("VFloat");
    velbopy::MapClass<MIntVInt>::define("MIntVInt");
    velbopy::MapClass<MIntVDouble>::define("MIntVDouble");
    velbopy::VectorClass<VecNodes>::define("VecNodes");
    velbopy::VectorClass<VecTriangles>::define("VecTriangles");
    velbopy::VectorClass<VecCircles>::define("VecCircles");
    velbopy::MapClass<MapNodes, true>::define("MapNodes");

    class_<VelboNode2D>("VelboNode2D", init<>())
        .def(init<int>())
        .def(init<double, double>())
        .def(init<double, double, int>())
        .add_property("id", &objectId<VelboNode2D>, &setObjectId<VelboNode2D>)
        .add_property("xn", &VelboNode2D::xn, &SetProperty<&VelboNode2D::setXn>::call)
        .add_property("yn", &VelboNode2D::yn, &SetProperty<&VelboNode2D::setYn>::call);

    velbopy::MapClass<MapTriangles>::define("MapTriangles");

    class_<VelboTriangle>("VelboTriangle", init<>())
        .def(init<int>())
        .add_property("id", &objectId<VelboTriangle>, &setObjectId<VelboTriangle>)
        .add_property("p1", &VelboTriangle::getNodeP1, &SetProperty<&VelboTriangle::setNodeP1>::call)
        .add_property("p2", &VelboTriangle::getNodeP2, &SetProperty<&VelboTriangle::setNodeP2>::call)
        .add_property("p3", &VelboTriangle::getNodeP3, &SetProperty<&VelboTriangle::setNodeP3>::call);

    velbopy::MapClass<MapCircles>::define("MapCircles");

    class_<VelboCircle>("VelboCircle", init<>())
        .def(init<int>())
        .add_property("id", &objectId<VelboCircle>, &setObjectId<VelboCircle>)
        .add_property("radius", &VelboCircle::radius, &SetProperty<&VelboCircle::setRadiusNC>::call)
        .add_property("center", &VelboCircle::getNodeCenter, &SetProperty<&VelboCircle::setCenterNode>::call);

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
        .def("buildDomain", &buildDomainInterruptible)
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
