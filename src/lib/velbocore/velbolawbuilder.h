#pragma once

class VelboCostitutiveLaw;

// Turns a law code into a new law with preset parameters. The caller owns
// the returned law; unknown codes give a null pointer. Builders are used as
// local objects, so the destructor is protected and not virtual.
class VelboLawBuilder {
public:
    VelboLawBuilder() = default;

    virtual VelboCostitutiveLaw* buildLaw(int nbo) const = 0;

protected:
    ~VelboLawBuilder() = default;
    VelboLawBuilder(const VelboLawBuilder&) = default;
    VelboLawBuilder& operator=(const VelboLawBuilder&) = default;
};
