#pragma once

// A std::vector as a Python class that behaves as a list: len, indexing
// (negative indices too), slices (get, assign, delete, with steps), item
// assignment and deletion, membership, iteration, append and extend.
// Scalars are handed out as Python numbers. Elements of class type are
// handed out as proxies (element-proxy.h) that follow their element by
// position: removed or replaced through the container, a proxy detaches
// with a copy of the element's last value; elements removed or inserted
// before it move it along. Iteration goes by index, as indexing does, so a
// loop may change the vector.

#include <boost/python.hpp>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <type_traits>
#include <vector>

#include "element-proxy.h"
#include "python-args.h"

namespace velbopy {

template <class Container>
class VectorClass {
public:
    using Element = typename Container::value_type;

    // Registers the class under the name, with a constructor of an empty vector.
    static void define(const char* name) {
        using boost::python::class_;
        class_<Container>(name)
            .def("__len__", &size)
            .def("__setitem__", &setItem)
            .def("__delitem__", &deleteItem)
            .def("__getitem__", &getItem)
            .def("__contains__", &contains)
            .def("__iter__", &iterate)
            .def("append", &append)
            .def("extend", &extend);
        if constexpr (kProxies) Proxies::registerProxyClass();
    }

private:
    using object = boost::python::object;
    using Self = boost::python::back_reference<Container&>;
    using Proxies = ProxyRegistry<Container>;
    static constexpr bool kProxies = std::is_class_v<Element>;

    static std::size_t size(const Container& container) { return container.size(); }

    static object getItem(Self self, PyObject* index) {
        if (PySlice_Check(index)) {
            const Slice slice = sliceOf(index);
            const Container& container = target<Container>(self.source());
            const SliceSpan span = spanOf(slice, container.size());
            Container part;
            part.reserve(span.length);
            for (std::size_t i = 0; i < span.length; ++i) part.push_back(ownCopy(container[span.at(i)]));
            return object(part);
        }
        const Py_ssize_t given = indexOf(index);
        Container& container = target<Container>(self.source());
        if constexpr (kProxies) {
            std::optional<object> proxy = Proxies::proxyFor(
                self.source(), container, [given](const Container& c) { return positionIn(given, c.size()); });
            if (!proxy) raiseError(PyExc_IndexError, "Index out of range");
            return *proxy;
        } else {
            const Element value = container[positionOf(given, container.size())];
            return object(value);
        }
    }

    static void setItem(Self self, PyObject* index, PyObject* value) {
        if (PySlice_Check(index)) {
            setSlice(self.source(), sliceOf(index), value);
            return;
        }
        const Py_ssize_t given = indexOf(index);
        std::optional<Element> element = valueOf<Element>(value);
        if (!element) raiseError(PyExc_TypeError, "Invalid assignment");
        Container& container = target<Container>(self.source());
        const std::size_t position = positionOf(given, container.size());
        change(container, [&](std::size_t k) { return k == position ? none() : std::optional(k); },
               [&] { container[position] = *element; });
    }

    static void deleteItem(Self self, PyObject* index) {
        if (PySlice_Check(index)) {
            deleteSlice(self.source(), sliceOf(index));
            return;
        }
        const Py_ssize_t given = indexOf(index);
        Container& container = target<Container>(self.source());
        const std::size_t position = positionOf(given, container.size());
        change(
            container,
            [&](std::size_t k) {
                if (k == position) return none();
                return std::optional(k > position ? k - 1 : k);
            },
            [&] { container.erase(container.begin() + static_cast<std::ptrdiff_t>(position)); });
    }

