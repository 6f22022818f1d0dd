#include "scenefiles/Hash.h"

namespace kv {

void TCustomHashTable::Clear()
{
    Buckets_.fill(-1);
    Next_.clear();
}

void TCustomHashTable::Link(uint32_t bucket, int32_t index)
{
    Next_.push_back(Buckets_[bucket]);
    Buckets_[bucket] = index;
}

uint32_t TIntegerHashTable::Bucket(uint32_t key)
{
    uint32_t h = 2166136261u;
    for (int i = 0; i < 4; ++i) {
        h ^= (key >> (8 * i)) & 0xFFu;
        h *= 16777619u;
    }
    return ((h >> BucketBits) ^ h) & (BucketCount - 1);
}

void TIntegerHashTable::Clear()
{
    TCustomHashTable::Clear();
    Keys_.clear();
}

int32_t TIntegerHashTable::Find(uint32_t key) const
{
    for (int32_t i = Head(Bucket(key)); i >= 0; i = Next(i))
        if (Keys_[static_cast<size_t>(i)] == key)
            return i;
    return -1;
}

int32_t TIntegerHashTable::Add(uint32_t key)
{
    const auto index = static_cast<int32_t>(Keys_.size());
    Keys_.push_back(key);
    Link(Bucket(key), index);
    return index;
}

} // namespace kv
