#pragma once
// An array of plain values built by appending, that grows with realloc. The
// C library moves a large block by remapping its pages (mremap) instead of
// copying them into fresh memory, so an array of a gigabyte built element by
// element touches each of its pages once; a std::vector touches about twice
// its size and gives the old copies back to the kernel, and on a virtual
// machine every first touch of a page costs microseconds. Capacity not yet
// written to costs no memory in a large block.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

namespace pelmora {

template <typename T>
class GrowingArray {
  static_assert(std::is_trivially_copyable_v<T>, "elements are moved as bytes");

 public:
  GrowingArray() = default;
  GrowingArray(std::initializer_list<T> items) { append(items.begin(), items.size()); }
  GrowingArray(const GrowingArray& other) { append(other.data_, other.size_); }
  GrowingArray(GrowingArray&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)) {}
  GrowingArray& operator=(GrowingArray other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    return *this;
  }
  ~GrowingArray() { std::free(data_); }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const T* data() const { return data_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  const T& operator[](size_t i) const { return data_[i]; }
  const T& back() const { return data_[size_ - 1]; }

  void push_back(const T& value) {
    if (size_ == capacity_) Grow(1);
    data_[size_++] = value;
  }
  // Appends count elements from items, which must not lie in this array.
  void append(const T* items, size_t count) {
    if (count == 0) return;
    if (count > capacity_ - size_) Grow(count);
    std::memcpy(static_cast<void*>(data_ + size_), items, count * sizeof(T));
    size_ += count;
  }

 private:
  // Room for more elements, doubling the capacity at least: appending n
  // elements one by one costs O(n) in all.
  void Grow(size_t more) {
    constexpr size_t kMax = std::numeric_limits<size_t>::max() / sizeof(T) / 2;
    if (more > kMax - size_) throw std::bad_alloc();
    size_t capacity = std::max(size_ + more, std::min(capacity_ * 2, kMax));
    capacity = std::max<size_t>(capacity, 64 / sizeof(T) + 1);
    void* grown = std::realloc(static_cast<void*>(data_), capacity * sizeof(T));
    if (grown == nullptr) throw std::bad_alloc();
    data_ = static_cast<T*>(grown);
    capacity_ = capacity;
  }

  T* data_ = nullptr;
  size_t size_ = 0, capacity_ = 0;
};

}  // namespace pelmora
