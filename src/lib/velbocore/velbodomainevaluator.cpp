#include "velbocore/velbodomainevaluator.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "coreobj/func1.h"
#include "velbocore/velbocircle.h"
#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velbosectionforces.h"
#include "velbocore/velbosectionmodel.h"
#include "velbocore/velbotriangle.h"
#include "velbocore/velbotriangleintegral.h"

VelboDomainEvaluator::VelboDomainEvaluator(const VelboSectionModel& model, const VelboStrainPath::Limits& limits,
                                           const VelboCostitutiveLaw& sliceLaw, const VelboNode2D& momentPoint,
                                           const VelboBilinear* skipBarLaw, int ratioDivision)
    : m_limits(limits),
      m_skipBarLaw(skipBarLaw),
      m_ratioDivision(ratioDivision),
      m_momentX(momentPoint.xn()),
      m_momentY(momentPoint.yn()),
      m_sound(false),
      m_smallCoordinates(false)
{
    m_sound = m_readSection(model, sliceLaw);
}

bool VelboDomainEvaluator::m_readSection(const VelboSectionModel& model, const VelboCostitutiveLaw& sliceLaw)
{
    // The nodes the model turns: each once.
    std::unordered_map<const VelboNode2D*, int> listed;
    for (const VelboNode2D* node : model.sectionNodes()) {
        if (!node || !listed.emplace(node, 0).second) {
            return false;
        }
    }

    std::unordered_map<const VelboNode2D*, int> index;
    const auto nodeIndex = [&](const VelboNode2D* node) {
        const auto found = index.emplace(node, static_cast<int>(m_nodes.size()));
        if (found.second) {
            m_nodes.push_back(node);
            m_nodeTurns.push_back(listed.count(node) ? 1 : 0);
        }
        return found.first->second;
    };

    // The solid elements are the triangles, the others the circles; each is
    // listed once (one listed twice would get two meshes), and the model's
    // lists of solid and point elements hold the same ones.
    int solid = 0;
    int point = 0;
    std::unordered_map<const VelboSectionElement*, int> seen;
    for (const VelboSectionElement* element : model.sectionElements()) {
        const VelboCostitutiveLaw* law = element ? element->getCostitutiveLaw() : nullptr;
        if (!law || !seen.emplace(element, 0).second) {
            return false;
        }
        if (element->elementIsSolid()) {
            const VelboTriangle* t = dynamic_cast<const VelboTriangle*>(element);
            if (!t || !t->P1() || !t->P2() || !t->P3()) {
                return false;
            }
            const int table = m_lawTable(law);
            if (table < 0) {
                return false;
            }
            m_elements.push_back({true, static_cast<int>(m_triangles.size())});
            m_triangles.push_back({{nodeIndex(t->P1()), nodeIndex(t->P2()), nodeIndex(t->P3())}, table});
            ++solid;
        } else {
            const VelboCircle* c = dynamic_cast<const VelboCircle*>(element);
            if (!c || !c->center()) {
                return false;
            }
            m_elements.push_back({false, static_cast<int>(m_circles.size())});
            m_circles.push_back({nodeIndex(c->center()), c->elementCalcArea(), law});
            ++point;
        }
    }
    if (solid == 0 || point == 0 || solid != model.sectionSolidElementsSize()
        || point != model.sectionPointElementsSize()) {
        return false;
    }
    m_sliceStrains = sliceLaw.lawLimits();
    // The law the strain path takes for the bars: the last bar's.
    m_barLimits = m_circles.back().law->getInternalLimits();
    return true;
}

void VelboDomainEvaluator::readGeometry(VelboSectionModel& model)
{
    // Every turn starts from the saved geometry, about its concrete barycentre.
    model.sectionRestoreGeometry();
    m_turnBase = model.sectionCalcSolidBarycenter();
    // Turned about the base, a node stays as far from it.
    const double baseSize = std::hypot(m_turnBase.xn(), m_turnBase.yn());
    double reach = 0.0;
    m_nodeX.clear();
    m_nodeY.clear();
    for (const VelboNode2D* node : m_nodes) {
        m_nodeX.push_back(node->xn());
        m_nodeY.push_back(node->yn());
        reach = std::max(reach, baseSize + 2.0 * std::hypot(node->xn() - m_turnBase.xn(), node->yn() - m_turnBase.yn()));
    }
    // Moments of area hold up to the fifth power of a coordinate: far below
    // the largest double.
    constexpr double kSmallCoordinate = 1e50;
    m_smallCoordinates = std::isfinite(baseSize) && reach < kSmallCoordinate;
}

