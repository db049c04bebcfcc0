#include "buffer_heap.h"

#include <windows.h>

BufferHeap::BufferHeap(std::size_t maximumSize) {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  pageSize = info.dwPageSize;
  heap = HeapCreate(0, pageSize, maximumSize);
}

BufferHeap::~BufferHeap() {
  if (heap != nullptr) HeapDestroy(static_cast<HANDLE>(heap));
}

void* BufferHeap::Alloc(std::size_t size) {
  if (size == 0 || heap == nullptr) return nullptr;
  return HeapAlloc(static_cast<HANDLE>(heap), HEAP_ZERO_MEMORY, size);
}

bool BufferHeap::Free(void* block) {
  if (block == nullptr) return true;
  if (heap == nullptr) return false;
  return HeapFree(static_cast<HANDLE>(heap), 0, block) != FALSE;
}
