#pragma once

// A std::map with int keys as a Python class that behaves as a dict: len,
// item get, set and delete by key (KeyError for a missing key), membership
// by key and iteration over entries in ascending key order. Values are
// handed out as proxies (element-proxy.h) that follow their value by key, or
// as copies for a map registered with Copies. Iteration yields entry objects
// (class "map_indexing_suite_" + map class name + "_entry", with key() and
// data()); an entry keeps its key and, in data(), the proxy or copy of the
// value made when the entry was, so it stays valid after any later change.
// As with a dict, changing the map's size while iterating over it makes the
// iteration raise RuntimeError.

#include <boost/python.hpp>

#include <cstddef>
#include <optional>
#include <string>

#include "element-proxy.h"
#include "python-args.h"

namespace velbopy {

template <class Container, bool Copies = false>
class MapClass {
public:
    using Value = typename Container::mapped_type;

    // Registers the class under the name, then its entry class, and the
    // class of its iterators (not among the module's names).
    static void define(const char* name) {
        using boost::python::class_;
        class_<Container>(name)
            .def("__len__", &size)
            .def("__setitem__", &setItem)
            .def("__delitem__", &deleteItem)
            .def("__getitem__", &getItem)
            .def("__contains__", &contains)
            .def("__iter__", &iterate);
        if constexpr (!Copies) Proxies::registerProxyClass();

        const std::string entryName = "map_indexing_suite_" + std::string(name) + "_entry";
        class_<Entry>(entryName.c_str())
            .def("__repr__", &entryRepr)
            .def("data", &entryData)
            .def("key", &entryKey);

        const object module = boost::python::scope().attr("__name__");
        const std::string iteratorName = std::string(name) + "_iterator";
        const boost::python::scope outside{object()};
        class_<Iterator>(iteratorName.c_str(), boost::python::no_init)
            .def("__iter__", &itself)
            .def("__next__", &next)
            .setattr("__module__", module);
    }

private:
    using object = boost::python::object;
    using Self = boost::python::back_reference<Container&>;
    using Proxies = ProxyRegistry<Container>;

    struct Entry {
        int key = 0;
        object data = object(Value());
    };

    struct Iterator {
        object owner;
        Container* container;
        std::size_t size;         // when the iteration began
        std::optional<int> last;  // the key of the last entry handed out
        bool done;                // the end was reached
        bool changed;             // the map's size changed: every next call raises
    };

    static std::size_t size(const Container& container) { return container.size(); }

    [[noreturn]] static void slicing() { raiseError(PyExc_RuntimeError, "Slicing not supported"); }

    // What indexing hands out for the value under key, which is in the map.
    static object valueAt(const object& owner, Container& container, int key) {
        if constexpr (Copies) {
            const Value value = container.at(key);
            return object(value);
        } else {
            return Proxies::proxyFor(owner, container, key);
        }
    }

    static object getItem(Self self, PyObject* key) {
        if (PySlice_Check(key)) slicing();
        const std::optional<int> k = keyOf(key);
        Container& container = target<Container>(self.source());
        if (!k || container.count(*k) == 0) raiseError(PyExc_KeyError, "Invalid key");
        return valueAt(self.source(), container, *k);
    }

    static void setItem(Self self, PyObject* key, PyObject* value) {
        if (PySlice_Check(key)) slicing();
        std::optional<Value> v = valueOf<Value>(value);
        if (!v) raiseError(PyExc_TypeError, "Invalid assignment");
        const std::optional<int> k = keyOf(key);
        if (!k) raiseError(PyExc_OverflowError, "Python int too large to convert to C int");
        Container& container = target<Container>(self.source());
        change(container, *k, [&] { container.insert_or_assign(*k, std::move(*v)); });
    }

    static void deleteItem(Self self, PyObject* key) {
        if (PySlice_Check(key)) slicing();
        const std::optional<int> k = keyOf(key);
        Container& container = target<Container>(self.source());
        if (!k || container.count(*k) == 0) raiseError(PyExc_KeyError, "Invalid key");
        change(container, *k, [&] { container.erase(*k); });
    }

    static bool contains(Self self, PyObject* key) {
        if (!PyLong_Check(key)) return false;
        const std::optional<int> k = keyOf(key);
        return k && target<Container>(self.source()).count(*k) != 0;
    }

    static object iterate(Self self) {
        Container& container = target<Container>(self.source());
        return object(Iterator{self.source(), &container, container.size(), std::nullopt, false, false});
    }

    static object itself(const object& iterator) { return iterator; }

    // Walks by key, so a change of the map never leaves it on a lost element.
    static object next(Iterator& it) {
        if (it.changed || (!it.done && it.container->size() != it.size)) {
            it.changed = true;
            raiseError(PyExc_RuntimeError, "map changed size during iteration");
        }
        const auto position = it.done ? it.container->end()
                              : it.last ? it.container->upper_bound(*it.last)
                                        : it.container->begin();
        if (position == it.container->end()) {
            it.done = true;
            PyErr_SetNone(PyExc_StopIteration);
            boost::python::throw_error_already_set();
        }
        const int key = position->first;
        it.last = key;
        return object(Entry{key, valueAt(it.owner, *it.container, key)});
    }

    // A map of copies gives a new copy at every call, as indexing does.
    static object entryData(const Entry& entry) {
        if constexpr (Copies) {
            const Value value = boost::python::extract<const Value&>(entry.data)();
            return object(value);
        } else {
            return entry.data;
        }
    }

    static int entryKey(const Entry& entry) { return entry.key; }

    static object entryRepr(const Entry& entry) {
        return boost::python::str("(%s, %s)") % boost::python::make_tuple(entry.key, entryData(entry));
    }

    template <class Apply>
    static void change(Container& container, int key, Apply apply) {
        if constexpr (Copies) {
            apply();
        } else {
            typename Proxies::Update update(container, [key](int k) {
                return k == key ? std::nullopt : std::optional<int>(k);
            });
            apply();
            update.commit();
        }
    }
};

}  // namespace velbopy
