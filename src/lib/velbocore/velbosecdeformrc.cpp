#include "velbocore/velbosecdeformrc.h"

#include <climits>
#include <cmath>
#include <cstddef>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "velbocore/velbobilinear.h"
#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velbodirectionratios.h"
#include "velbocore/velbodomainsweep.h"
#include "velbocore/velbointeractionpoints.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velbosectionelement.h"
#include "velbocore/velbosectionforces.h"
#include "velbocore/velbosectionmodel.h"

static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

namespace {
// Empties the held value when it goes: held ranges last no longer than the
// call that holds them, whatever way it ends.
template <typename T>
struct ResetOnExit {
    std::optional<T>& held;
    ~ResetOnExit() { held.reset(); }
};
}  // namespace

VelboSecDeformRC::VelboSecDeformRC(VelboSectionModel* model)
    : VelboSectionDeformator(model)
    , m_barLaw(nullptr)
    , m_clsLaw(nullptr)
    , m_mixedLaws(false)
{
    const std::vector<VelboSectionElement*> elements =
        model ? model->sectionElements() : std::vector<VelboSectionElement*>();

    const VelboSectionElement* lastConcrete = nullptr;
    const VelboSectionElement* lastBar = nullptr;
    for (const VelboSectionElement* element : elements) {
        if (element->elementIsSolid()) {
            lastConcrete = element;
        } else {
            lastBar = element;
        }
    }

    if (!lastBar) {
        std::cerr << "VelboSectionRC::VelboSectionRC()-ERR: None steel rebar !!!";
    } else {
        m_barLaw = lastBar->getCostitutiveLaw();
        for (const VelboSectionElement* element : elements) {
            if (!element->elementIsSolid() && element->getCostitutiveLaw() != m_barLaw) {
                std::cerr << "VelboSectionRC::VelboSectionRC()-ERR: Rebars need have same costitutive law !!!";
                m_mixedLaws = true;
                break;
            }
        }
    }

    if (!lastConcrete) {
        std::cerr << "VelboSectionRC::VelboSectionRC()-ERR: None concrete elements !!!";
        return;
    }
    m_clsLaw = lastConcrete->getCostitutiveLaw();
    for (const VelboSectionElement* element : elements) {
        if (element->elementIsSolid() && element->getCostitutiveLaw() != m_clsLaw) {
            std::cerr << "VelboSectionRC::VelboSectionRC()-ERR: Concrete need have same costitutive law !!!";
            m_mixedLaws = true;
            break;
        }
    }
}

double VelboSecDeformRC::maxTopTrac() const
{
    if (!m_barLaw) {
        std::cerr << "VelboSecDeformRC::maxTopTrac()-ERR: Legge costitutiva acciaio non definita";
        return 0.0;
    }
    return m_barLaw->maxTractionDef();
}

double VelboSecDeformRC::maxBotTrac() const
{
    if (!m_barLaw) {
        std::cerr << "VelboSecDeformRC::maxBotTrac()-ERR: Legge costitutiva acciaio non definita";
        return 0.0;
    }
    return m_barLaw->maxTractionDef();
}

double VelboSecDeformRC::maxTopComp() const
{
    if (!m_clsLaw) {
        std::cerr << "VelboSecDeformRC::maxTopComp()-ERR: Legge costitutiva calcestruzzo non definita";
        return 0.0;
    }
    return m_clsLaw->maxCompressionDef();
}

double VelboSecDeformRC::maxBotComp() const
{
    if (!m_clsLaw) {
        std::cerr << "VelboSecDeformRC::maxBotComp()-ERR: Legge costitutiva calcestruzzo non definita";
        return 0.0;
    }
    return m_clsLaw->maxCompressionDef();
}

double VelboSecDeformRC::maxCompUniform() const
{
    if (!m_clsLaw) {
        std::cerr << "VelboSecDeformRC::maxCompUniform()-ERR: Legge costitutiva calcestruzzo non definita";
        return 0.0;
    }
    return m_clsLaw->maxCompUniformDef();
}

VelboStrainPath::Limits VelboSecDeformRC::m_limits() const
{
    // Asked in this order on purpose: the messages of missing laws follow it.
    const double topTrac = maxTopTrac();
    const double topComp = maxTopComp();
    const double botTrac = maxBotTrac();
    const double compUniform = maxCompUniform();
    return VelboStrainPath::Limits{topTrac, topComp, botTrac, compUniform};
}

