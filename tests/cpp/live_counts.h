#pragma once

#include <ostream>

#include "velbocore/velbomodeler.h"

// The ten live-instance counters the facade reports, read at one moment.
struct Counts {
    unsigned int models, meshes, nodes, triangles, circles, edges, bilinear, parabola, points, forces;

    static Counts now()
    {
        return {VelboModeler::instancesOfModels(),    VelboModeler::instancesOfMesh(),
                VelboModeler::instancesOfNode2D(),    VelboModeler::instancesOfTriangle(),
                VelboModeler::instancesOfCircle(),    VelboModeler::instancesOfEdge2D(),
                VelboModeler::instancesOfLawBilinear(), VelboModeler::instancesOfLawParabola(),
                VelboModeler::instancesOfInteractionPoints(), VelboModeler::instancesOfSectionForces()};
    }
    bool operator==(const Counts& o) const
    {
        return models == o.models && meshes == o.meshes && nodes == o.nodes &&
               triangles == o.triangles && circles == o.circles && edges == o.edges &&
               bilinear == o.bilinear && parabola == o.parabola && points == o.points &&
               forces == o.forces;
    }
};

inline std::ostream& operator<<(std::ostream& os, const Counts& c)
{
    return os << "{models " << c.models << ", meshes " << c.meshes << ", nodes " << c.nodes
              << ", triangles " << c.triangles << ", circles " << c.circles << ", edges " << c.edges
              << ", bilinear " << c.bilinear << ", parabola " << c.parabola << ", points "
              << c.points << ", forces " << c.forces << "}";
}
