#pragma once
// RGBA colour with 16-bit channels, nominally 0..255; the extra width holds intermediate
// results before clamping. Packed form is 0xAARRGGBB. The default is opaque white.
#include "core/Types.h"

#include <algorithm>

class CColor
{
public:
    s16 R = 255;
    s16 G = 255;
    s16 B = 255;
    s16 A = 255;

    CColor() = default;
    explicit CColor(u32 argb)
        : R(static_cast<s16>((argb >> 16) & 0xFF)), G(static_cast<s16>((argb >> 8) & 0xFF)),
          B(static_cast<s16>(argb & 0xFF)), A(static_cast<s16>(argb >> 24))
    {
    }

    // Argument order a, r, g, b; stored without clamping.
    static CColor CColorArgb(s32 a, s32 r, s32 g, s32 b)
    {
        CColor c;
        c.R = static_cast<s16>(r);
        c.G = static_cast<s16>(g);
        c.B = static_cast<s16>(b);
        c.A = static_cast<s16>(a);
        return c;
    }

    // Channels are not masked: they must already lie in 0..255.
    u32 ToArgb() const
    {
        const auto bits = [](s16 c) { return static_cast<u32>(static_cast<s32>(c)); };
        return (bits(A) << 24) | (bits(R) << 16) | (bits(G) << 8) | bits(B);
    }

    // Draw calls skip the colour multiplication for opaque white.
    bool IsOpaqueWhite() const { return R >= 255 && G >= 255 && B >= 255 && A >= 255; }

    void Clamp()
    {
        for (s16* c : {&A, &R, &G, &B})
            *c = std::clamp<s16>(*c, 0, 255);
    }
    void AssignClamped(const CColor& other)
    {
        *this = other;
        Clamp();
    }

    // Each channel becomes trunc(c * o / 255.0) clamped to 0..255 (clamped before it is
    // narrowed, so out-of-range channels cannot wrap).
    CColor& operator*=(const CColor& o)
    {
        const auto mul = [](s16 c, s16 k) {
            return static_cast<s16>(std::clamp(static_cast<s32>(double(c) * k / 255.0), 0, 255));
        };
        R = mul(R, o.R);
        G = mul(G, o.G);
        B = mul(B, o.B);
        A = mul(A, o.A);
        return *this;
    }
    void Modulated(CColor& out, const CColor& other) const
    {
        out = *this;
        out *= other;
    }

    bool operator==(const CColor& o) const = default;
};

static_assert(sizeof(CColor) == 8);