VelboStrainPath::Ranges VelboSecDeformRC::m_ranges() const
{
    if (m_heldRanges) {
        return *m_heldRanges;
    }
    if (const VelboSectionModel* model = sectionModel()) {
        return VelboStrainPath::rangesOf(*model);
    }
    return VelboStrainPath::Ranges{kNaN, kNaN, kNaN, kNaN};
}

void VelboSecDeformRC::yRange(double* yTop, double* yBot) const
{
    const VelboStrainPath::Ranges r = m_ranges();
    if (yTop) {
        *yTop = r.clsTop;
    }
    if (yBot) {
        *yBot = r.barBottom;
    }
}

double VelboSecDeformRC::yPivot() const
{
    const double topComp = maxTopComp();
    return VelboStrainPath::pivotDepth(m_ranges(), topComp, maxCompUniform());
}

double VelboSecDeformRC::deformationMaxLength() const
{
    // The path of the current direction: longer where the lowest bar lies
    // above the pivot depth.
    const VelboStrainPath::Limits limits = m_limits();
    return VelboStrainPath(limits, m_ranges()).length();
}

double VelboSecDeformRC::xOverCompression() const
{
    return VelboStrainPath::overCompression(m_ranges(), maxTopComp());
}

void VelboSecDeformRC::xRange(double* xTop, double* xBot) const
{
    VelboStrainPath(m_limits(), m_ranges()).plane(defRatio(), xTop, xBot);
}

VelboSectionForces* VelboSecDeformRC::deformatorForces(double deltaX, double deltaY, bool* ok) const
{
    if (!m_barLaw || !m_clsLaw) {
        std::cerr << "VelboSecDeformRC::deformatorForces-ERR: Legami costitutivi non definiti !!!";
        if (ok) {
            *ok = false;
        }
        return nullptr;
    }
    const VelboSectionModel* model = sectionModel();
    if (!model) {
        std::cerr << "VelboSecDeformRC::deformatorForces-ERR: Modello non presente !!!";
        if (ok) {
            *ok = false;
        }
        return nullptr;
    }
    VelboSectionForces* forces = new VelboSectionForces(model->sectionCalcForcesByLaw(deformationLaw()));
    forces->translate(deltaX, deltaY);
    forces->rotate(angle());
    if (ok) {
        *ok = true;
    }
    return forces;
}

VelboInteractionPoints* VelboSecDeformRC::interactionSurface(int degreeDivision, int ratioDivision, int options)
{
    VelboSectionModel* model = sectionModel();
    // Moments are taken about the concrete barycentre, which setAngle keeps
    // in place since it turns the section about that same point.
    const VelboNode2D g = model ? model->sectionCalcSolidBarycenter() : VelboNode2D();

    const VelboBilinear* barLaw = nullptr;
    long long pointsPerDirection = 0;
    switch (options) {
    case ISO_UNIFORM:
        pointsPerDirection = ratioDivision + 1LL;
        break;
    case ISO_SKIP_SAME_BARVALUE:
        if (m_barLaw && m_barLaw->lawType() == VelboCostitutiveLaw::LT_BILINEAR) {
            barLaw = dynamic_cast<const VelboBilinear*>(m_barLaw);
        }
        if (!barLaw) {
            std::cerr << "VelboSecDeformRC::interactionSurface-ERR: only for [VelboBilinear] law !!!";
            return nullptr;
        }
        pointsPerDirection = ratioDivision + 2LL;
        break;
    default:
        std::cerr << "VelboSecDeformRC::interactionSurface-ERR: Option unavailable !!!";
        return nullptr;
    }
    if (degreeDivision < 1 || ratioDivision < 1) {
        std::cerr << "VelboSecDeformRC::interactionSurface-ERR: degree and ratio divisions must be 1 or more !!!\n";
        return nullptr;
    }

    // The point count must fit an int; it is counted in long long, where
    // each factor fits.
    const long long directions = 4LL * degreeDivision + 1;
    if (pointsPerDirection > INT_MAX / directions) {
        std::cerr << "VelboSecDeformRC::interactionSurface-ERR: too many points !!!\n";
        return nullptr;
    }

    if (model && m_barLaw && m_clsLaw) {
        VelboDomainSweep sweep(*model, m_limits(), *m_clsLaw, g, barLaw, degreeDivision, ratioDivision);
        // The model is left as the last point leaves it while the workers
        // run: they read its laws, never its nodes or meshes.
        bool lastSliced = true;
        const auto leaveModel = [&] { lastSliced = m_leaveLastPoint(barLaw, degreeDivision, ratioDivision); };
        if (sweep.run(sweep.threads(), leaveModel, m_interrupted)) {
            if (!lastSliced) {
                std::cerr << "VelboSecDeformRC::interactionSurface-ERR: errore di deformatorSliceFromLaw !!!";
                return nullptr;
            }
            // A last question before the points are handed over.
            if (m_interrupted && m_interrupted()) {
                return nullptr;
            }
            return sweep.releasePoints();
        }
        if (sweep.interrupted()) {
            return nullptr;
        }
    }
    // What the sweep does not reproduce is made, and reported, point by
    // point on the model.
    return m_surfaceOnModel(g, barLaw, degreeDivision, ratioDivision, static_cast<int>(pointsPerDirection));
}

