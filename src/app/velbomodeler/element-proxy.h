#pragma once

// Proxies: the Python objects that indexing a container of class elements
// hands out. A proxy stands for one element of one container object, found
// by position (vectors) or key (maps) at every use, so it stays valid
// whatever happens to the container's storage. The container methods report
// every change to the registry below, which keeps the positions up to date
// and detaches the proxies of elements that are removed or replaced: a
// detached proxy holds a copy of the element's last value from then on, of
// its own (own-copy.h).

#include <boost/python.hpp>

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "own-copy.h"

namespace velbopy {

// How a proxy finds its element in a container of each kind.
template <class Container>
struct ElementAccess;

template <class T, class Alloc>
struct ElementAccess<std::vector<T, Alloc>> {
    using Key = std::size_t;
    using Element = T;
    static Element* find(std::vector<T, Alloc>& container, Key position) {
        return position < container.size() ? &container[position] : nullptr;
    }
};

template <class K, class V, class Compare, class Alloc>
struct ElementAccess<std::map<K, V, Compare, Alloc>> {
    using Key = K;
    using Element = V;
    static Element* find(std::map<K, V, Compare, Alloc>& container, const Key& key) {
        const auto found = container.find(key);
        return found == container.end() ? nullptr : &found->second;
    }
};

template <class Container>
class ProxyRegistry;

// What one proxy object holds: its container and key while attached, its
// own copy of the element once detached.
template <class Container>
class ProxyState {
public:
    using Key = typename ElementAccess<Container>::Key;
    using Element = typename ElementAccess<Container>::Element;

    // owner is the container's Python object; it is kept alive while attached.
    ProxyState(const boost::python::object& owner, Container& container, const Key& key)
        : m_owner(owner), m_container(&container), m_key(key) {}
    ~ProxyState() { ProxyRegistry<Container>::leave(*this); }
    ProxyState(const ProxyState&) = delete;
    ProxyState& operator=(const ProxyState&) = delete;

    // The element, or null when an attached proxy finds none at its key.
    Element* element() const {
        if (m_copy) return m_copy.get();
        return m_container != nullptr ? ElementAccess<Container>::find(*m_container, m_key) : nullptr;
    }

private:
    friend class ProxyRegistry<Container>;

    boost::python::object m_owner;
    Container* m_container;  // null once detached
    Key m_key;
    std::unique_ptr<Element> m_copy;
    PyObject* m_self = nullptr;  // the proxy's Python object while registered (not owned)
};

// The smart pointer that the proxy's Python object holds: Boost.Python asks
// it for the element each time a method or property of the element's class
// is called on the proxy.
template <class Container>
class ElementRef {
public:
    using element_type = typename ProxyState<Container>::Element;

    explicit ElementRef(std::shared_ptr<ProxyState<Container>> state) : m_state(std::move(state)) {}
    element_type* get() const { return m_state->element(); }

private:
    std::shared_ptr<ProxyState<Container>> m_state;
};

template <class Container>
typename ElementRef<Container>::element_type* get_pointer(const ElementRef<Container>& ref) {
    return ref.get();
}

// The live attached proxies of every container object of one type, by
// container and key: at most one proxy per element, so indexing the same
// element twice gives the same Python object while it lives.
template <class Container>
class ProxyRegistry {
public:
    using State = ProxyState<Container>;
    using Key = typename State::Key;
    using Element = typename State::Element;

    // Registers the Python class of the proxies; once, at module load.
    static void registerProxyClass() { boost::python::register_ptr_to_python<ElementRef<Container>>(); }

    // The proxy of the element that locate(container) gives the key of, owned
    // by the Python object owner; nothing when locate gives no key.
    template <class Locate>
    static std::optional<boost::python::object> proxyFor(const boost::python::object& owner,
                                                         Container& container, Locate locate) {
        std::optional<Key> key = locate(container);
        if (!key) return std::nullopt;
        if (PyObject* existing = find(container, *key)) return borrowedObject(existing);
        auto state = std::make_shared<State>(owner, container, *key);
        boost::python::object proxy{ElementRef<Container>(state)};
        // Making the Python object may have run Python code (a garbage
        // collection and its finalisers) that changed the container or handed
        // out a proxy of the same element: look again, and register the new
        // proxy only where nothing has run since.
        key = locate(container);
        if (!key) return std::nullopt;
        if (PyObject* existing = find(container, *key)) return borrowedObject(existing);
        state->m_key = *key;
        groups()[&container][*key] = state.get();
        state->m_self = proxy.ptr();
        return proxy;
    }

    // One change of a container, in three steps: made before the change
    // (copies of the elements that go, the new keys of those that stay),
    // the change itself, then commit(). Dropped without commit (the change
    // failed), it leaves every proxy as it was.
    class Update {
    public:
        // newKey(key) gives the key an element has after the change, or
        // nothing when the element is removed or replaced.
        template <class NewKey>
        Update(Container& container, NewKey newKey) : m_container(container) {
            const auto group = groups().find(&container);
            if (group == groups().end()) return;
            for (const auto& [key, state] : group->second) {
                if (const std::optional<Key> moved = newKey(key)) {
                    m_staying.emplace(*moved, state);
                } else {
                    const Element* element = state->element();
                    std::unique_ptr<Element> copy(element != nullptr ? new Element(ownCopy(*element))
                                                                     : new Element());
                    m_leaving.emplace_back(state, std::move(copy));
                }
            }
            m_owners.reserve(m_leaving.size());
        }

        // Allocates nothing: everything it needs was made before the change.
        void commit() {
            const auto group = groups().find(&m_container);
            if (group == groups().end()) return;
            for (const auto& [key, state] : m_staying) state->m_key = key;
            // The container references are let go with this object, once the
            // registry is consistent again (the caller holds the container, so
            // none of them is the last one anyway).
            for (auto& [state, copy] : m_leaving) {
                state->m_copy = std::move(copy);
                state->m_container = nullptr;
                state->m_self = nullptr;
                m_owners.push_back(state->m_owner);
                state->m_owner = boost::python::object();
            }
            if (m_staying.empty())
                groups().erase(group);
            else
                group->second = std::move(m_staying);
        }

    private:
        Container& m_container;
        std::map<Key, State*> m_staying;
        std::vector<std::pair<State*, std::unique_ptr<Element>>> m_leaving;
        std::vector<boost::python::object> m_owners;
    };

private:
    friend class ProxyState<Container>;
    using Groups = std::unordered_map<const Container*, std::map<Key, State*>>;

    // Never destroyed: proxies may outlive the static objects at process exit.
    static Groups& groups() {
        static Groups* all = new Groups;
        return *all;
    }

    static boost::python::object borrowedObject(PyObject* object) {
        return boost::python::object(boost::python::handle<>(boost::python::borrowed(object)));
    }

    static PyObject* find(const Container& container, const Key& key) {
        const auto group = groups().find(&container);
        if (group == groups().end()) return nullptr;
        const auto found = group->second.find(key);
        return found == group->second.end() ? nullptr : found->second->m_self;
    }

    static void leave(State& state) {
        if (state.m_self == nullptr || state.m_container == nullptr) return;
        const auto group = groups().find(state.m_container);
        if (group == groups().end()) return;
        const auto found = group->second.find(state.m_key);
        if (found != group->second.end() && found->second == &state) group->second.erase(found);
        if (group->second.empty()) groups().erase(group);
    }
};

}  // namespace velbopy
