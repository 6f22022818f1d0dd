#pragma once
// The messages of the movie writer. Each failure is one operation's message followed by the text
// of a result code, as the video-file services of the platforms we grew up on report them.

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// Result codes of movie writing, with the values the AVI file services use.
enum TAVIResult : uint32_t {
    arOK = 0,
    arUnregisteredFileType = 0x80040154,
    arUnsupported = 0x80044065,
    arBadFormat = 0x80044066,
    arMemory = 0x80044067,
    arInternal = 0x80044068,
    arBadFlags = 0x80044069,
    arBadParam = 0x8004406A,
    arBadSize = 0x8004406B,
    arBadHandle = 0x8004406C,
    arFileRead = 0x8004406D,
    arFileWrite = 0x8004406E,
    arFileOpen = 0x8004406F,
    arCompressor = 0x80044070,
    arNoCompressor = 0x80044071,
    arReadOnly = 0x80044072,
    arNoData = 0x80044073,
    arBufferTooSmall = 0x80044074,
    arCantCompress = 0x80044075,
    arUserAbort = 0x800440C6,
    arError = 0x800440C7,
};

// The text a result code adds to a message: ": File write error", or for a code outside the
// table " Unknown Error: " and the code as 8 hexadecimal digits.
std::string AVIResultText(uint32_t result);

// `operation` followed by the code's text, and by " (detail)" when a detail is given (the
// system's own reason, such as "No space left on device").
std::string AVIErrorMessage(std::string_view operation, uint32_t result, std::string_view detail = {});

// Throws EKorvelaError with AVIErrorMessage.
[[noreturn]] void ThrowAVIError(std::string_view operation, uint32_t result, std::string_view detail = {});

// "Unable to create AVI file (\".avi\")": the opening message names the file's extension.
std::string CreateFileOperation(std::string_view extension);

} // namespace kv
