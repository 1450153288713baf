#pragma once
// 3x3 affine transform for row vectors: a point (x, y) is the row (x, y, 1) multiplied from
// the left, so translation lives in the third row and A x B applies A first, then B.
// Angles are radians; a positive rotation turns clockwise on the y-down screen.
#include <cmath>

class CMatrix3
{
public:
    float M00 = 0, M01 = 0, M02 = 0;
    float M10 = 0, M11 = 0, M12 = 0;
    float M20 = 0, M21 = 0, M22 = 0;

    CMatrix3() = default;
    CMatrix3(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21,
             float m22)
        : M00(m00), M01(m01), M02(m02), M10(m10), M11(m11), M12(m12), M20(m20), M21(m21), M22(m22)
    {
    }

    void SetIdentity() { *this = CMatrix3(1, 0, 0, 0, 1, 0, 0, 0, 1); }

    static void MakeTranslation(CMatrix3& out, float x, float y) { out = CMatrix3(1, 0, 0, 0, 1, 0, x, y, 1); }
    static void MakeScale(CMatrix3& out, float sx, float sy) { out = CMatrix3(sx, 0, 0, 0, sy, 0, 0, 0, 1); }
    static void MakeRotation(CMatrix3& out, float angle)
    {
        const float c = std::cos(angle);
        const float s = std::sin(angle);
        out = CMatrix3(c, s, 0, -s, c, 0, 0, 0, 1);
    }

    // out = this x other (this applies first).
    void Multiply(CMatrix3& out, const CMatrix3& o) const
    {
        out = CMatrix3(M00 * o.M00 + M01 * o.M10 + M02 * o.M20, M00 * o.M01 + M01 * o.M11 + M02 * o.M21,
                       M00 * o.M02 + M01 * o.M12 + M02 * o.M22, M10 * o.M00 + M11 * o.M10 + M12 * o.M20,
                       M10 * o.M01 + M11 * o.M11 + M12 * o.M21, M10 * o.M02 + M11 * o.M12 + M12 * o.M22,
                       M20 * o.M00 + M21 * o.M10 + M22 * o.M20, M20 * o.M01 + M21 * o.M11 + M22 * o.M21,
                       M20 * o.M02 + M21 * o.M12 + M22 * o.M22);
    }
    void MultiplyAssign(const CMatrix3& other)
    {
        CMatrix3 product;
        Multiply(product, other);
        *this = product;
    }

    CMatrix3 operator+(const CMatrix3& o) const
    {
        CMatrix3 r = *this;
        return r += o;
    }
    CMatrix3 operator-(const CMatrix3& o) const
    {
        CMatrix3 r = *this;
        return r -= o;
    }
    CMatrix3& operator+=(const CMatrix3& o)
    {
        for (int i = 0; i < 9; ++i)
            Element(i) += o.Element(i);
        return *this;
    }
    CMatrix3& operator-=(const CMatrix3& o)
    {
        for (int i = 0; i < 9; ++i)
            Element(i) -= o.Element(i);
        return *this;
    }
    CMatrix3& operator*=(float s)
    {
        for (int i = 0; i < 9; ++i)
            Element(i) *= s;
        return *this;
    }
    CMatrix3& operator/=(float s)
    {
        for (int i = 0; i < 9; ++i)
            Element(i) /= s;
        return *this;
    }
    void Negated(CMatrix3& out) const
    {
        out = *this;
        out *= -1.0f;
    }

    // Adjugate over the determinant. There is no singularity test: callers only invert
    // transforms built from translations, non-zero scales and rotations.
    static void Inverse(CMatrix3& out, const CMatrix3& m)
    {
        const float det = m.M00 * (m.M11 * m.M22 - m.M12 * m.M21) - m.M01 * (m.M22 * m.M10 - m.M12 * m.M20) +
                          m.M02 * (m.M21 * m.M10 - m.M11 * m.M20);
        out = CMatrix3(m.M11 * m.M22 - m.M12 * m.M21, -(m.M01 * m.M22 - m.M21 * m.M02), m.M01 * m.M12 - m.M02 * m.M11,
                       -(m.M10 * m.M22 - m.M12 * m.M20), m.M00 * m.M22 - m.M20 * m.M02,
                       -(m.M00 * m.M12 - m.M10 * m.M02), m.M10 * m.M21 - m.M11 * m.M20,
                       -(m.M00 * m.M21 - m.M01 * m.M20), m.M00 * m.M11 - m.M10 * m.M01);
        out /= det;
    }

    // Element i in row order (0 = M00, 8 = M22).
    float& Element(int i) { return this->*kElements[i]; }
    float Element(int i) const { return this->*kElements[i]; }

private:
    static constexpr float CMatrix3::*kElements[9] = {&CMatrix3::M00, &CMatrix3::M01, &CMatrix3::M02,
                                                      &CMatrix3::M10, &CMatrix3::M11, &CMatrix3::M12,
                                                      &CMatrix3::M20, &CMatrix3::M21, &CMatrix3::M22};
};

static_assert(sizeof(CMatrix3) == 36);
