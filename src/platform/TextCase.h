#pragma once
// Comparing names the way the platform's file and settings names compare.

#include <string_view>

namespace kv {

// True when the two texts are equal ignoring the case of ASCII letters.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

} // namespace kv
