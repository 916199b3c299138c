#include "wardrobe/xml_reserve.h"

#include <cassert>
#include <cstddef>
#include <cstdlib>

#if defined(__has_include)
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace xml_reserve {

namespace {

constexpr std::size_t kAlignment = alignof(std::max_align_t);
// pugixml asks for pages of about 32 KiB and, when it copies a file, one
// block of its size; a chunk holds many pages.
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
// What stays between operations at most: the document of the largest store
// under the size cap takes about 5 MB. A larger one (a file of tiny
// elements, up to 16 bytes of document per byte of file) gives the rest back
// when its operation ends.
constexpr std::size_t kKeptBytes = std::size_t{16} << 20;

constexpr std::size_t RoundUp(std::size_t size) {
    return (size + kAlignment - 1) / kAlignment * kAlignment;
}

struct Chunk {
    Chunk* next;
    std::size_t capacity;
    std::size_t used;
};
constexpr std::size_t kHeaderBytes = RoundUp(sizeof(Chunk));

char* DataOf(Chunk* chunk) {
    return reinterpret_cast<char*>(chunk) + kHeaderBytes;
}

void FreeChunks(Chunk* chunk) {
    while (chunk != nullptr) {
        Chunk* next = chunk->next;
        std::free(chunk);
        chunk = next;
    }
}

// The chunks in the order they are handed out; `current` is the one handed
// out from last (null only while there is none). Unloading the plug-in gives
// them back.
struct Reserve {
    Chunk* first = nullptr;
    Chunk* current = nullptr;
    int scopes = 0;
    std::string fileBytes;

    ~Reserve() { FreeChunks(first); }
} reserve;

void* Allocate(std::size_t size) {
    size = RoundUp(size == 0 ? 1 : size);
    Chunk* last = nullptr;
    for (Chunk* chunk = reserve.current; chunk != nullptr; chunk = chunk->next) {
        if (chunk->capacity - chunk->used >= size) {
            reserve.current = chunk;
            char* block = DataOf(chunk) + chunk->used;
            chunk->used += size;
            ASAN_UNPOISON_MEMORY_REGION(block, size);
            return block;
        }
        last = chunk;
    }
    const std::size_t capacity = size > kChunkBytes ? size : kChunkBytes;
    auto* chunk = static_cast<Chunk*>(std::malloc(kHeaderBytes + capacity));
    if (chunk == nullptr) {
        return nullptr;  // pugixml reports running out of memory
    }
    *chunk = Chunk{nullptr, capacity, size};
    (last != nullptr ? last->next : reserve.first) = chunk;
    reserve.current = chunk;
    ASAN_POISON_MEMORY_REGION(DataOf(chunk) + size, capacity - size);
    return DataOf(chunk);
}

// Nothing is reused before the scope ends: a block pugixml frees midway
// stays its own until then.
void Deallocate(void*) {}

// Makes every chunk free again, keeping the first kKeptBytes of them.
void Rewind() {
    std::size_t kept = 0;
    Chunk** link = &reserve.first;
    while (Chunk* chunk = *link) {
        if (kept + chunk->capacity > kKeptBytes) {
            *link = chunk->next;
            std::free(chunk);
            continue;
        }
        kept += chunk->capacity;
        chunk->used = 0;
        ASAN_POISON_MEMORY_REGION(DataOf(chunk), chunk->capacity);
        link = &chunk->next;
    }
    reserve.current = reserve.first;
}

}  // namespace

Scope::Scope()
    : previousAllocate_(pugi::get_memory_allocation_function()),
      previousDeallocate_(pugi::get_memory_deallocation_function()) {
    if (reserve.scopes++ == 0) {
        pugi::set_memory_management_functions(Allocate, Deallocate);
    }
}

Scope::~Scope() {
    if (--reserve.scopes == 0) {
        pugi::set_memory_management_functions(previousAllocate_, previousDeallocate_);
        Rewind();
    }
}

std::string& Scope::FileBytes() {
    return reserve.fileBytes;
}

void Release() {
    assert(reserve.scopes == 0);
    reserve.fileBytes = std::string();
    FreeChunks(reserve.first);
    reserve.first = nullptr;
    reserve.current = nullptr;
}

}  // namespace xml_reserve
