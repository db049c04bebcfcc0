#include "buffer_heap.h"

#include <cstdlib>
#include <new>
#include <unistd.h>
#include <vector>

namespace {
// The blocks taken from one heap, all released with it.
struct PosixHeap {
  std::size_t limit = 0;  // 0: no limit
  std::size_t used = 0;
  std::vector<std::pair<void*, std::size_t>> blocks;
};
}  // namespace

BufferHeap::BufferHeap(std::size_t maximumSize) {
  pageSize = static_cast<std::uint32_t>(::sysconf(_SC_PAGESIZE));
  auto* own = new (std::nothrow) PosixHeap;
  if (own != nullptr) own->limit = maximumSize;
  heap = own;
}

BufferHeap::~BufferHeap() {
  auto* own = static_cast<PosixHeap*>(heap);
  if (own == nullptr) return;
  for (auto& block : own->blocks) std::free(block.first);
  delete own;
}

void* BufferHeap::Alloc(std::size_t size) {
  auto* own = static_cast<PosixHeap*>(heap);
  if (size == 0 || own == nullptr) return nullptr;
  if (own->limit != 0 && size > own->limit - own->used) return nullptr;
  void* block = std::calloc(1, size);
  if (block == nullptr) return nullptr;
  own->blocks.emplace_back(block, size);
  own->used += size;
  return block;
}

bool BufferHeap::Free(void* block) {
  auto* own = static_cast<PosixHeap*>(heap);
  if (block == nullptr) return true;
  if (own == nullptr) return false;
  for (auto it = own->blocks.begin(); it != own->blocks.end(); ++it) {
    if (it->first == block) {
      std::free(block);
      own->used -= it->second;
      own->blocks.erase(it);
      return true;
    }
  }
  return false;
}
