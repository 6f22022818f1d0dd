#pragma once
// The progress report of the scene-file readers and writers: a percentage from 0 to 100.

#include <cstdint>
#include <functional>

namespace kv {

using TProgressCallback = std::function<void(int32_t percent)>;

} // namespace kv
