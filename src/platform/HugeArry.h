#pragma once
// Growable arrays of fixed-size items kept in one contiguous block, with a parallel list of
// optional object pointers. The engine, the meshes and the scene-file readers keep their
// vertex, index, colour and coordinate lists in them.
//
// Items are raw bytes copied in and out; only the comparisons of the typed arrays look at them.
// Indices are 0-based. Sizes are 32-bit: every size computation is checked, and a size that
// cannot be held (ByteSize beyond the 32-bit range) throws std::bad_alloc instead of wrapping.
//
// Decisions worth knowing:
//  - Insert and Delete leave Objects unchanged. Objects therefore stays in step with the items
//    only for arrays filled by Add/AddObject/Assign; callers that mix Insert/Delete with objects
//    keep the list in step themselves.
//  - Exchange (and so Sort) swaps two entries of Objects only when both indices are inside the
//    list; otherwise it swaps the items alone.
//  - Out-of-range indices are ignored by Insert, Delete, Exchange and MoveItem. ItemPtr, Get and
//    Put do no range check (they sit on the hot paths).
//  - Construction caps the first block to the memory the machine has available; Clear returns
//    to the capacity construction actually got.
//  - A failed allocation throws std::bad_alloc and leaves Data, ByteSize, Capacity and Count
//    describing the block still held.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <span>
#include <type_traits>
#include <vector>

namespace kv {

// Item types of the vector arrays. The scene engine converts its own vector types to these.
struct THuge3DVectorItem {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    bool operator==(const THuge3DVectorItem&) const = default;
};

struct THuge2DVectorItem {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const THuge2DVectorItem&) const = default;
};

struct THugePointItem {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const THugePointItem&) const = default;
};

static_assert(sizeof(THuge3DVectorItem) == 24 && std::is_trivially_copyable_v<THuge3DVectorItem>);
static_assert(sizeof(THuge2DVectorItem) == 16 && std::is_trivially_copyable_v<THuge2DVectorItem>);
static_assert(sizeof(THugePointItem) == 8 && std::is_trivially_copyable_v<THugePointItem>);

// Receives the addresses of two items; returns a negative number, zero or a positive number.
using THugeCompare = std::function<int(const void* a, const void* b)>;

// Capacity granted to a first allocation of `capacity` items of `elementSize` bytes when
// `availableBytes` can be had: the request, cut to the available memory and to the 32-bit byte
// range, at least one item. Both sizes must be positive.
int32_t GrantedCapacity(int32_t capacity, int32_t elementSize, uint64_t availableBytes);

class THugeArray {
public:
    // An empty array for `initialCapacity` items of `elementSize` bytes. Throws EKorvelaError
    // "Empty Array Allocation" when the product is 0, EKorvelaError when a size is negative,
    // std::bad_alloc when the block cannot be allocated.
    THugeArray(int32_t initialCapacity, int32_t elementSize);
    virtual ~THugeArray();
    THugeArray(const THugeArray&) = delete;
    THugeArray& operator=(const THugeArray&) = delete;

    int32_t ElementSize() const { return ElementSize_; }
    int32_t ByteSize() const { return ByteSize_; }
    void* Data() { return Data_; }
    const void* Data() const { return Data_; }
    int32_t GrowDelta() const { return GrowDelta_; }
    int32_t InitialCapacity() const { return InitialCapacity_; }
    int32_t Capacity() const { return Capacity_; }
    int32_t Count() const { return Count_; }
    bool SortAscending() const { return SortAscending_; }
    void SetSortAscending(bool ascending) { SortAscending_ = ascending; }
    // One optional pointer per added item; the array owns the list, not what it points to.
    std::vector<void*>& Objects() { return Objects_; }
    const std::vector<void*>& Objects() const { return Objects_; }

    // Appends a copy of the ElementSize bytes at `item` (which may point into this array) with
    // no object; returns the new index.
    virtual int32_t Add(const void* item);
    // Appends a copy of the item and `obj` to Objects; returns the new index (the old Count).
    int32_t AddObject(const void* item, void* obj);
    // Appends copies of the n items at `items` (outside this array) with no objects, growing the
    // block at most once; the same items and Objects as n calls of Add.
    void AddItems(const void* items, int32_t n);
    // For 0 <= index <= Count: moves items index.. up one and copies the item into slot index.
    void Insert(const void* item, int32_t index);
    // For 0 <= index < Count: moves the items above index down one.
    virtual void Delete(int32_t index);
    // Swaps items i and j (both within 0..Count-1) and, when both are in the list, their objects.
    virtual void Exchange(int32_t i, int32_t j);
    // Quicksorts items 0..Count-1 in place; every move goes through Exchange.
    virtual void Sort(const THugeCompare& compare);
    // Sorts by the array's natural order; the untyped array has none and does nothing.
    virtual void Sort();
    // Count 0, back to the first capacity, Objects emptied.
    virtual void Clear();
    // Becomes a copy of `source` (items and Objects). Throws EKorvelaError when the element
    // sizes differ, std::bad_alloc when the copy cannot be allocated (the array is then empty).
    void Assign(const THugeArray& source);
    // Adds every item of `source` in order through Add. Throws EKorvelaError when the element
    // sizes differ.
    void AddFrom(const THugeArray& source);

    // Address of item `index`; no range check (0..Capacity-1, and 0..Count-1 when reading).
    void* ItemPtr(int32_t index) { return Data_ + static_cast<size_t>(index) * static_cast<size_t>(ElementSize_); }
    const void* ItemPtr(int32_t index) const
    {
        return Data_ + static_cast<size_t>(index) * static_cast<size_t>(ElementSize_);
    }

