// An array a structure reads either from its own vector (built in memory) or
// from bytes it shares with others, such as a file mapped read-only (a saved
// index opened): the reader's view is the same pointer and size either way,
// so a search reads both alike. The shared bytes are kept alive by the
// array itself; a write to a shared array first copies it into a vector of
// its own, so nothing ever writes to a read-only mapping.
//
// It offers what the builders use of std::vector (assign, resize, element
// access), so a structure's members change type, not its builder's code.
// Every non-const access (data(), [], begin()) counts as a write: read a
// shared array through a const reference, as the searches do, or it is
// copied.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace spherebench {

// Bytes shared by whatever reads them, kept alive by `keeper` (a mapping,
// or a buffer of its own).
struct SharedBytes {
    const std::byte* data = nullptr;
    size_t size = 0;
    std::shared_ptr<const void> keeper;
};

template <typename T>
class StoredArray {
    static_assert(std::is_trivially_copyable_v<T>, "only plain values are read from shared bytes");

  public:
    StoredArray() = default;
    StoredArray(std::vector<T> values) : own_(std::move(values)) { point_at_own(); }
    StoredArray(const StoredArray& other) : own_(other.own_), keeper_(other.keeper_) {
        if (keeper_)
            data_ = other.data_, size_ = other.size_;
        else
            point_at_own();
    }
    StoredArray(StoredArray&& other) noexcept : own_(std::move(other.own_)), keeper_(std::move(other.keeper_)) {
        if (keeper_)
            data_ = other.data_, size_ = other.size_;
        else
            point_at_own();
        other.clear();
    }
    StoredArray& operator=(StoredArray other) noexcept {
        own_.swap(other.own_);
        keeper_.swap(other.keeper_);
        if (keeper_)
            data_ = other.data_, size_ = other.size_;
        else
            point_at_own();
        return *this;
    }

    // A view of `count` values at `data`, which `keeper` keeps alive.
    static StoredArray shared(const T* data, size_t count, std::shared_ptr<const void> keeper) {
        StoredArray array;
        array.data_ = data, array.size_ = count, array.keeper_ = std::move(keeper);
        return array;
    }

    const T* data() const { return data_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T& operator[](size_t at) const { return data_[at]; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }
    // The bytes it holds of its own (a shared array's are counted as its
    // size: the pages it reads).
    size_t capacity() const { return keeper_ ? size_ : own_.capacity(); }
    bool is_shared() const { return keeper_ != nullptr; }

    // Writes: each makes the values its own first.
    T* data() { return own().data(); }
    T& operator[](size_t at) { return own()[at]; }
    T* begin() { return own().data(); }
    T* end() { return own().data() + size_; }
    void assign(size_t count, const T& value) {
        change([&](std::vector<T>& v) { v.assign(count, value); });
    }
    template <typename It>
    void assign(It first, It last) {
        change([&](std::vector<T>& v) { v.assign(first, last); });
    }
    void resize(size_t count) {
        change([&](std::vector<T>& v) { v.resize(count); });
    }
    void clear() {
        own_.clear();
        keeper_.reset();
        point_at_own();
    }

  private:
    std::vector<T>& own() {
        if (keeper_) {
            own_.assign(data_, data_ + size_);
            keeper_.reset();
            point_at_own();
        }
        return own_;
    }
    template <typename Change>
    void change(Change change) {
        change(own());
        point_at_own();
    }
    void point_at_own() { data_ = own_.data(), size_ = own_.size(); }

    std::vector<T> own_;
    const T* data_ = nullptr;
    size_t size_ = 0;
    std::shared_ptr<const void> keeper_;  // set while the values are shared
};

}  // namespace spherebench
