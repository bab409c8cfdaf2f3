#pragma once

// Interface of a double value with an on/off state.
class Value {
public:
    virtual void setValue(double const& value) = 0;
    virtual double getValue() const = 0;
    virtual bool isSet() const;

protected:
    // Not deletable through a base pointer: the destructor is not virtual.
    ~Value() = default;

    virtual void setOn();
    virtual void setOff();

private:
    bool m_is_set = false;
};
