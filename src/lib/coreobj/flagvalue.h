#pragma once

// Interface of a double value attached to a flag.
class FlagValue {
public:
    virtual int setFlagValue(double const& value) = 0;

    // One value serves every flag index.
    virtual double getFlagValue(int i) const;

protected:
    // Not deletable through a base pointer: the destructor is not virtual.
    ~FlagValue() = default;

    double m_value = 0.0;
};