int VelboDomainEvaluator::m_lawTable(const VelboCostitutiveLaw* law)
{
    for (std::size_t i = 0; i < m_laws.size(); ++i) {
        if (m_laws[i].law == law) {
            return static_cast<int>(i);
        }
    }
    LawTable table{law, law->getInternalLimits(), {}, 0};
    // The pieces as VelboTriangle reads them; a missing piece or one it cannot
    // read is left to the model path.
    try {
        for (std::size_t i = 0; i <= table.limits.size(); ++i) {
            const Func1* piece = law->getFuncAt(static_cast<int>(i));
            double a = 0.0;
            double b = 0.0;
            double c = 0.0;
            if (!piece || VelboTriangle::pieceCoefficients(piece, &a, &b, &c) != Func1::FUNC1_ERR_OK) {
                return -1;
            }
            table.pieces.insert(table.pieces.end(), {a, b, c});
        }
    } catch (const std::out_of_range&) {
        return -1;
    }
    if (!m_laws.empty()) {
        table.offset = m_laws.back().offset + m_laws.back().pieces.size();
    }
    m_laws.push_back(std::move(table));
    return static_cast<int>(m_laws.size()) - 1;
}

int VelboDomainEvaluator::LawTable::pieceOf(double strain) const
{
    const int n = static_cast<int>(limits.size());
    int i = 0;
    while (i < n && !(strain < limits[i])) {
        ++i;
    }
    return i;
}

VelboDomainEvaluator::Workspace::Workspace(const VelboDomainEvaluator& evaluator, VelboSectionForces& forces)
    : m_x(evaluator.m_nodes.size()),
      m_y(evaluator.m_nodes.size()),
      m_triangles(evaluator.m_triangles.size()),
      m_forces(forces)
{
    m_rays.reserve(evaluator.m_sliceStrains.size());
    std::size_t pieces = 0;
    for (const LawTable& law : evaluator.m_laws) {
        pieces += law.pieces.size();
    }
    m_stress.resize(pieces);
}

VelboStrainPath VelboDomainEvaluator::turnTo(double angle, Workspace& ws) const
{
    m_turnNodes(angle, ws);
    m_turnTriangles(ws);
    return VelboStrainPath(m_limits, m_ranges(ws));
}

std::optional<VelboDirectionRatios> VelboDomainEvaluator::directionRatios(const VelboStrainPath& path, double angle,
                                                                          Workspace& ws) const
{
    // A path of no finite length has no planes to spread the ratio over.
    if (VelboStrainPath::span(path.ranges()) != VelboStrainPath::SPAN_POSITIVE || !std::isfinite(path.length())) {
        return std::nullopt;
    }
    std::optional<VelboDirectionRatios> ratios(std::in_place, path, m_skipBarLaw, m_ratioDivision);
    if (ratios->spread()) {
        ratios->setBarLimits(m_barLimits.data(), m_barLimits.size());
        for (const Circle& c : m_circles) {
            ratios->addBar(ws.m_y[static_cast<std::size_t>(c.node)] - path.ranges().clsTop, c.area);
        }
    }
    const auto pointAt = [&](double ratio, double* out) {
        // setDefRatio refuses a ratio outside [0, 1] and keeps the one
        // before: such a direction is left to the model path.
        return ratio >= 0.0 && ratio <= 1.0 && point(path, ratio, angle, ws, out);
    };
    if (!ratios->takePilot(pointAt)) {
        return std::nullopt;
    }
    return ratios;
}

void VelboDomainEvaluator::m_turnNodes(double angle, Workspace& ws) const
{
    // setAngle: saved coordinates, turned about the saved barycentre.
    for (std::size_t k = 0; k < m_nodeX.size(); ++k) {
        if (m_nodeTurns[k]) {
            VelboNode2D node(m_nodeX[k], m_nodeY[k]);
            node.nodeRotate(angle, m_turnBase);
            ws.m_x[k] = node.xn();
            ws.m_y[k] = node.yn();
        } else {
            ws.m_x[k] = m_nodeX[k];
            ws.m_y[k] = m_nodeY[k];
        }
    }
}

void VelboDomainEvaluator::m_turnTriangles(Workspace& ws) const
{
    // The mesh of every triangle starts as a copy of it: its moments in this
    // direction serve every point that does not cut it, its extents and
    // barycentre the ranges.
    for (std::size_t t = 0; t < m_triangles.size(); ++t) {
        const int* n = m_triangles[t].node;
        const double x1 = ws.m_x[n[0]], y1 = ws.m_y[n[0]];
        const double x2 = ws.m_x[n[1]], y2 = ws.m_y[n[1]];
        const double x3 = ws.m_x[n[2]], y3 = ws.m_y[n[2]];
        Workspace::TurnedTriangle& turned = ws.m_triangles[t];
        turned.yTop = std::min({y1, y2, y3});
        turned.yBot = std::max({y1, y2, y3});
        turned.yG = (y1 + y2 + y3) / 3;
        turned.moments = VelboTriangleIntegral::areaProperties(x1, y1, x2, y2, x3, y3);
    }
}

