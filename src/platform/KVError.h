#pragma once
// The program's one root exception class. Every failure is reported by throwing it
// (or a descendant) with a message meant for the user; there are no error codes.

#include <stdexcept>
#include <string>

namespace kv {

class EKorvelaError : public std::runtime_error {
public:
    explicit EKorvelaError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace kv
