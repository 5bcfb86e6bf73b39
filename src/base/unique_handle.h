#pragma once
// A move-only owner of one platform handle, parameterised by a traits type that
// names the handle type, its "no handle" value and the function that closes it.
// Copying is deleted, so a handle can never be closed twice.

#include <utility>

namespace tftpcfg {

template <typename Traits>
class UniqueHandle {
 public:
  using pointer = typename Traits::type;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(pointer h) noexcept : h_(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  pointer get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return h_ != Traits::invalid(); }

  // Takes ownership of h, closing the handle held before (if any).
  void reset(pointer h = Traits::invalid()) noexcept {
    pointer old = std::exchange(h_, h);
    if (old != Traits::invalid()) Traits::close(old);
  }
  pointer release() noexcept { return std::exchange(h_, Traits::invalid()); }

  // For out-parameters of platform calls: closes the current handle first.
  pointer* put() noexcept {
    reset();
    return &h_;
  }

 private:
  pointer h_ = Traits::invalid();
};

}  // namespace tftpcfg
