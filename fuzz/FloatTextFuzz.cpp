// The number and vector text readers over arbitrary text: they either refuse it with
// EKorvelaError or give values whose text forms read back, to the same bits in the long form.
// Only the first read may throw; a text form of ours that does not read back escapes and is
// reported as a crash.
#include "gl/FloatText.h"
#include "gl/GLLibrary.h"
#include "gl/GLQuatLib.h"
#include "gl/Vector.h"
#include "platform/KVError.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace {

template <typename TRead> auto ReadOrNothing(TRead read) -> std::optional<decltype(read())>
{
    try {
        return read();
    } catch (const kv::EKorvelaError&) {
        return std::nullopt;
    }
}

void CheckSame(double a, double b)
{
    if (a == a && std::bit_cast<uint64_t>(a) != std::bit_cast<uint64_t>(b))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto v = ReadOrNothing([&] { return kv::ParseFloat(text); })) {
        CheckSame(*v, kv::ParseFloat(kv::FormatGeneral(*v)));
        kv::ParseFloat(kv::FormatGeneral(*v, kv::ShortFloatDigits, kv::ShortExponentDigits));
        kv::ParseFloat(kv::FormatFixed(*v, 3));
    }
    if (const auto v = ReadOrNothing([&] { return kv::StrToVector3D(text); })) {
        const kv::Vector3D back = kv::StrToVector3D(kv::Vector3DToStr(*v));
        CheckSame(v->x, back.x);
        CheckSame(v->y, back.y);
        CheckSame(v->z, back.z);
    }
    if (const auto v = ReadOrNothing([&] { return kv::StrToVector2D(text); })) {
        const kv::Vector2D back = kv::StrToVector2D(kv::Vector2DToStr(*v));
        CheckSame(v->x, back.x);
        CheckSame(v->y, back.y);
    }
    if (const auto q = ReadOrNothing([&] { return kv::StrToQuaternion(text); })) {
        const kv::Quaternion back = kv::StrToQuaternion(kv::QuaternionToStr(*q));
        CheckSame(q->x, back.x);
        CheckSame(q->w, back.w);
    }
    if (const auto f = ReadOrNothing([&] { return kv::StrToFloat4(text); })) {
        const kv::Float4 back = kv::StrToFloat4(kv::Float4ToStr(*f));
        CheckSame(f->r, back.r);
        CheckSame(f->a, back.a);
    }
    return 0;
}
