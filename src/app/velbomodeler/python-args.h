#pragma once

// Reading the arguments of the container methods: values, positions, keys
// and slices. Each of these may run Python code (a __float__, an __index__,
// an iterator), which may change any container, the one being called
// included; the container methods therefore read all their arguments first
// and look their container up afterwards.

#include <boost/python.hpp>

#include <climits>
#include <cmath>
#include <cstddef>
#include <optional>
#include <type_traits>
#include <vector>

#include "own-copy.h"

namespace velbopy {

// Raises the Python error type with the text.
[[noreturn]] inline void raiseError(PyObject* type, const char* text) {
    PyErr_SetString(type, text);
    boost::python::throw_error_already_set();
    throw;  // not reached: throw_error_already_set throws
}

// The container that a method was called on, looked up now.
template <class Container>
Container& target(const boost::python::object& self) {
    return boost::python::extract<Container&>(self)();
}

// A copy of the value that the Python object stands for as a T (an element
// of that class, a proxy of one, or a number for a scalar T), of its own
// (own-copy.h); nothing when it does not convert.
template <class T>
std::optional<T> valueOf(PyObject* object) {
    boost::python::extract<const T&> exact(object);
    if (exact.check()) return ownCopy(exact());
    boost::python::extract<T> converted(object);
    if (converted.check()) return ownCopy(converted());
    return std::nullopt;
}

// The values of a Python iterable, each converted as by valueOf; the
// error text is raised as a TypeError for an item that does not convert,
// and notIterable, when given, for an object that is not iterable.
template <class T>
std::vector<T> valuesOf(PyObject* iterable, const char* badItem, const char* notIterable = nullptr) {
    using boost::python::handle;
    PyObject* rawIterator = PyObject_GetIter(iterable);
    if (rawIterator == nullptr) {
        if (notIterable != nullptr && PyErr_ExceptionMatches(PyExc_TypeError))
            raiseError(PyExc_TypeError, notIterable);
        boost::python::throw_error_already_set();
    }
    handle<> iterator(rawIterator);
    std::vector<T> values;
    while (PyObject* raw = PyIter_Next(iterator.get())) {
        handle<> item(raw);
        std::optional<T> value = valueOf<T>(item.get());
        if (!value) raiseError(PyExc_TypeError, badItem);
        values.push_back(std::move(*value));
    }
    if (PyErr_Occurred()) boost::python::throw_error_already_set();
    return values;
}

// An index of a vector as given: an int or any object with __index__ (a
// NumPy integer), possibly negative.
inline Py_ssize_t indexOf(PyObject* index) {
    if (!PyIndex_Check(index)) raiseError(PyExc_TypeError, "Invalid index type");
    const Py_ssize_t value = PyNumber_AsSsize_t(index, PyExc_IndexError);
    if (value == -1 && PyErr_Occurred()) boost::python::throw_error_already_set();
    return value;
}

// The position an index names in a vector of the size, if any; negative
// indices count from the end.
inline std::optional<std::size_t> positionIn(Py_ssize_t index, std::size_t size) {
    const Py_ssize_t length = static_cast<Py_ssize_t>(size);
    if (index < 0) index += length;
    if (index < 0 || index >= length) return std::nullopt;
    return static_cast<std::size_t>(index);
}

// As positionIn, raising IndexError for an index outside the vector.
inline std::size_t positionOf(Py_ssize_t index, std::size_t size) {
    const std::optional<std::size_t> position = positionIn(index, size);
    if (!position) raiseError(PyExc_IndexError, "Index out of range");
    return *position;
}

// A slice as given; spanOf fits it to a vector once the size is known.
struct Slice {
    Py_ssize_t start;
    Py_ssize_t stop;
    Py_ssize_t step;
};

struct SliceSpan {
    std::size_t start;
    std::size_t stop;  // end of a step-1 slice, never below start
    Py_ssize_t step;
    std::size_t length;

