#pragma once

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "velbocore/velbomodeler.h"

// Reference sections of the domain tests, built through the facade into a
// new current model. Ids of nodes, triangles and circles start at 1.
namespace domain_sections {

struct Point {
    double x, y;
};

struct Bar {
    double x, y, radius;
};

// The plain 300 x 500 concrete rectangle, (0, 0) to (300, 500): two
// triangles on nodes 1 to 4, in the current model, no bars. True when every
// node and triangle was added.
inline bool concreteRectangle(VelboModeler& modeler)
{
    return modeler.addNode(1, 0.0, 0.0) && modeler.addNode(2, 300.0, 0.0) && modeler.addNode(3, 300.0, 500.0) &&
           modeler.addNode(4, 0.0, 500.0) && modeler.addTriangle(1, 1, 2, 3) && modeler.addTriangle(2, 1, 3, 4);
}

// The section of the benchmark: 300 x 500 concrete meshed as cells x cells
// rectangles of two triangles each, three bars of radius 10 at y = 50 and
// three at y = 450.
inline void rectangle(VelboModeler& modeler, int cells, int model = 1)
{
    const double width = 300.0, height = 500.0;
    modeler.addSection(model);
    int id = 1;
    for (int j = 0; j <= cells; ++j)
        for (int i = 0; i <= cells; ++i)
            modeler.addNode(id++, width * i / cells, height * j / cells);
    const auto node = [cells](int i, int j) { return 1 + j * (cells + 1) + i; };
    int triangle = 1;
    for (int j = 0; j < cells; ++j)
        for (int i = 0; i < cells; ++i) {
            modeler.addTriangle(triangle++, node(i, j), node(i + 1, j), node(i + 1, j + 1));
            modeler.addTriangle(triangle++, node(i, j), node(i + 1, j + 1), node(i, j + 1));
        }
    int circle = 1;
    for (const double y : {50.0, 450.0})
        for (const double x : {50.0, 150.0, 250.0}) {
            modeler.addNode(id, x, y);
            modeler.addCircle(circle++, id++, 10.0);
        }
}

// Nodes, triangles (by 1-based node numbers) and bars, added in that order.
inline void fromLists(VelboModeler& modeler, const std::vector<Point>& nodes,
                      const std::vector<std::vector<int>>& triangles, const std::vector<Bar>& bars,
                      int model)
{
    modeler.addSection(model);
    int id = 1;
    for (const Point& p : nodes) modeler.addNode(id++, p.x, p.y);
    int triangle = 1;
    for (const std::vector<int>& t : triangles) modeler.addTriangle(triangle++, t[0], t[1], t[2]);
    int circle = 1;
    for (const Bar& b : bars) {
        modeler.addNode(id, b.x, b.y);
        modeler.addCircle(circle++, id++, b.radius);
    }
}

// The concrete of the T sections: a 600 x 120 flange on top of a 250 x 480
// web, eight triangles, and the bars.
inline void teeWith(VelboModeler& modeler, const std::vector<Bar>& bars, int model)
{
    fromLists(modeler,
              {{0, 0}, {600, 0}, {600, 120}, {425, 120}, {175, 120}, {0, 120},
               {425, 600}, {175, 600}, {425, 360}, {175, 360}},
              {{1, 2, 4}, {2, 3, 4}, {1, 4, 5}, {1, 5, 6},
               {5, 4, 9}, {5, 9, 10}, {10, 9, 7}, {10, 7, 8}},
              bars, model);
}

// A T section: a 600 x 120 flange on top of a 250 x 480 web, eight
// triangles, three bars of radius 12 low in the web and three of radius 8 in
// the flange.
inline void tee(VelboModeler& modeler, int model = 1)
{
    teeWith(modeler,
            {{215, 560, 12}, {300, 560, 12}, {385, 560, 12}, {60, 40, 8}, {300, 40, 8}, {540, 40, 8}}, model);
}

// An irregular heptagon turned by 23.5 degrees, as a fan of seven triangles
// about an inner node, some listed clockwise, with five bars of different
// radii.
inline void polygon(VelboModeler& modeler, int model = 1)
{
    fromLists(modeler,
              {{-1.7162, -15.749}, {303.7055, 84.3389}, {314.4661, 285.2971}, {167.7302, 472.296},
               {-20.07, 477.8735}, {-96.621, 302.8308}, {-124.5272, 116.2263}, {110.25, 205.5}},
              {{8, 1, 2}, {8, 3, 2}, {3, 4, 8}, {8, 4, 5}, {5, 8, 6}, {8, 6, 7}, {7, 1, 8}},
              {{29.3824, 63.1996, 9}, {257.4518, 140.5581, 9}, {178.497, 422.4555, 7},
               {-43.1936, 380.5837, 11}, {88.7879, 252.5959, 6}},
              model);
}

// 300 x 500 concrete as 2 x 2 cells of two triangles and three bars near
// the top edge: at 0 degrees the lowest bar lies above the depth of the
// interior pivot, so the last strain plane of that direction is not uniform
// and slices the meshes.
inline void topBars(VelboModeler& modeler, int model = 1)
{
    fromLists(modeler,
              {{0, 0}, {150, 0}, {300, 0}, {0, 250}, {150, 250}, {300, 250}, {0, 500}, {150, 500}, {300, 500}},
              {{1, 2, 5}, {1, 5, 4}, {2, 3, 6}, {2, 6, 5}, {4, 5, 8}, {4, 8, 7}, {5, 6, 9}, {5, 9, 8}},
              {{60, 60, 10}, {240, 60, 10}, {150, 110, 8}}, model);
}

// 300 x `height` concrete as 2 x 2 cells of two triangles, and the bars.
inline void beam(VelboModeler& modeler, double height, const std::vector<Bar>& bars, int model = 1)
{
    const double h = height / 2;
    fromLists(modeler,
              {{0, 0}, {150, 0}, {300, 0}, {0, h}, {150, h}, {300, h}, {0, height}, {150, height}, {300, height}},
              {{1, 2, 5}, {1, 5, 4}, {2, 3, 6}, {2, 6, 5}, {4, 5, 8}, {4, 8, 7}, {5, 6, 9}, {5, 9, 8}}, bars, model);
}

// A 300 x 500 beam reinforced on one side only: three bars of radius 10, 50
// above its bottom face. Turned by 180 degrees, its lowest bar lies 50 below
// the top, far above the depth of the interior pivot.
inline void oneSide(VelboModeler& modeler, int model = 1)
{
    beam(modeler, 500.0, {{50, 450, 10}, {150, 450, 10}, {250, 450, 10}}, model);
}

// The concrete of the T section with four bars near its barycentre (300,
// 247.5): at 0 degrees the lowest of them lies 250 below the top of 600,
// above the depth of the interior pivot (3/7 of 600).
inline void teeMiddle(VelboModeler& modeler, int model = 1)
{
    teeWith(modeler, {{215, 235, 10}, {385, 235, 10}, {215, 250, 10}, {385, 250, 10}}, model);
}

// 300 x 700 concrete whose lowest bars lie 300 below the top: at 0 degrees
// exactly at the depth of the interior pivot, where the plane with the
// ultimate strain at the top and none at the bottom of the concrete gives
// them the strain of uniform compression, bit for bit.
inline void pivotDepth(VelboModeler& modeler, int model = 1)
{
    beam(modeler, 700.0, {{50, 300, 10}, {250, 300, 10}, {150, 60, 8}}, model);
}

// The concrete of the T section with three bars of radius 10 in its flange
// only, 40 below its top: turned by 180 degrees, they lie 560 above the
// bottom of the web, far above the depth of the interior pivot.
inline void teeFlangeBars(VelboModeler& modeler, int model = 1)
{
    teeWith(modeler, {{60, 40, 10}, {300, 40, 10}, {540, 40, 10}}, model);
}

// 300 x 700 concrete with one bar of radius 10 whose centre lies 8 under
// the top face: at 0 degrees the bar hardly moves in strain while the
// neutral axis runs through the whole depth.
inline void barUnderFace(VelboModeler& modeler, int model = 1)
{
    beam(modeler, 700.0, {{150, 8, 10}}, model);
}

// The section of pivotDepth with its two lowest bars one rounding step
// above (towards the top) or below the depth of the interior pivot.
inline void pivotHair(VelboModeler& modeler, bool above, int model = 1)
{
    const double y = std::nextafter(300.0, above ? 0.0 : 1000.0);
    beam(modeler, 700.0, {{50, y, 10}, {250, y, 10}, {150, 60, 8}}, model);
}

struct Named {
    std::string name;
    void (*build)(VelboModeler&);
};

// The reference sections, each built as model 1.
inline const std::vector<Named>& all()
{
    static const std::vector<Named> sections = {
        {"rectangle-2", [](VelboModeler& m) { rectangle(m, 1); }},
        {"rectangle-128", [](VelboModeler& m) { rectangle(m, 8); }},
        {"tee", [](VelboModeler& m) { tee(m); }},
        {"polygon", [](VelboModeler& m) { polygon(m); }},
        {"top-bars", [](VelboModeler& m) { topBars(m); }},
        {"one-side", [](VelboModeler& m) { oneSide(m); }},
        {"tee-middle", [](VelboModeler& m) { teeMiddle(m); }},
        {"pivot-depth", [](VelboModeler& m) { pivotDepth(m); }},
        {"tee-flange-bars", [](VelboModeler& m) { teeFlangeBars(m); }},
        {"bar-under-face", [](VelboModeler& m) { barUnderFace(m); }},
        {"pivot-hair-above", [](VelboModeler& m) { pivotHair(m, true); }},
        {"pivot-hair-below", [](VelboModeler& m) { pivotHair(m, false); }},
    };
    return sections;
}

// The pairs of divisions every reference section is built with.
inline const std::vector<std::pair<int, int>>& divisions()
{
    static const std::vector<std::pair<int, int>> pairs = {{3, 8}, {6, 17}, {2, 40}};
    return pairs;
}

}  // namespace domain_sections
