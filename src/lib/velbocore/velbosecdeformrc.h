#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "velbocore/velbodirectionratios.h"
#include "velbocore/velbosectiondeformator.h"
#include "velbocore/velbostrainpath.h"

class VelboBilinear;

// Deformator of a reinforced-concrete section: solid elements are concrete
// with one law, point elements are bars with another. defRatio sweeps the
// ultimate strain path from uniform tension (0) to uniform compression (1).
class VelboSecDeformRC final : public VelboSectionDeformator
{
public:
    enum InteractionSurfaceOptions
    {
        ISO_UNIFORM = 0,
        ISO_SKIP_SAME_BARVALUE = 1
    };

    explicit VelboSecDeformRC(VelboSectionModel* model);

    VelboSectionForces* deformatorForces(double deltaX, double deltaY, bool* ok) const override;
    void xRange(double* xTop, double* xBot) const override;
    void yRange(double* yTop, double* yBot) const override;
    double maxTopTrac() const override;
    double maxBotTrac() const override;
    double maxTopComp() const override;
    double maxBotComp() const override;
    double maxCompUniform() const override;
    double yPivot() const override;
    double deformationMaxLength() const override;
    VelboInteractionPoints* interactionSurface(int degreeDivision, int ratioDivision, int options) override;

    double xOverCompression() const;
    // The ratios of the points of the current direction, as
    // interactionSurface takes them: skipBarLaw for ISO_SKIP_SAME_BARVALUE,
    // null for ISO_UNIFORM. A spread direction needs its pilot, made on the
    // model as the section stands.
    VelboDirectionRatios directionRatios(const VelboBilinear* skipBarLaw, int ratioDivision) const;
    const VelboCostitutiveLaw* clsLaw() const;
    // True when the constructor found bars, or concrete elements, of more
    // than one law (and said so): the path then follows the last element's.
    bool mixedLaws() const;

    // Asked by interactionSurface between pieces of work, on the calling
    // thread only: true stops it, and it returns null without a message.
    void setInterruptCheck(std::function<bool()> interrupted);

private:
    // The limit strains of the two laws, asked in the order the path length takes them.
    VelboStrainPath::Limits m_limits() const;
    // The ratios of the current direction before the bars are given.
    VelboDirectionRatios m_pathRatios(const VelboBilinear* skipBarLaw, int ratioDivision) const;
    // The ranges of the model as it stands, or the held ones.
    VelboStrainPath::Ranges m_ranges() const;
    // True when the strain span of the ranges is positive and the path over
    // it of finite length; otherwise writes why the current direction has no
    // strain plane.
    bool m_directionHasPath(const VelboStrainPath::Ranges& r) const;

    // The surface made point by point on the model.
    VelboInteractionPoints* m_surfaceOnModel(const VelboNode2D& g, const VelboBilinear* skipBarLaw,
                                             int degreeDivision, int ratioDivision, int pointsPerDirection);
    // Leaves the model and this deformator as the last point of the path
    // leaves them: nodes turned by the last direction, meshes of the last
    // strain plane. False when that slicing fails.
    bool m_leaveLastPoint(const VelboBilinear* skipBarLaw, int degreeDivision, int ratioDivision);

    const VelboCostitutiveLaw* m_barLaw;
    const VelboCostitutiveLaw* m_clsLaw;
    // Held by interactionSurface while the geometry of a direction stays still,
    // so the strain planes of its points do not walk the elements again.
    std::optional<VelboStrainPath::Ranges> m_heldRanges;
    // Set by the constructor when the bars, or the concrete elements, do not
    // all have one law.
    bool m_mixedLaws;
    std::function<bool()> m_interrupted;
};
