#include "platform/HugeArry.h"

#include "platform/HugePages.h"
#include "platform/KVError.h"
#include "platform/MemoryStatus.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>
#include <string>

namespace kv {

namespace {

constexpr int64_t MaxByteSize = std::numeric_limits<int32_t>::max();

const char* const EmptyAllocationMessage = "Empty Array Allocation";

// Bytes for n items, or -1 when they do not fit the 32-bit byte range.
int64_t BytesFor(int64_t n, int32_t elementSize)
{
    const int64_t bytes = n * elementSize; // both below 2^31: cannot overflow 64 bits
    return bytes > MaxByteSize ? -1 : bytes;
}

} // namespace

int32_t GrantedCapacity(int32_t capacity, int32_t elementSize, uint64_t availableBytes)
{
    int64_t bytes = static_cast<int64_t>(capacity) * elementSize;
    bytes = std::min(bytes, MaxByteSize);
    if (static_cast<uint64_t>(bytes) > availableBytes)
        bytes = static_cast<int64_t>(availableBytes);
    return static_cast<int32_t>(std::max<int64_t>(bytes / elementSize, 1));
}

THugeArray::THugeArray(int32_t initialCapacity, int32_t elementSize)
    : ElementSize_(elementSize), InitialCapacity_(initialCapacity)
{
    if (initialCapacity == 0 || elementSize == 0)
        throw EKorvelaError(EmptyAllocationMessage);
    if (initialCapacity < 0 || elementSize < 0)
        throw EKorvelaError("invalid array size: " + std::to_string(initialCapacity) + " items of " +
                            std::to_string(elementSize) + " bytes");
    // The request is only a hint: cut it to what the machine can give, growth takes over later.
    Capacity_ = GrantedCapacity(initialCapacity, elementSize, AvailableMemoryBytes());
    ByteSize_ = Capacity_ * elementSize; // GrantedCapacity keeps this within 32 bits
    Data_ = static_cast<std::byte*>(std::malloc(static_cast<size_t>(ByteSize_)));
    if (!Data_)
        throw std::bad_alloc();
    FirstCapacity_ = Capacity_;
}

THugeArray::~THugeArray()
{
    std::free(Data_);
}

bool THugeArray::Holds(const void* p) const
{
    // Compared as integers: relational operators on unrelated pointers are unspecified.
    const auto address = reinterpret_cast<uintptr_t>(p);
    const auto begin = reinterpret_cast<uintptr_t>(Data_);
    return address >= begin && address < begin + static_cast<uintptr_t>(ByteSize_);
}

void THugeArray::SetCapacity(int32_t n)
{
    if (n == 0)
        throw EKorvelaError(EmptyAllocationMessage);
    if (n < 0)
        throw EKorvelaError("invalid array capacity: " + std::to_string(n) + " items");
    const int64_t bytes = BytesFor(n, ElementSize_);
    if (bytes < 0)
        throw std::bad_alloc();
    auto* data = static_cast<std::byte*>(std::realloc(Data_, static_cast<size_t>(bytes)));
    if (!data)
        throw std::bad_alloc(); // realloc keeps the old block: nothing has changed
    Data_ = data;
    PreferHugePages(Data_, static_cast<size_t>(bytes));
    ByteSize_ = static_cast<int32_t>(bytes);
    Capacity_ = n;
    Count_ = std::min(Count_, n);
}

void THugeArray::Grow(int32_t count)
{
    if (count < Capacity_)
        return;
    const int32_t delta = count > 64 ? count / 4 : (count > 8 ? 16 : 4);
    // Near the top of the 32-bit range take what still fits rather than fail a whole step early.
    const int64_t fitting = MaxByteSize / ElementSize_;
    const int64_t capacity = std::min<int64_t>(static_cast<int64_t>(count) + delta, fitting);
    if (capacity <= count)
        throw std::bad_alloc();
    SetCapacity(static_cast<int32_t>(capacity));
    GrowDelta_ = delta;
}

int32_t THugeArray::Add(const void* item)
{
    return AddObject(item, nullptr);
}

int32_t THugeArray::AddObject(const void* item, void* obj)
{
    // An item taken from this array would move with the block; copy it out first.
    std::vector<std::byte> own;
    if (Holds(item)) {
        own.assign(static_cast<const std::byte*>(item), static_cast<const std::byte*>(item) + ElementSize_);
        item = own.data();
    }
    Grow(Count_);
    Objects_.push_back(obj);
    std::memcpy(ItemPtr(Count_), item, static_cast<size_t>(ElementSize_));
    return Count_++;
}

void THugeArray::AddItems(const void* items, int32_t n)
{
    if (n <= 0)
        return;
    if (int64_t{Count_} + n > std::numeric_limits<int32_t>::max())
        throw std::bad_alloc();
    Grow(Count_ + n - 1);
    if (Objects_.capacity() < Objects_.size() + static_cast<size_t>(n)) {
        Objects_.reserve(std::max(Objects_.size() + static_cast<size_t>(n), static_cast<size_t>(Capacity_)));
        PreferHugePages(Objects_.data(), Objects_.capacity() * sizeof(void*));
    }
    Objects_.insert(Objects_.end(), static_cast<size_t>(n), nullptr);
    std::memcpy(ItemPtr(Count_), items, static_cast<size_t>(n) * static_cast<size_t>(ElementSize_));
    Count_ += n;
}

void THugeArray::Insert(const void* item, int32_t index)
{
    if (index < 0 || index > Count_)
        return;
    std::vector<std::byte> own;
    if (Holds(item)) {
        own.assign(static_cast<const std::byte*>(item), static_cast<const std::byte*>(item) + ElementSize_);
        item = own.data();
    }
    Grow(Count_);
    const size_t tail = static_cast<size_t>(Count_ - index) * static_cast<size_t>(ElementSize_);
    std::memmove(ItemPtr(index + 1), ItemPtr(index), tail);
    std::memcpy(ItemPtr(index), item, static_cast<size_t>(ElementSize_));
    ++Count_;
}

void THugeArray::Delete(int32_t index)
{
    if (index < 0 || index >= Count_)
        return;
    const size_t tail = static_cast<size_t>(Count_ - index - 1) * static_cast<size_t>(ElementSize_);
    std::memmove(ItemPtr(index), ItemPtr(index + 1), tail);
    --Count_;
}

void THugeArray::Exchange(int32_t i, int32_t j)
{
    if (i == j || i < 0 || j < 0 || i >= Count_ || j >= Count_)
        return;
    auto* a = static_cast<std::byte*>(ItemPtr(i));
    auto* b = static_cast<std::byte*>(ItemPtr(j));
    std::swap_ranges(a, a + ElementSize_, b);
    const auto objects = static_cast<int64_t>(Objects_.size());
    if (i < objects && j < objects)
        std::swap(Objects_[static_cast<size_t>(i)], Objects_[static_cast<size_t>(j)]);
}

void THugeArray::Sort(const THugeCompare& compare)
{
    if (Count_ > 1)
        QuickSort(0, Count_ - 1, compare);
}

// Quicksort on [left, right] with the middle item as pivot. The pivot is followed by index as
// Exchange moves it. The scans also stop at the ends of the range, so a comparison that is not
// a consistent order cannot walk them out of it. The smaller part is sorted by recursion and
// the larger one by the loop, which keeps the stack depth logarithmic.
void THugeArray::QuickSort(int32_t left, int32_t right, const THugeCompare& compare)
{
    while (left < right) {
        int32_t i = left;
        int32_t j = right;
        int32_t pivot = left + (right - left) / 2;
        do {
            while (i < right && compare(ItemPtr(i), ItemPtr(pivot)) < 0)
                ++i;
            while (j > left && compare(ItemPtr(j), ItemPtr(pivot)) > 0)
                --j;
            if (i <= j) {
                Exchange(i, j);
                if (pivot == i)
                    pivot = j;
                else if (pivot == j)
                    pivot = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - left < right - i) {
            if (left < j)
                QuickSort(left, j, compare);
            left = i;
        } else {
            if (i < right)
                QuickSort(i, right, compare);
            right = j;
        }
    }
}

void THugeArray::Sort()
{
}

void THugeArray::Clear()
{
    Count_ = 0;
    std::vector<void*>().swap(Objects_);
    SetCapacity(FirstCapacity_);
}

void THugeArray::Assign(const THugeArray& source)
{
    if (&source == this)
        return;
    if (source.ElementSize_ != ElementSize_)
        throw EKorvelaError("cannot copy an array of " + std::to_string(source.ElementSize_) +
                            "-byte items into one of " + std::to_string(ElementSize_) + "-byte items");
    std::vector<void*> objects = source.Objects_;
    Clear();
    Grow(source.Count_);
    std::memcpy(Data_, source.Data_, static_cast<size_t>(source.Count_) * static_cast<size_t>(ElementSize_));
    Count_ = source.Count_;
    Objects_.swap(objects);
}

void THugeArray::AddFrom(const THugeArray& source)
{
    if (source.ElementSize_ != ElementSize_)
        throw EKorvelaError("cannot add items of " + std::to_string(source.ElementSize_) +
                            " bytes to an array of " + std::to_string(ElementSize_) + "-byte items");
    const int32_t count = source.Count_; // fixed first, so adding an array to itself ends
    for (int32_t i = 0; i < count; ++i)
        Add(source.ItemPtr(i));
}

void THuge2DVector::MoveItem(int32_t from, int32_t to)
{
    if (from < 0 || from >= Count() || to < 0 || to >= Count())
        return;
    const THuge2DVectorItem item = Get(from);
    Delete(from);
    Insert(item, to);
}

} // namespace kv
