#pragma once

// The copy of a value that a container keeps, or that a detached proxy
// keeps: independent of where it came from. A circle's copy shares its
// centre node with its source, so the container's copy gets a centre of its
// own; every other value copies as it is.

#include "velbocore/velbocircle.h"

namespace velbopy {

template <class T>
T ownCopy(const T& value) {
    return value;
}

inline VelboCircle ownCopy(const VelboCircle& circle) {
    VelboCircle copy(circle);
    copy.ownCenter();
    return copy;
}

}  // namespace velbopy
