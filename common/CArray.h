/*
 * CArray: the growable array of plain elements (interface pointers) behind
 * the services list.
 *
 * When an insertion would take the count beyond the capacity, the capacity
 * grows by the number inserted rounded up to a multiple of the grow step
 * (8): one insertion into a full array adds 8 slots. New slots are
 * zero-filled, the old elements are copied into the new block and the old
 * block is freed; with no memory to be had E_OUTOFMEMORY is thrown, and the
 * array is left as it was. Reading an index outside 0 to count-1, or
 * inserting at a position outside 0 to count, throws E_INVALIDARG.
 *
 * The array holds its elements by value and never calls anything on them:
 * whoever puts a reference in takes it out again.
 */
#pragma once

#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "common/HResult.h"

namespace paylode {

template <typename Element>
class CArray {
    static_assert(std::is_trivially_copyable_v<Element>, "elements are copied as bytes");

public:
    static constexpr int kGrowStep = 8;

    CArray() = default;
    ~CArray() { std::free(data_); }
    CArray(const CArray&) = delete;
    CArray& operator=(const CArray&) = delete;

    int GetCount() const { return count_; }
    int GetCapacity() const { return capacity_; }

    Element GetAt(int index) const {
        RequireArgument(index >= 0 && index < count_);
        return data_[index];
    }

    void InsertAt(int position, Element element) {
        RequireArgument(position >= 0 && position <= count_);
        Reserve(1);
        std::memmove(data_ + position + 1, data_ + position,
                     static_cast<std::size_t>(count_ - position) * kElementBytes);
        data_[position] = element;
        ++count_;
    }

    void Append(Element element) { InsertAt(count_, element); }

    // Forgets every element and frees the slots.
    void Clear() {
        std::free(data_);
        data_ = nullptr;
        capacity_ = 0;
        count_ = 0;
    }

private:
    // The bytes of one slot (of a pointer, for a list of interfaces).
    static constexpr std::size_t kElementBytes = sizeof(Element);  // NOLINT(bugprone-sizeof-expression)

    void Reserve(int inserted) {
        if (count_ + inserted <= capacity_) return;
        const int grown = capacity_ + (inserted + kGrowStep - 1) / kGrowStep * kGrowStep;
        auto* block = static_cast<Element*>(std::calloc(static_cast<std::size_t>(grown), kElementBytes));
        if (block == nullptr) ThrowHResult(kOutOfMemory);
        if (count_ > 0) std::memcpy(block, data_, static_cast<std::size_t>(count_) * kElementBytes);
        std::free(data_);
        data_ = block;
        capacity_ = grown;
    }

    int capacity_ = 0;
    int count_ = 0;
    Element* data_ = nullptr;
};

}  // namespace paylode
