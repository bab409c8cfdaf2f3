#pragma once

#include <algorithm>

// Where a side from (x1, y1) to (x2, y2) meets the horizontal ray y = c. The
// meshes' half-edges and the domain sweep's cuts both use these, inline, so
// that they make the same cut nodes.
class VelboEdgeCut {
public:
    // True when the ray crosses the side strictly between its ends.
    static bool crosses(double y1, double y2, double c)
    {
        return y1 != y2 && std::min(y1, y2) < c && c < std::max(y1, y2);
    }
    // The abscissa of the cut, from the side's start.
    static double x(double x1, double y1, double x2, double y2, double c)
    {
        return x1 + ((x2 - x1) / (y2 - y1)) * (c - y1);
    }
};