VelboStrainPath::Ranges VelboDomainEvaluator::m_ranges(const Workspace& ws) const
{
    // As sectionCalcSolidYRange and sectionCalcPointYRange take them: from
    // the barycentre, widened by every element of the kind in list order.
    double solidY = 0.0;
    double solidWeight = 0.0;
    double pointY = 0.0;
    double pointWeight = 0.0;
    for (const Element& e : m_elements) {
        if (e.triangle) {
            const Workspace::TurnedTriangle& turned = ws.m_triangles[static_cast<std::size_t>(e.index)];
            // The area elementCalcArea gives: the same cross product, halved.
            const double weight = turned.moments.area();
            solidY += turned.yG * weight;
            solidWeight += weight;
        } else {
            pointY += ws.m_y[m_circles[static_cast<std::size_t>(e.index)].node] * 1.0;
            pointWeight += 1.0;
        }
    }
    VelboStrainPath::Ranges r{};
    r.clsTop = r.clsBottom = solidY / solidWeight;
    r.barTop = r.barBottom = pointY / pointWeight;
    for (const Element& e : m_elements) {
        if (e.triangle) {
            const Workspace::TurnedTriangle& turned = ws.m_triangles[static_cast<std::size_t>(e.index)];
            if (r.clsTop > turned.yTop) r.clsTop = turned.yTop;
            if (r.clsBottom < turned.yBot) r.clsBottom = turned.yBot;
        } else {
            const double yc = ws.m_y[m_circles[static_cast<std::size_t>(e.index)].node];
            if (r.barTop > yc) r.barTop = yc;
            if (r.barBottom < yc) r.barBottom = yc;
        }
    }
    return r;
}

bool VelboDomainEvaluator::point(const VelboStrainPath& path, double ratio, double angle, Workspace& ws,
                                 double* out) const
{
    const double yTop = path.ranges().clsTop;
    const double yBot = path.ranges().barBottom;
    double xTop = 0.0;
    double xBot = 0.0;
    path.plane(ratio, &xTop, &xBot);

    // deformationLaw: eps(y) = g*y + e0.
    const double g = (xBot - xTop) / (yBot - yTop);
    const double e0 = xTop - yTop * g;

    // ordinateFrom of each limit of the concrete law; a uniform strain
    // slices nothing.
    ws.m_rays.clear();
    if (xTop != xBot) {
        if (m_sliceStrains.empty()) {
            // The meshes refuse a slicing without rays.
            return false;
        }
        const double slope = (yTop - yBot) / (xTop - xBot);
        for (const double strain : m_sliceStrains) {
            ws.m_rays.push_back(yTop + (strain - xTop) * slope);
        }
    }

    // sigma(y) of every law piece under this plane.
    for (const LawTable& law : m_laws) {
        double* k = &ws.m_stress[law.offset];
        for (std::size_t p = 0; p < law.pieces.size(); p += 3) {
            VelboTriangleIntegral::stressInY(law.pieces[p], law.pieces[p + 1], law.pieces[p + 2], g, e0, &k[p],
                                             &k[p + 1], &k[p + 2]);
        }
    }

    Sum sum;
    if (!m_forces(g, e0, ws, sum)) {
        return false;
    }

    VelboSectionForces& point = ws.m_forces;
    point.setFz(sum.fz);
    point.setMx(sum.mx);
    point.setMy(sum.my);
    point.translate(m_momentX, m_momentY);
    point.rotate(angle);
    if (!std::isfinite(point.fz()) || !std::isfinite(point.mx()) || !std::isfinite(point.my())) {
        return false;
    }
    out[0] = point.fz();
    out[1] = point.mx();
    out[2] = point.my();
    return true;
}

