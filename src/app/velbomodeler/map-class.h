#pragma once

// A std::map with int keys as a Python class that behaves as a dict: len,
// item get, set and delete by key (KeyError for a missing key), membership
// by key, iteration over entries in ascending key order and reversed(),
// which gives the same entries in descending key order. Values are handed
// out as proxies (element-proxy.h) that follow their value by key, or as
// copies for a map registered with Copies. Iteration, in either direction,
// yields entry objects (class "map_indexing_suite_" + map class name +
// "_entry", with key() and data()); an entry keeps its key and, in data(),
// the proxy or copy of the value made when the entry was, so it stays valid
// after any later change.
// As with a dict, adding or removing a key while iterating over the map, in
// either direction, makes the iteration raise RuntimeError (replacing a value
// does not).

#include <boost/python.hpp>

#include <cstddef>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

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
            .def("__iter__", &iterate)
            .def("__reversed__", &iterateReversed);
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
        const std::string reverseName = std::string(name) + "_reverse_iterator";
        class_<ReverseIterator>(reverseName.c_str(), boost::python::no_init)
            .def("__iter__", &itself)
            .def("__next__", &previous)
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

    // The progress of one iteration; while it lives it is told of every key
    // added to or removed from its map.
    class Walk {
    public:
        Walk(const object& owner, Container& container)
            : m_owner(owner), m_container(container), m_size(container.size()) {
            walks().emplace(&container, this);
        }
        ~Walk() {
            const auto [first, last] = walks().equal_range(&m_container);
            for (auto it = first; it != last; ++it) {
                if (it->second == this) {
                    walks().erase(it);
                    break;
                }
            }
        }
        Walk(const Walk&) = delete;
        Walk& operator=(const Walk&) = delete;

        // Every walk over the container learns that its keys changed.
        static void keysChanged(const Container& container) {
            const auto [first, last] = walks().equal_range(&container);
            for (auto it = first; it != last; ++it) it->second->m_keysChanged = true;
        }

        // Raises RuntimeError, now and at every later step.
        [[noreturn]] void fail() {
            if (m_failure == nullptr)
                m_failure = m_container.size() != m_size ? "map changed size during iteration"
                                                         : "map keys changed during iteration";
            raiseError(PyExc_RuntimeError, m_failure);
        }

        // Raises as a dict does once a key was added or removed, whatever the
        // size; a finished walk stays finished.
        void checkKeys() {
            if (m_failure != nullptr || (!m_done && m_keysChanged)) fail();
        }

        // Ends the walk with StopIteration, now and at every later step.
        [[noreturn]] void finish() {
            m_done = true;
            PyErr_SetNone(PyExc_StopIteration);
            boost::python::throw_error_already_set();
            throw;  // not reached: throw_error_already_set throws
        }

        object m_owner;  // keeps the map alive
        Container& m_container;
        std::size_t m_size;         // when the iteration began
        std::optional<int> m_last;  // the key of the last entry handed out
        bool m_done = false;        // the end was reached
        bool m_keysChanged = false;
        const char* m_failure = nullptr;  // once set, every next call raises it

    private:
        // Never destroyed: iterators may outlive the static objects at process exit.
        static std::unordered_multimap<const Container*, Walk*>& walks() {
            static auto* all = new std::unordered_multimap<const Container*, Walk*>;
            return *all;
        }
    };

    // The Python iterator holds its walk by a shared pointer, so that the
    // walk's address, which the map's changes reach, never moves.
    struct Iterator {
        std::shared_ptr<Walk> walk;
    };
    struct ReverseIterator {
        std::shared_ptr<Walk> walk;
    };

    static std::size_t size(const Container& container) { return container.size(); }

    [[noreturn]] static void slicing() { raiseError(PyExc_RuntimeError, "Slicing not supported"); }

    // What indexing hands out for the value under key; nothing when the key
    // is not in the map (making a proxy may run Python code that removes it).
    static std::optional<object> valueAt(const object& owner, Container& container, int key) {
        if (container.count(key) == 0) return std::nullopt;
        if constexpr (Copies) {
            const Value value = container.at(key);
            return object(value);
        } else {
            return Proxies::proxyFor(owner, container, [key](const Container& c) {
                return c.count(key) != 0 ? std::optional<int>(key) : std::nullopt;
            });
        }
    }

    static object getItem(Self self, PyObject* key) {
        if (PySlice_Check(key)) slicing();
        const std::optional<int> k = keyOf(key);
        Container& container = target<Container>(self.source());
        std::optional<object> value = k ? valueAt(self.source(), container, *k) : std::nullopt;
        if (!value) raiseError(PyExc_KeyError, "Invalid key");
        return *value;
    }

    static void setItem(Self self, PyObject* key, PyObject* value) {
        if (PySlice_Check(key)) slicing();
        std::optional<Value> v = valueOf<Value>(value);
        if (!v) raiseError(PyExc_TypeError, "Invalid assignment");
        const std::optional<int> k = keyOf(key);
        if (!k) raiseError(PyExc_OverflowError, "Python int too large to convert to C int");
        Container& container = target<Container>(self.source());
        const bool added = container.count(*k) == 0;
        change(container, *k, [&] { container.insert_or_assign(*k, std::move(*v)); });
        if (added) Walk::keysChanged(container);
    }

    static void deleteItem(Self self, PyObject* key) {
        if (PySlice_Check(key)) slicing();
        const std::optional<int> k = keyOf(key);
        Container& container = target<Container>(self.source());
        if (!k || container.count(*k) == 0) raiseError(PyExc_KeyError, "Invalid key");
        change(container, *k, [&] { container.erase(*k); });
        Walk::keysChanged(container);
    }

    static bool contains(Self self, PyObject* key) {
        if (!PyIndex_Check(key)) return false;
        const std::optional<int> k = keyOf(key);
        return k && target<Container>(self.source()).count(*k) != 0;
    }

    // The walk starts once its iterator object is made: whatever making it
    // ran (a garbage collection) happened before the iteration.
    template <class It>
    static object startWalk(Self self) {
        object iterator{It{}};
        Container& container = target<Container>(self.source());
        It& held = boost::python::extract<It&>(iterator);
        held.walk = std::make_shared<Walk>(self.source(), container);
        return iterator;
    }

    static object iterate(Self self) { return startWalk<Iterator>(self); }
    static object iterateReversed(Self self) { return startWalk<ReverseIterator>(self); }

    static object itself(const object& iterator) { return iterator; }

    // Walks by key, in ascending order.
    static object next(Iterator& it) {
        Walk& walk = *it.walk;
        walk.checkKeys();
        const Container& container = walk.m_container;
        const auto position = walk.m_done ? container.end()
                              : walk.m_last ? container.upper_bound(*walk.m_last)
                                            : container.begin();
        if (position == container.end()) walk.finish();
        return entryOf(walk, position->first);
    }

    // Walks by key, in descending order, giving the same entries as next.
    static object previous(ReverseIterator& it) {
        Walk& walk = *it.walk;
        walk.checkKeys();
        const Container& container = walk.m_container;
        const auto position = walk.m_done ? container.begin()
                              : walk.m_last ? container.lower_bound(*walk.m_last)
                                            : container.end();
        if (position == container.begin()) walk.finish();
        return entryOf(walk, std::prev(position)->first);
    }

    // The walk's entry for key, which becomes its last one.
    static object entryOf(Walk& walk, int key) {
        walk.m_last = key;
        std::optional<object> value = valueAt(walk.m_owner, walk.m_container, key);
        // Making the proxy may have run Python code that removed the key.
        if (!value) walk.fail();
        return object(Entry{key, *value});
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
