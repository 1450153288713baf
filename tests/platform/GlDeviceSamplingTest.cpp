// The device point-samples a linearly filtered draw whose pixels all fall on texel centres, one
// texel per pixel: the pictures must be the ones linear filtering gives, and every other draw
// must still filter, also right after an exact one.
#include "GlTestDevice.h"

#include <cmath>

namespace lv::platform::test {
namespace {

constexpr UINT kSide = 4;

// Opaque texels that differ from each neighbour in every channel.
std::vector<DWORD> SamplingTexels()
{
    std::vector<DWORD> texels(kSide * kSide);
    for (UINT y = 0; y < kSide; ++y)
        for (UINT x = 0; x < kSide; ++x)
            texels[y * kSide + x] = 0xFF000000u | ((x * 70 + y * 5) << 16) | ((y * 70 + x * 3) << 8) |
                                    ((x * y * 15 + 20) & 255);
    return texels;
}

// What linear filtering with clamping reads at the texel position (s, t).
DWORD Bilinear(const std::vector<DWORD>& texels, double s, double t)
{
    const double fs = s - 0.5, ft = t - 0.5;
    const int i = int(std::floor(fs)), j = int(std::floor(ft));
    const double a = fs - i, b = ft - j;
    auto texel = [&](int x, int y) {
        x = x < 0 ? 0 : x >= int(kSide) ? int(kSide) - 1 : x;
        y = y < 0 ? 0 : y >= int(kSide) ? int(kSide) - 1 : y;
        return texels[size_t(y) * kSide + size_t(x)];
    };
    DWORD out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        auto c = [&](int x, int y) { return double((texel(x, y) >> shift) & 255); };
        const double value = (1 - b) * ((1 - a) * c(i, j) + a * c(i + 1, j)) + b * ((1 - a) * c(i, j + 1) + a * c(i + 1, j + 1));
        out |= DWORD(std::lround(value)) << shift;
    }
    return out;
}

struct SSamplingCase
{
    const char* Name;
    float X, Y;    // where the quad's top left corner goes
    float Scale;   // pixels per texel
    bool Exact;    // every pixel centre on a texel centre
};

TEST_F(GlDeviceTest, ExactDrawsShowTheirTexelsAndOthersStillFilter)
{
    const std::vector<DWORD> texels = SamplingTexels();
    IDirect3DTexture9* texture = MakeTexture(kSide, kSide, D3DFMT_A8R8G8B8, texels.data(), UINT(texels.size() * 4));
    const SSamplingCase cases[] = {
        {"at the origin", -0.5f, -0.5f, 1, true},
        {"moved by whole pixels", 6.5f, 9.5f, 1, true},
        {"half a pixel off in x", 7.0f, 3.5f, 1, false},
        {"a quarter pixel off in y", 2.5f, 3.25f, 1, false},
        {"magnified twice", 1.5f, 1.5f, 2, false},
        // The same exact draw again after the filtered ones: the sampler comes back.
        {"at the origin again", -0.5f, -0.5f, 1, true},
    };
    for (const SSamplingCase& c : cases) {
        m_Device->BeginScene();
        m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 0, 0);
        m_Device->SetTexture(0, texture);
        // A filtered draw elsewhere first, so an exact one follows a linear sampler in the frame.
        Draw(Quad(40.25f, 40.25f, 44.25f, 44.25f, 0xFFFFFFFF));
        const float extent = float(kSide) * c.Scale;
        Draw(Quad(c.X, c.Y, c.X + extent, c.Y + extent, 0xFFFFFFFF));
        m_Device->EndScene();
        const std::vector<DWORD> pixels = ReadBackBuffer();
        // Pixel centres strictly inside the quad.
        for (int py = int(std::ceil(c.Y)); double(py) < c.Y + extent; ++py)
            for (int px = int(std::ceil(c.X)); double(px) < c.X + extent; ++px) {
                if (double(px) == c.X || double(py) == c.Y)
                    continue;
                const double s = (px - c.X) / c.Scale, t = (py - c.Y) / c.Scale;
                const DWORD expected = Bilinear(texels, s, t);
                const DWORD actual = pixels[size_t(py) * m_Width + size_t(px)];
                if (c.Exact) {
                    EXPECT_EQ(ToRgba(actual), ToRgba(texels[size_t(t) * kSide + size_t(s)]))
                        << c.Name << ", pixel " << px << "," << py;
                }
                EXPECT_TRUE(Near(actual, expected, 2)) << c.Name << ", pixel " << px << "," << py;
            }
    }
    m_Device->SetTexture(0, nullptr);
    EXPECT_EQ(texture->Release(), 0u);
}

} // namespace
} // namespace lv::platform::test