bool VelboSecDeformRC::m_leaveLastPoint(const VelboBilinear* skipBarLaw, int degreeDivision, int ratioDivision)
{
    const ResetOnExit<VelboStrainPath::Ranges> heldRangesReset{m_heldRanges};
    VelboSectionModel* model = sectionModel();
    m_heldRanges.reset();
    setAngle((90.0 * (4 * degreeDivision)) / degreeDivision);
    model->meshesMake();
    m_heldRanges = m_ranges();
    // The last ratio needs no pilot.
    setDefRatio(m_pathRatios(skipBarLaw, ratioDivision).last());
    model->meshesReset();
    return deformatorSliceFromLaw(m_clsLaw);
}

VelboInteractionPoints* VelboSecDeformRC::m_surfaceOnModel(const VelboNode2D& g, const VelboBilinear* skipBarLaw,
                                                          int degreeDivision, int ratioDivision,
                                                          int pointsPerDirection)
{
    VelboSectionModel* model = sectionModel();
    const int directions = 4 * degreeDivision + 1;
    // Released, with the points stored so far, on every way out but success.
    std::unique_ptr<VelboInteractionPoints> points(new VelboInteractionPoints(
        directions * pointsPerDirection, static_cast<unsigned int>(pointsPerDirection)));
    int k = 0;
    const ResetOnExit<VelboStrainPath::Ranges> heldRangesReset{m_heldRanges};
    // Without a law the first point says which is missing.
    const bool lawsGiven = m_barLaw && m_clsLaw;

    // The point of the current direction at the given ratio; null when the
    // set has to be given up.
    const auto pointAt = [&](double ratio) -> std::unique_ptr<VelboSectionForces> {
        if (m_interrupted && m_interrupted()) {
            return nullptr;
        }
        setDefRatio(ratio);
        if (model) {
            model->meshesReset();
        }
        if (!deformatorSliceFromLaw(m_clsLaw)) {
            std::cerr << "VelboSecDeformRC::interactionSurface-ERR: errore di deformatorSliceFromLaw !!!";
            return nullptr;
        }
        std::unique_ptr<VelboSectionForces> point(deformatorForces(g.xn(), g.yn(), nullptr));
        if (!point) {
            // deformatorForces has written its message.
            return nullptr;
        }
        // A domain never holds a point that is not a number.
        if (!std::isfinite(point->fz()) || !std::isfinite(point->mx()) || !std::isfinite(point->my())) {
            std::cerr << "VelboSecDeformRC::interactionSurface-ERR: forces not finite at " << angle()
                      << " degrees, ratio " << defRatio() << " !!!\n";
            return nullptr;
        }
        return point;
    };
    // The pilot of a spread direction, made as its points are.
    const auto pilotAt = [&](double ratio, double* forces) {
        const std::unique_ptr<VelboSectionForces> point = pointAt(ratio);
        if (!point) {
            return false;
        }
        forces[0] = point->fz();
        forces[1] = point->mx();
        forces[2] = point->my();
        return true;
    };

    // Every direction's path is tested before any point is made: turning
    // the model takes far less than making its points.
    if (lawsGiven) {
        for (int i = 0; i < directions; ++i) {
            m_heldRanges.reset();
            setAngle((90.0 * i) / degreeDivision);
            if (!m_directionHasPath(m_ranges())) {
                return nullptr;
            }
        }
    }

    for (int i = 0; i < directions; ++i) {
        m_heldRanges.reset();
        setAngle((90.0 * i) / degreeDivision);
        // Meshes of the turned geometry for every point of the direction,
        // its first points included.
        if (model) {
            model->meshesMake();
        }
        // The nodes stay where setAngle put them until the next direction.
        m_heldRanges = m_ranges();
        VelboDirectionRatios ratios = directionRatios(skipBarLaw, ratioDivision);
        if (!ratios.takePilot(pilotAt)) {
            return nullptr;
        }
        for (int j = 0; j < ratios.count(); ++j) {
            std::unique_ptr<VelboSectionForces> point = pointAt(ratios.ratio(j));
            if (!point) {
                return nullptr;
            }
            points->interactionPointsInsertAt(k, point.release());
            ++k;
        }
    }
    return points.release();
}

