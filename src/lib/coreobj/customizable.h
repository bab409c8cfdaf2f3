#pragma once

#include <string>

// Marks whether an object was customised by the user.
class Customizable {
public:
    Customizable();
    explicit Customizable(bool const& cust);
    Customizable(Customizable const& c);
    Customizable& operator=(Customizable const& c);

    virtual bool isCustom() const;
    virtual void setCustom(bool const& cust);

private:
    bool m_custom;

    static std::string m_objname;
};
