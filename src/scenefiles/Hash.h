#pragma once
// An insertion-ordered set of 32-bit keys with constant-time lookup: a key's index is the order in
// which it was added. The X file writer numbers the distinct face colours of a mesh with it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv {

class TCustomHashTable {
public:
    static constexpr int32_t BucketBits = 11;
    static constexpr int32_t BucketCount = 1 << BucketBits;

    TCustomHashTable() { Clear(); }
    virtual ~TCustomHashTable() = default;

    void Clear();
    int32_t Count() const { return static_cast<int32_t>(Next_.size()); }

protected:
    // Links entry `index` at the head of `bucket`.
    void Link(uint32_t bucket, int32_t index);
    int32_t Head(uint32_t bucket) const { return Buckets_[bucket]; }
    int32_t Next(int32_t index) const { return Next_[static_cast<size_t>(index)]; }

private:
    std::array<int32_t, BucketCount> Buckets_{};
    std::vector<int32_t> Next_; // per key, the next key of its bucket; -1 ends a chain
};

class TIntegerHashTable : public TCustomHashTable {
public:
    // 32-bit FNV-1a over the key's four bytes, low byte first, folded to the bucket range.
    static uint32_t Bucket(uint32_t key);

    void Clear();
    // The key's index, or -1.
    int32_t Find(uint32_t key) const;
    // Appends the key (whether or not it is there) and returns its index.
    int32_t Add(uint32_t key);
    uint32_t Key(int32_t index) const { return Keys_[static_cast<size_t>(index)]; }

private:
    std::vector<uint32_t> Keys_;
};

} // namespace kv