bool VelboSecDeformRC::m_directionHasPath(const VelboStrainPath::Ranges& r) const
{
    const char* const error = "VelboSecDeformRC::interactionSurface-ERR: strain span of ";
    switch (VelboStrainPath::span(r)) {
    case VelboStrainPath::SPAN_POSITIVE:
        // A path longer than the largest double gives no plane a ratio.
        if (!std::isfinite(VelboStrainPath(m_limits(), r).length())) {
            std::cerr << "VelboSecDeformRC::interactionSurface-ERR: strain path of no finite length at " << angle()
                      << " degrees: the limit strains are too large !!!\n";
            return false;
        }
        return true;
    case VelboStrainPath::SPAN_ZERO:
        std::cerr << error << "zero height at " << angle()
                  << " degrees: the lowest bar lies on the top edge of the concrete !!!\n";
        break;
    case VelboStrainPath::SPAN_NEGATIVE:
        std::cerr << error << "negative height at " << angle()
                  << " degrees: the lowest bar lies above the top of the concrete !!!\n";
        break;
    case VelboStrainPath::SPAN_UNDEFINED:
        std::cerr << error << "undefined height at " << angle()
                  << " degrees: the top of the concrete or the lowest bar is not a number !!!\n";
        break;
    }
    return false;
}

VelboDirectionRatios VelboSecDeformRC::m_pathRatios(const VelboBilinear* skipBarLaw, int ratioDivision) const
{
    // Without both laws the points take even steps, which ask nothing of the
    // laws: the first point says which law is missing.
    const bool lawsGiven = skipBarLaw || (m_barLaw && m_clsLaw);
    const VelboStrainPath::Limits limits = lawsGiven ? m_limits() : VelboStrainPath::Limits{kNaN, kNaN, kNaN, kNaN};
    return VelboDirectionRatios(VelboStrainPath(limits, m_ranges()), skipBarLaw, ratioDivision);
}

VelboDirectionRatios VelboSecDeformRC::directionRatios(const VelboBilinear* skipBarLaw, int ratioDivision) const
{
    VelboDirectionRatios ratios = m_pathRatios(skipBarLaw, ratioDivision);
    const VelboSectionModel* model = sectionModel();
    if (ratios.spread() && model && m_barLaw) {
        const std::vector<double> barLimits = m_barLaw->getInternalLimits();
        ratios.setBarLimits(barLimits.data(), barLimits.size());
        const double clsTop = ratios.path().ranges().clsTop;
        for (const VelboSectionElement* element : model->sectionElements()) {
            if (!element->elementIsSolid()) {
                ratios.addBar(element->elementCalcBarycenter().yn() - clsTop, element->elementCalcArea());
            }
        }
    }
    return ratios;
}

const VelboCostitutiveLaw* VelboSecDeformRC::clsLaw() const
{
    return m_clsLaw;
}

bool VelboSecDeformRC::mixedLaws() const
{
    return m_mixedLaws;
}

void VelboSecDeformRC::setInterruptCheck(std::function<bool()> interrupted)
{
    m_interrupted = std::move(interrupted);
}
