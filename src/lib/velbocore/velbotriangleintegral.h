#pragma once

#include <cmath>

#include "velbocore/velboareaproperties.h"

// Closed forms of the integrals over one triangle. The triangle's own force
// integration and the domain sweep both use these, inline, so that they give
// the same bits.
class VelboTriangleIntegral {
public:
    // Integrals of 1, y, x, y^2, x^2, x*y, x*y^2 and y^3 over the triangle
    // (x1, y1), (x2, y2), (x3, y3), about the origin.
    // Always inline: the domain sweep uses seven of the eight values.
    [[gnu::always_inline]] static VelboAreaProperties areaProperties(double x1, double y1, double x2, double y2,
                                                                     double x3, double y3)
    {
        // The triangle as the image of the unit triangle u, v >= 0, u + v <= 1
        // under (u, v) -> (cx + ax*u + bx*v, cy + ay*u + by*v).
        const double ax = x2 - x1;
        const double bx = x3 - x1;
        const double cx = x1;
        const double ay = y2 - y1;
        const double by = y3 - y1;
        const double cy = y1;
        const double J = jacobian(x1, y1, x2, y2, x3, y3);

        const double ay2 = ay * ay;
        const double by2 = by * by;
        const double cy2 = cy * cy;
        const double q = ay2 + ay * by + by2;

        VelboAreaProperties p;
        p.setArea(J / 2);
        p.setSx(firstMoment(J, y1, y2, y3));
        p.setSy(firstMoment(J, x1, x2, x3));
        p.setIxx(J * (cy2 / 2 + q / 12 + (ay + by) * cy / 3));
        p.setIyy(J * (cx * cx / 2 + (ax * ax + ax * bx + bx * bx) / 12 + (ax + bx) * cx / 3));
        p.setIxy(J * (cx * cy / 2 + (ay * ax + by * bx) / 12 + (bx * ay + ax * by) / 24
                      + (ay * cx + by * cx + ax * cy + bx * cy) / 6));
        p.setIxxx(J * ((ay + by + cy) * cy2 / 2 + (ay * ay * ay + ay2 * by + ay * by2 + by * by * by) / 20
                       + q * cy / 4));
        p.setIxxy(J * (cy2 * cx / 2 + (ay2 * ax + by2 * bx) / 20
                       + (ay2 * bx + by2 * ax + 2 * ay * by * ax + 2 * ay * by * bx) / 60
                       + q * cx / 12
                       + (ax * by + bx * ay + 2 * ax * ay + 2 * bx * by) * cy / 12
                       + (cy2 * ax + cy2 * bx + 2 * cx * cy * ay + 2 * cx * cy * by) / 6));
        return p;
    }

    // Twice the area of the triangle.
    [[gnu::always_inline]] static double jacobian(double x1, double y1, double x2, double y2, double x3, double y3)
    {
        return std::fabs((x2 - x1) * (y3 - y1) - (x3 - x1) * (y2 - y1));
    }
    // The integral of y (or x) over the triangle of the given jacobian, from
    // the three ordinates (or abscissae).
    [[gnu::always_inline]] static double firstMoment(double jacobian, double c1, double c2, double c3)
    {
        return jacobian * (c1 + c2 + c3) / 6;
    }

    // The law piece sigma(e) = alpha*e^2 + beta*e + gamma under the strain
    // field e(y) = g*y + e0, as sigma(y) = a*y^2 + b*y + c.
    static void stressInY(double alpha, double beta, double gamma, double g, double e0, double* a,
                          double* b, double* c)
    {
        *a = alpha * (g * g);
        *b = beta * g + 2 * alpha * g * e0;
        *c = gamma + alpha * (e0 * e0) + beta * e0;
    }

    // Fz = int sigma, Mx = int sigma*y, My = int sigma*x for sigma(y) = a*y^2 + b*y + c.
    static void forces(double a, double b, double c, const VelboAreaProperties& p, double* fz, double* mx,
                       double* my)
    {
        *fz = a * p.ixx() + b * p.sx() + c * p.area();
        *mx = a * p.ixxx() + b * p.ixx() + c * p.sx();
        *my = a * p.ixxy() + b * p.ixy() + c * p.sy();
    }
};
