// A private heap for the copy buffer of one split run, dropped as a whole.
#pragma once

#include <cstddef>
#include <cstdint>

class BufferHeap {
 public:
  // maximumSize 0 lets the heap grow as needed; a limit makes larger requests fail.
  explicit BufferHeap(std::size_t maximumSize = 0);
  virtual ~BufferHeap();
  BufferHeap(const BufferHeap&) = delete;
  BufferHeap& operator=(const BufferHeap&) = delete;

  // A zero-filled block, or nullptr (always for size 0 or when no heap exists).
  void* Alloc(std::size_t size);
  // nullptr succeeds without a call.
  bool Free(void* block);
  bool HasHeap() const { return heap != nullptr; }

 private:
  void* heap = nullptr;
  std::uint32_t pageSize = 0;
};
