#pragma once

#include <cstddef>

// Recycles the storage of one class's heap objects. The interaction-domain
// build deletes and remakes the meshes, their triangles and half-edges at
// every strain plane; reusing their blocks keeps the general allocator out of
// that loop. Blocks of any other size go to the global allocator. Under
// AddressSanitizer every block goes there too, so that it sees each object's
// lifetime.
class VelboStoragePool {
public:
    explicit VelboStoragePool(std::size_t blockSize);
    VelboStoragePool(const VelboStoragePool&) = delete;
    VelboStoragePool& operator=(const VelboStoragePool&) = delete;

    void* allocate(std::size_t size);
    void release(void* block, std::size_t size) noexcept;

private:
    struct FreeBlock {
        FreeBlock* next;
    };

    std::size_t m_blockSize;
    FreeBlock* m_free;
};
