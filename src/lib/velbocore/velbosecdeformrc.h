#pragma once

#include <optional>

#include "velbocore/velbosectiondeformator.h"

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

private:
    // Vertical extents of the concrete and of the bars in the model's geometry.
    struct Ranges {
        double clsTop, clsBottom, barTop, barBottom;
    };
    Ranges m_ranges() const;

    const VelboCostitutiveLaw* m_barLaw;
    const VelboCostitutiveLaw* m_clsLaw;
    // Held by interactionSurface while the geometry of a direction stays still,
    // so the strain planes of its points do not walk the elements again.
    std::optional<Ranges> m_heldRanges;
};