bool VelboDomainEvaluator::m_forces(double g, double e0, Workspace& ws, Sum& sum) const
{
    // The elements in list order.
    double fz = 0.0;
    double mx = 0.0;
    double my = 0.0;
    for (const Element& e : m_elements) {
        if (!e.triangle) {
            const Circle& c = m_circles[static_cast<std::size_t>(e.index)];
            const double xc = ws.m_x[c.node];
            const double yc = ws.m_y[c.node];
            const double stress = c.law->valueFx((g * yc) + e0, nullptr);
            fz += stress * c.area;
            mx += stress * c.area * yc;
            my += stress * c.area * xc;
            continue;
        }
        const Triangle& t = m_triangles[static_cast<std::size_t>(e.index)];
        const Workspace::TurnedTriangle& turned = ws.m_triangles[static_cast<std::size_t>(e.index)];
        const LawTable& law = m_laws[static_cast<std::size_t>(t.law)];
        const double* stress = &ws.m_stress[law.offset];
        // The element's forces: the sum of its mesh triangles from zero.
        double meshFz = 0.0;
        double meshMx = 0.0;
        double meshMy = 0.0;
        const auto addSubTriangle = [&](double x1, double y1, double x2, double y2, double x3, double y3) {
            const double* k = stress + 3 * law.pieceOf((g * ((y1 + y2 + y3) / 3)) + e0);
            if (m_smallCoordinates && k[0] == 0.0 && k[1] == 0.0) {
                // A stress that does not change with y: with moments that
                // cannot overflow, the terms of y and y^2 add zeros, which
                // leave the sums as they are (a sum of forces is never -0).
                // So no stress adds nothing, and a constant one needs the
                // area and the first moments alone.
                if (k[2] != 0.0) {
                    const double j = VelboTriangleIntegral::jacobian(x1, y1, x2, y2, x3, y3);
                    meshFz += k[2] * (j / 2);
                    meshMx += k[2] * VelboTriangleIntegral::firstMoment(j, y1, y2, y3);
                    meshMy += k[2] * VelboTriangleIntegral::firstMoment(j, x1, x2, x3);
                }
                return;
            }
            double tfz = 0.0;
            double tmx = 0.0;
            double tmy = 0.0;
            VelboTriangleIntegral::forces(k[0], k[1], k[2],
                                          VelboTriangleIntegral::areaProperties(x1, y1, x2, y2, x3, y3), &tfz,
                                          &tmx, &tmy);
            meshFz += tfz;
            meshMx += tmx;
            meshMy += tmy;
        };

        // The rays that cross the triangle; the others cut none of its
        // sub-triangles either.
        int crossing = 0;
        double firstRay = 0.0;
        double secondRay = 0.0;
        for (const double ray : ws.m_rays) {
            if (turned.yTop < ray && ray < turned.yBot) {
                if (crossing == 0) {
                    firstRay = ray;
                } else if (crossing == 1) {
                    secondRay = ray;
                }
                ++crossing;
            }
        }
        if (crossing == 0) {
            // Its mesh is its copy.
            const double* k = stress + 3 * law.pieceOf((g * turned.yG) + e0);
            double tfz = 0.0;
            double tmx = 0.0;
            double tmy = 0.0;
            VelboTriangleIntegral::forces(k[0], k[1], k[2], turned.moments, &tfz, &tmx, &tmy);
            meshFz += tfz;
            meshMx += tmx;
            meshMy += tmy;
        } else {
            const int* n = t.node;
            const double vertices[6] = {ws.m_x[n[0]], ws.m_y[n[0]], ws.m_x[n[1]], ws.m_y[n[1]], ws.m_x[n[2]], ws.m_y[n[2]]};
            double cut[9][6];
            int made = 0;
            if (crossing == 1) {
                made = VelboTriangleClip::cutOnce(vertices, firstRay, cut);
            } else if (crossing == 2) {
                made = VelboTriangleClip::cutTwice(vertices, firstRay, secondRay, cut);
            }
            if (made > 0) {
                for (int sub = 0; sub < made; ++sub) {
                    addSubTriangle(cut[sub][0], cut[sub][1], cut[sub][2], cut[sub][3], cut[sub][4], cut[sub][5]);
                }
            } else {
                ws.m_clip.reset(vertices[0], vertices[1], vertices[2], vertices[3], vertices[4], vertices[5]);
                for (const double ray : ws.m_rays) {
                    if (turned.yTop < ray && ray < turned.yBot && !ws.m_clip.slice(ray)) {
                        return false;
                    }
                }
                for (int sub = ws.m_clip.first(); sub >= 0; sub = ws.m_clip.next(sub)) {
                    addSubTriangle(ws.m_clip.x(sub, 0), ws.m_clip.y(sub, 0), ws.m_clip.x(sub, 1), ws.m_clip.y(sub, 1),
                                   ws.m_clip.x(sub, 2), ws.m_clip.y(sub, 2));
                }
            }
        }
        fz += meshFz;
        mx += meshMx;
        my += meshMy;
    }
    sum = Sum{fz, mx, my};
    return true;
}