    // Reallocates Data to n items keeping its contents (Count drops to n when n is smaller).
    // Throws EKorvelaError "Empty Array Allocation" for 0, EKorvelaError for a negative n,
    // std::bad_alloc when the block cannot be had (nothing changes then).
    void SetCapacity(int32_t n);

protected:
    // Makes room for item number `count` (0-based) by the growth rule; no-op while count < Capacity.
    void Grow(int32_t count);

private:
    int32_t ElementSize_ = 0;
    int32_t ByteSize_ = 0;
    std::byte* Data_ = nullptr;
    int32_t GrowDelta_ = 4;
    int32_t InitialCapacity_ = 0;
    int32_t FirstCapacity_ = 0; // what construction got; Clear returns here
    int32_t Capacity_ = 0;
    bool SortAscending_ = true;
    int32_t Count_ = 0;
    std::vector<void*> Objects_;

    bool Holds(const void* p) const;
    void QuickSort(int32_t left, int32_t right, const THugeCompare& compare);
};

// Arrays of one arithmetic value per item, sorted by value.
template <typename T>
class THugeScalarArray : public THugeArray {
    static_assert(std::is_arithmetic_v<T>);

public:
    explicit THugeScalarArray(int32_t initialCapacity) : THugeArray(initialCapacity, int32_t{sizeof(T)}) {}

    using THugeArray::Add;
    using THugeArray::Sort;

    int32_t Add(T value) { return THugeArray::AddObject(&value, nullptr); }
    // The items in use as typed values, for loops and algorithms over the whole array.
    std::span<T> Items() { return {static_cast<T*>(Data()), static_cast<size_t>(Count())}; }
    std::span<const T> Items() const { return {static_cast<const T*>(Data()), static_cast<size_t>(Count())}; }
    T Get(int32_t index) const
    {
        T value;
        std::memcpy(&value, ItemPtr(index), sizeof(T));
        return value;
    }

    // Ascending when SortAscending, else descending.
    void Sort() override
    {
        if (SortAscending())
            THugeArray::Sort([](const void* a, const void* b) { return CompareValues(a, b); });
        else
            THugeArray::Sort([](const void* a, const void* b) { return CompareValues(b, a); });
    }

    virtual void Put(int32_t index, T value) { std::memcpy(ItemPtr(index), &value, sizeof(T)); }
    virtual int32_t AddObject(T value, void* obj) { return THugeArray::AddObject(&value, obj); }
    virtual void Insert(T value, int32_t index) { THugeArray::Insert(&value, index); }

private:
    // -1, 0 or 1; values that do not order (NaN) compare as equal.
    static int CompareValues(const void* a, const void* b)
    {
        T x;
        T y;
        std::memcpy(&x, a, sizeof(T));
        std::memcpy(&y, b, sizeof(T));
        return x < y ? -1 : (y < x ? 1 : 0);
    }
};

class THugeByte : public THugeScalarArray<uint8_t> {
public:
    using THugeScalarArray::THugeScalarArray;
};

class THugeInteger : public THugeScalarArray<int32_t> {
public:
    using THugeScalarArray::THugeScalarArray;
};

class THugeDouble : public THugeScalarArray<double> {
public:
    using THugeScalarArray::THugeScalarArray;
};

// Arrays of one small record per item, any trivially copyable type: the engine keeps its own
// vector types in THugeRecordArray<Vector3D> and the like, without converting. The plain Add appends without going through the
// overridable AddObject, so descendants that report changes can tell the two apart.
template <typename TItem>
class THugeRecordArray : public THugeArray {
    static_assert(std::is_trivially_copyable_v<TItem>);

public:
    explicit THugeRecordArray(int32_t initialCapacity) : THugeArray(initialCapacity, int32_t{sizeof(TItem)}) {}

    using THugeArray::Add;

    // The items in use as typed records, for loops and algorithms over the whole array.
    std::span<TItem> Items() { return {static_cast<TItem*>(Data()), static_cast<size_t>(Count())}; }
    std::span<const TItem> Items() const
    {
        return {static_cast<const TItem*>(Data()), static_cast<size_t>(Count())};
    }

    void Get(int32_t index, TItem& item) const { std::memcpy(&item, ItemPtr(index), sizeof(TItem)); }
    TItem Get(int32_t index) const
    {
        TItem item;
        Get(index, item);
        return item;
    }

    virtual void Put(int32_t index, const TItem& item) { std::memcpy(ItemPtr(index), &item, sizeof(TItem)); }
    virtual int32_t Add(const TItem& item) { return THugeArray::AddObject(&item, nullptr); }
    virtual int32_t AddObject(const TItem& item, void* obj) { return THugeArray::AddObject(&item, obj); }
    void AddItems(std::span<const TItem> items) { THugeArray::AddItems(items.data(), static_cast<int32_t>(items.size())); }
    virtual void Insert(const TItem& item, int32_t index) { THugeArray::Insert(&item, index); }
};

class THuge3DVector : public THugeRecordArray<THuge3DVectorItem> {
public:
    using THugeRecordArray::THugeRecordArray;
};

class THuge2DVector : public THugeRecordArray<THuge2DVectorItem> {
public:
    using THugeRecordArray::THugeRecordArray;

    // Takes item `from` out and puts it back at `to` (both within 0..Count-1), so that it ends
    // up at index `to`. Does nothing when either index is out of range.
    void MoveItem(int32_t from, int32_t to);
};

class THugePoint : public THugeRecordArray<THugePointItem> {
public:
    using THugeRecordArray::THugeRecordArray;
};

} // namespace kv
