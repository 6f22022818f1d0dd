#pragma once
// The viewer's fog. Each setter that changes a value sends the whole fog state to the current
// context (the viewer makes it current around the call); the fog lives in the context and is not
// sent again per frame.

#include <cstdint>
#include <functional>

namespace kv {

enum TFogMode : uint8_t { fmLinear = 0, fmExp = 1, fmExp2 = 2 };

class TGLFog {
public:
    // `applyInContext` runs its argument with the viewer's context current (or not at all when
    // there is none); without it Apply runs directly.
    using TContextRunner = std::function<void(const std::function<void()>&)>;
    explicit TGLFog(TContextRunner applyInContext = {}) : InContext_(std::move(applyInContext)) {}

    uint8_t FogMode() const { return FogMode_; }
    bool Enabled() const { return Enabled_; }
    double FogEnd() const { return FogEnd_; }
    double Density() const { return Density_; }
    double FogStart() const { return FogStart_; }
    uint32_t FogColor() const { return FogColor_; }
    uint8_t Hint() const { return Hint_; }

    void SetFogMode(uint8_t mode);
    void SetEnabled(bool enabled);
    void SetFogEnd(double end);
    void SetDensity(double density);
    void SetFogStart(double start);
    void SetFogColor(uint32_t color);
    void SetHint(uint8_t hint);

    // Sends the whole state to the current context.
    void Apply() const;

private:
    template <typename T> void Store(T& field, T value);

    TContextRunner InContext_;
    uint8_t FogMode_ = fmExp2;
    bool Enabled_ = false;
    double FogEnd_ = 1.0;
    double Density_ = 0.1;
    double FogStart_ = 0.0;
    uint32_t FogColor_ = 0xFFFFFF;
    uint8_t Hint_ = 1;
};

} // namespace kv
