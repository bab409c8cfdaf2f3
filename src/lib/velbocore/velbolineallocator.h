#pragma once

#include <cstddef>
#include <limits>
#include <new>
#include <vector>

// Storage in whole cache lines of its own. The domain sweep's calling thread
// makes every worker's buffers, wherever the allocator finds room for them,
// and a line that held what two threads write would pass between them.
template <typename T>
struct VelboLineAllocator {
    using value_type = T;
    static constexpr std::size_t kLine = 64;

    VelboLineAllocator() = default;
    template <typename U>
    VelboLineAllocator(const VelboLineAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t n)
    {
        if (n > (std::numeric_limits<std::size_t>::max() - kLine) / sizeof(T)) {
            throw std::bad_alloc();
        }
        return static_cast<T*>(::operator new(bytes(n), std::align_val_t(kLine)));
    }
    void deallocate(T* p, std::size_t n) noexcept { ::operator delete(p, bytes(n), std::align_val_t(kLine)); }

    static std::size_t bytes(std::size_t n) { return (n * sizeof(T) + kLine - 1) / kLine * kLine; }
};

template <typename T, typename U>
bool operator==(const VelboLineAllocator<T>&, const VelboLineAllocator<U>&) noexcept
{
    return true;
}
template <typename T, typename U>
bool operator!=(const VelboLineAllocator<T>&, const VelboLineAllocator<U>&) noexcept
{
    return false;
}

template <typename T>
using VelboLineVector = std::vector<T, VelboLineAllocator<T>>;
