#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "velbocore/velbosectiondeformator.h"

class VelboBilinear;
class VelboDomainSweep;

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
    const VelboCostitutiveLaw* clsLaw() const;

    // Asked by interactionSurface between pieces of work, on the calling
    // thread only: true stops it, and it returns null without a message.
    void setInterruptCheck(std::function<bool()> interrupted);

private:
    // The sweep makes the points of interactionSurface from these helpers.
    friend class VelboDomainSweep;

    // Vertical extents of the concrete and of the bars in the model's geometry.
    struct Ranges {
        double clsTop, clsBottom, barTop, barBottom;
    };
    Ranges m_ranges() const;
    // The strain plane at the given ratio over the given ranges: what
    // xRange gives when the model has those ranges and the deformator that ratio.
    void m_plane(const Ranges& r, double ratio, double* xTop, double* xBot) const;
    double m_yPivot(const Ranges& r) const;
    double m_xOverCompression(const Ranges& r) const;
    // True when the strain span, from the top of the concrete to the lowest
    // bar, has no height: no strain plane of the path is defined then.
    static bool m_zeroSpan(const Ranges& r);
    // The ratios of the points of one direction: even steps over the path,
    // or (skipBarLaw given) ratio 0 and then even steps from where the bars
    // start to yield.
    void m_directionRatios(const Ranges& r, const VelboBilinear* skipBarLaw, int ratioDivision,
                           std::vector<double>& ratios) const;
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
    std::optional<Ranges> m_heldRanges;
    std::function<bool()> m_interrupted;
};
