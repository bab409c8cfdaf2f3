#pragma once

// Property setters of the value classes that look their object up only
// after the new value has been converted: the conversion may run Python
// code (a __float__ or __index__ of the value) that moves or removes the
// element a proxy stands for.

#include <boost/python.hpp>

namespace velbopy {

template <auto Set>
struct SetProperty;

template <class T, class V, void (T::*Set)(V)>
struct SetProperty<Set> {
    static void call(const boost::python::object& self, V value) {
        T& object = boost::python::extract<T&>(self);
        (object.*Set)(value);
    }
};

// The id of the identifier base, read and written through the value class.
template <class T>
int objectId(const T& object) {
    return object.id();
}

template <class T>
void setObjectId(const boost::python::object& self, int id) {
    T& object = boost::python::extract<T&>(self);
    object.setId(id);
}

}  // namespace velbopy