    // The position of the slice's i-th element.
    std::size_t at(std::size_t i) const {
        return static_cast<std::size_t>(static_cast<Py_ssize_t>(start) + static_cast<Py_ssize_t>(i) * step);
    }
};

inline Slice sliceOf(PyObject* slice) {
    Slice s{};
    if (PySlice_Unpack(slice, &s.start, &s.stop, &s.step) < 0) boost::python::throw_error_already_set();
    return s;
}

inline SliceSpan spanOf(Slice s, std::size_t size) {
    const Py_ssize_t length = PySlice_AdjustIndices(static_cast<Py_ssize_t>(size), &s.start, &s.stop, s.step);
    SliceSpan span{};
    span.start = static_cast<std::size_t>(s.start);
    span.step = s.step;
    span.length = static_cast<std::size_t>(length);
    span.stop = s.step == 1 ? span.start + span.length : span.start;
    return span;
}

// A map key as given (an int or any object with __index__) within the range
// of int; nothing for another integer, TypeError for anything else.
inline std::optional<int> keyOf(PyObject* key) {
    if (!PyIndex_Check(key)) raiseError(PyExc_TypeError, "Invalid index type");
    const boost::python::handle<> number(PyNumber_Index(key));
    int overflow = 0;
    const long value = PyLong_AsLongAndOverflow(number.get(), &overflow);
    if (value == -1 && PyErr_Occurred()) boost::python::throw_error_already_set();
    if (overflow != 0 || value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

// What a membership test looks for in a vector of numbers of type T, read
// from a plain int, bool or float probe: the one T that equals the probe as
// Python compares numbers, or none when no T does. A VFloat probe is first
// rounded to single precision, as a stored value is. Any other probe is not
// plain: Python compares it with each element.
template <class T>
struct NumberProbe {
    bool plain = false;
    std::optional<T> value;
};

// The double that equals the Python int exactly, if there is one.
inline std::optional<double> exactDouble(PyObject* integer) {
    int overflow = 0;
    const long long whole = PyLong_AsLongLongAndOverflow(integer, &overflow);
    if (whole == -1 && PyErr_Occurred()) boost::python::throw_error_already_set();
    if (overflow == 0) {
        const double value = static_cast<double>(whole);
        // A rounded value may reach 2^63, outside long long.
        if (value >= 9223372036854775808.0 || static_cast<long long>(value) != whole) return std::nullopt;
        return value;
    }
    const double value = PyLong_AsDouble(integer);
    if (value == -1.0 && PyErr_Occurred()) {
        if (!PyErr_ExceptionMatches(PyExc_OverflowError)) boost::python::throw_error_already_set();
        PyErr_Clear();
        return std::nullopt;
    }
    // A double this large is a whole number: it is the int when it converts back to it.
    const boost::python::handle<> back(PyLong_FromDouble(value));
    const int same = PyObject_RichCompareBool(back.get(), integer, Py_EQ);
    if (same < 0) boost::python::throw_error_already_set();
    if (same == 0) return std::nullopt;
    return value;
}

template <class T>
NumberProbe<T> numberProbeOf(PyObject* probe) {
    static_assert(std::is_same_v<T, int> || std::is_same_v<T, double> || std::is_same_v<T, float>);
    NumberProbe<T> result;
    const bool isInt = PyLong_CheckExact(probe) || PyBool_Check(probe);
    const bool isFloat = PyFloat_CheckExact(probe);
    if (!isInt && !isFloat) return result;
    result.plain = true;
    if constexpr (std::is_same_v<T, int>) {
        if (isInt) {
            int overflow = 0;
            const long long whole = PyLong_AsLongLongAndOverflow(probe, &overflow);
            if (whole == -1 && PyErr_Occurred()) boost::python::throw_error_already_set();
            if (overflow == 0 && whole >= INT_MIN && whole <= INT_MAX) result.value = static_cast<int>(whole);
        } else {
            const double value = PyFloat_AS_DOUBLE(probe);
            if (std::isfinite(value) && std::trunc(value) == value && value >= INT_MIN && value <= INT_MAX)
                result.value = static_cast<int>(value);
        }
    } else if constexpr (std::is_same_v<T, double>) {
        result.value = isInt ? exactDouble(probe) : std::optional<double>(PyFloat_AS_DOUBLE(probe));
    } else {
        double value = 0.0;
        if (isInt) {
            value = PyLong_AsDouble(probe);
            if (value == -1.0 && PyErr_Occurred()) {
                if (!PyErr_ExceptionMatches(PyExc_OverflowError)) boost::python::throw_error_already_set();
                PyErr_Clear();
                return result;
            }
        } else {
            value = PyFloat_AS_DOUBLE(probe);
        }
        result.value = static_cast<float>(value);
    }
    return result;
}

}  // namespace velbopy
