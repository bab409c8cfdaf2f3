#pragma once

#include <string>

#include "coreobj/xid.h"

// Abstract base of every object of a cross-section (nodes and elements).
// It carries the id and the virtual interface only. Objects are deleted
// through VelboNode2D or VelboSectionElement, which declare the virtual
// destructor.
class VelboSectionObj : public XId {
public:
    explicit VelboSectionObj(int id) : XId(id) {}

    virtual int typeOfStruObject() const = 0;
    virtual std::string typeNameOfStruObject() const = 0;
    virtual VelboSectionObj* clone() const = 0;
};
