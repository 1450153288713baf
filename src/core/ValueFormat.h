#pragma once
// Values as narrow text for settings files, labels and debug output. Floats print with no
// decimals when whole and with three otherwise. Every result except BoolToString's lives in one
// 256-byte buffer per thread that the next call overwrites: copy it before calling again.
// Results longer than 255 characters are cut.
#include "core/Types.h"

#include <cstdarg>
#include <cstddef>

class CVector2;
class CPoint2i;
class CFloatRect;
class CQuad;
class CColor;

// 0 when x is whole (its fraction times 1000, as a float, is exactly 0), else 3.
s32 ValuePrecision(float x);

const char* IntToString(s32 value);
const char* BoolToString(bool value); // "true" / "false", constant texts
const char* ValueToString(s32 value);
const char* ValueToString(bool value);
const char* ValueToString(float value);
const char* ValueToString(const CVector2& value);
const char* ValueToString(const CPoint2i& value);
// A pair of 16-bit values: "first second".
const char* ValueToString(s16 first, s16 second);
const char* ValueToString(const CFloatRect& value);
// Four floats in order, each with its own precision, as for a rectangle.
const char* ValueToString(float a, float b, float c, float d);
const char* ValueToString(const CQuad& value);
// The packed 0xAARRGGBB value as a signed decimal: opaque white is "-1".
const char* ValueToString(const CColor& value);

// A small bounded printf for UTF-16 text: %s (UTF-16 text), %d %i %u, %f, with an optional
// '0' flag, width and precision, and an ignored 'l'; "%%" gives '%'. Writes at most
// capacity - 1 characters and a terminating zero; returns the characters written.
size_t FormatWide(WChar* out, size_t capacity, const WChar* format, ...);
size_t FormatWideV(WChar* out, size_t capacity, const WChar* format, va_list args);
