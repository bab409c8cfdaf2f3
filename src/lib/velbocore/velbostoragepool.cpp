#include "velbocore/velbostoragepool.h"

#include <new>

#if defined(__SANITIZE_ADDRESS__)
static constexpr bool kRecycle = false;
#else
static constexpr bool kRecycle = true;
#endif

VelboStoragePool::VelboStoragePool(std::size_t blockSize)
    : m_blockSize(blockSize < sizeof(FreeBlock) ? sizeof(FreeBlock) : blockSize), m_free(nullptr) {}

void* VelboStoragePool::allocate(std::size_t size) {
    if (!kRecycle || size > m_blockSize || m_free == nullptr)
        return ::operator new(size > m_blockSize ? size : m_blockSize);
    FreeBlock* const block = m_free;
    m_free = block->next;
    return block;
}

void VelboStoragePool::release(void* block, std::size_t size) noexcept {
    if (block == nullptr) return;
    if (!kRecycle || size > m_blockSize) {
        ::operator delete(block);
        return;
    }
    m_free = ::new (block) FreeBlock{m_free};
}
