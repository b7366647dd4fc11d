#pragma once

#include <cstddef>
#include <memory>

// Large arrays that are filled at once (the text of a big model file, its
// parts): backed by huge pages where the system offers them, so that
// filling them costs one page fault per 2 MB rather than one per 4 KB.
namespace vxBulkMemory {
// Asks for huge pages for the whole 2 MB pages inside [p, p + bytes) of an
// allocation that is not yet touched; a hint that does nothing for small
// ranges or where huge pages are not available.
void preferHugePages(void* p, std::size_t bytes) noexcept;
} // namespace vxBulkMemory

// An allocator whose large allocations prefer huge pages.
template <class T> struct vxBulkAllocator {
    using value_type = T;
    vxBulkAllocator() = default;
    template <class U> vxBulkAllocator(const vxBulkAllocator<U>&) noexcept {}
    T* allocate(std::size_t n)
    {
        T* p = std::allocator<T>().allocate(n);
        vxBulkMemory::preferHugePages(p, n * sizeof(T));
        return p;
    }
    void deallocate(T* p, std::size_t n) noexcept { std::allocator<T>().deallocate(p, n); }
    template <class U> bool operator==(const vxBulkAllocator<U>&) const noexcept { return true; }
};