    // The value must be an iterable of elements, as for a list.
    static void setSlice(const object& self, const Slice& slice, PyObject* value) {
        const char* notIterable =
            slice.step == 1 ? "can only assign an iterable" : "must assign iterable to extended slice";
        const std::vector<Element> items = valuesOf<Element>(value, "Invalid sequence element", notIterable);
        Container& container = target<Container>(self);
        const SliceSpan span = spanOf(slice, container.size());
        if (span.step == 1) {
            const std::size_t removed = span.stop - span.start;
            const std::size_t added = items.size();
            Container result;
            result.reserve(container.size() - removed + added);
            result.insert(result.end(), container.begin(), container.begin() + static_cast<std::ptrdiff_t>(span.start));
            result.insert(result.end(), items.begin(), items.end());
            result.insert(result.end(), container.begin() + static_cast<std::ptrdiff_t>(span.stop), container.end());
            change(
                container,
                [&](std::size_t k) {
                    if (k < span.start) return std::optional(k);
                    if (k < span.stop) return none();
                    return std::optional(k - removed + added);
                },
                [&] { container.swap(result); });
            return;
        }
        if (items.size() != span.length) {
            PyErr_Format(PyExc_ValueError, "attempt to assign sequence of size %zd to extended slice of size %zd",
                         static_cast<Py_ssize_t>(items.size()), static_cast<Py_ssize_t>(span.length));
            boost::python::throw_error_already_set();
        }
        std::vector<bool> replaced(container.size(), false);
        for (std::size_t i = 0; i < span.length; ++i) replaced[span.at(i)] = true;
        change(
            container, [&](std::size_t k) { return replaced[k] ? none() : std::optional(k); },
            [&] {
                for (std::size_t i = 0; i < span.length; ++i) container[span.at(i)] = items[i];
            });
    }

    static void deleteSlice(const object& self, const Slice& slice) {
        Container& container = target<Container>(self);
        const SliceSpan span = spanOf(slice, container.size());
        // removedBefore[k]: how many removed positions lie below k.
        std::vector<bool> removed(container.size(), false);
        for (std::size_t i = 0; i < span.length; ++i) removed[span.at(i)] = true;
        std::vector<std::size_t> removedBefore(container.size() + 1, 0);
        for (std::size_t k = 0; k < container.size(); ++k) removedBefore[k + 1] = removedBefore[k] + (removed[k] ? 1 : 0);
        Container result;
        result.reserve(container.size() - span.length);
        for (std::size_t k = 0; k < container.size(); ++k)
            if (!removed[k]) result.push_back(container[k]);
        change(
            container,
            [&](std::size_t k) { return removed[k] ? none() : std::optional(k - removedBefore[k]); },
            [&] { container.swap(result); });
    }

    // Class elements compare with their own equality; numbers as a list of
    // them would (1.0 is in a VInt holding 1, 2**70 in none).
    static bool contains(Self self, PyObject* value) {
        if constexpr (kProxies) {
            const std::optional<Element> probe = valueOf<Element>(value);
            return probe && holds(target<Container>(self.source()), *probe);
        } else {
            const NumberProbe<Element> probe = numberProbeOf<Element>(value);
            if (probe.plain) return probe.value && holds(target<Container>(self.source()), *probe.value);
            // Anything else compares itself with each element, which may run
            // Python code that changes the vector: each step looks again.
            for (std::size_t i = 0;; ++i) {
                const Container& container = target<Container>(self.source());
                if (i >= container.size()) return false;
                const Element element = container[i];
                const object item(element);
                const int equal = PyObject_RichCompareBool(item.ptr(), value, Py_EQ);
                if (equal < 0) boost::python::throw_error_already_set();
                if (equal != 0) return true;
            }
        }
    }

    static bool holds(const Container& container, const Element& probe) {
        return std::find(container.begin(), container.end(), probe) != container.end();
    }

    // The interpreter's own sequence iterator: it indexes the vector from 0
    // until IndexError, so it yields what indexing yields.
    static object iterate(Self self) {
        return object(boost::python::handle<>(PySeqIter_New(self.source().ptr())));
    }

    static void append(Self self, PyObject* value) {
        std::optional<Element> element = valueOf<Element>(value);
        if (!element) raiseError(PyExc_TypeError, "Attempting to append an invalid type");
        target<Container>(self.source()).push_back(std::move(*element));
    }

    // Nothing is added unless every item converts.
    static void extend(Self self, PyObject* iterable) {
        const std::vector<Element> items = valuesOf<Element>(iterable, "Incompatible Data Type");
        Container& container = target<Container>(self.source());
        container.insert(container.end(), items.begin(), items.end());
    }

    static std::optional<std::size_t> none() { return std::nullopt; }

    // Changes the container with apply and brings its proxies along: newKey
    // gives the position each element has afterwards (nothing: it goes).
    template <class NewKey, class Apply>
    static void change(Container& container, NewKey newKey, Apply apply) {
        if constexpr (kProxies) {
            typename Proxies::Update update(container, newKey);
            apply();
            update.commit();
        } else {
            apply();
        }
    }
};

}  // namespace velbopy
