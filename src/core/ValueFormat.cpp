#include "core/ValueFormat.h"

#include "core/Color.h"
#include "core/FloatRect.h"
#include "core/Point2i.h"
#include "core/Quad.h"
#include "core/Vector2.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr size_t kBufferSize = 256;

char* Buffer()
{
    thread_local char buffer[kBufferSize];
    return buffer;
}

// Formats into the shared buffer, cut at its size.
template <typename... Args>
const char* Format(const char* format, Args... args)
{
    char* buffer = Buffer();
    std::snprintf(buffer, kBufferSize, format, args...);
    return buffer;
}

// Appends "%.*f" of each value, separated by single spaces.
template <size_t N>
const char* FormatFloats(const float (&values)[N])
{
    char* buffer = Buffer();
    size_t used = 0;
    for (size_t i = 0; i < N && used < kBufferSize - 1; ++i)
    {
        const int n = std::snprintf(buffer + used, kBufferSize - used, i ? " %.*f" : "%.*f",
                                    static_cast<int>(ValuePrecision(values[i])), static_cast<double>(values[i]));
        if (n < 0)
            break;
        used += static_cast<size_t>(n);
    }
    return buffer;
}

} // namespace

s32 ValuePrecision(float x)
{
    const float fraction = static_cast<float>((x - std::trunc(x)) * 1000.0f);
    return fraction == 0.0f ? 0 : 3;
}

const char* IntToString(s32 value)
{
    return Format("%d", static_cast<int>(value));
}

const char* BoolToString(bool value)
{
    return value ? "true" : "false";
}

const char* ValueToString(s32 value)
{
    return IntToString(value);
}

const char* ValueToString(bool value)
{
    return BoolToString(value);
}

const char* ValueToString(float value)
{
    const float values[] = {value};
    return FormatFloats(values);
}

const char* ValueToString(const CVector2& value)
{
    const float values[] = {value.X, value.Y};
    return FormatFloats(values);
}

const char* ValueToString(const CPoint2i& value)
{
    return Format("%i %i", static_cast<int>(value.X), static_cast<int>(value.Y));
}

const char* ValueToString(s16 first, s16 second)
{
    return Format("%i %i", static_cast<int>(first), static_cast<int>(second));
}

const char* ValueToString(float a, float b, float c, float d)
{
    const float values[] = {a, b, c, d};
    return FormatFloats(values);
}

const char* ValueToString(const CFloatRect& value)
{
    const float values[] = {value.X, value.Y, value.Width, value.Height};
    return FormatFloats(values);
}

const char* ValueToString(const CQuad& value)
{
    const CVector2* c = value.Corners;
    const float values[] = {c[0].X, c[0].Y, c[1].X, c[1].Y, c[2].X, c[2].Y, c[3].X, c[3].Y};
    return FormatFloats(values);
}

const char* ValueToString(const CColor& value)
{
    return Format("%d", static_cast<int>(static_cast<s32>(value.ToArgb())));
}

namespace {

// Output of FormatWide: stops taking characters at capacity - 1.
class CWideOutput
{
public:
    CWideOutput(WChar* out, size_t capacity) : m_Out(out), m_Limit(capacity - 1) {}

    bool IsFull() const { return m_Written >= m_Limit; }
    bool Put(WChar c)
    {
        if (IsFull())
            return false;
        m_Out[m_Written++] = c;
        return true;
    }
    bool Repeat(WChar c, size_t count)
    {
        for (size_t i = 0; i < count; ++i)
        {
            if (!Put(c))
                return false;
        }
        return true;
    }
    size_t Finish()
    {
        m_Out[m_Written] = 0;
        return m_Written;
    }

private:
    WChar* m_Out;
    size_t m_Limit;
    size_t m_Written = 0;
};

bool IsDigit(WChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads decimal digits, saturating far above any useful width.
size_t ReadNumber(const WChar*& p)
{
    size_t value = 0;
    for (; IsDigit(*p); ++p)
        value = value < 100000 ? value * 10 + static_cast<size_t>(*p - u'0') : value;
    return value;
}

bool PutInteger(CWideOutput& out, bool negative, u64 magnitude, size_t width, bool zeroPad)
{
    char digits[24];
    size_t count = 0;
    do
    {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    const size_t length = count + (negative ? 1 : 0);
    const size_t padding = width > length ? width - length : 0;
    if (!zeroPad && !out.Repeat(u' ', padding))
        return false;
    if (negative && !out.Put(u'-'))
        return false;
    if (zeroPad && !out.Repeat(u'0', padding))
        return false;
    while (count)
    {
        if (!out.Put(static_cast<WChar>(digits[--count])))
            return false;
    }
    return true;
}

} // namespace

size_t FormatWide(WChar* out, size_t capacity, const WChar* format, ...)
{
    va_list args;
    va_start(args, format);
    const size_t written = FormatWideV(out, capacity, format, args);
    va_end(args);
    return written;
}

size_t FormatWideV(WChar* out, size_t capacity, const WChar* format, va_list args)
{
    if (capacity == 0 || !out)
        return 0;
    CWideOutput output(out, capacity);
    const WChar* p = format ? format : u"";
    while (*p && !output.IsFull())
    {
        if (*p != u'%')
        {
            output.Put(*p++);
            continue;
        }
        const WChar* start = p++;
        const bool zeroPad = *p == u'0';
        if (zeroPad)
            ++p;
        const size_t width = ReadNumber(p);
        if (*p == u'.')
        {
            ++p;
            ReadNumber(p);
        }
        if (*p == u'l')
            ++p;
        if (!*p)
            break; // the format ends inside a conversion
        const WChar conversion = *p++;
        bool ok = true;
        switch (conversion)
        {
        case u's': {
            const WChar* text = va_arg(args, const WChar*);
            if (!text)
                text = u"";
            size_t length = 0;
            while (text[length])
                ++length;
            ok = output.Repeat(u' ', width > length ? width - length : 0);
            for (; ok && *text; ++text)
                ok = output.Put(*text);
            break;
        }
        case u'd':
        case u'i': {
            const s32 value = va_arg(args, int);
            const u64 magnitude = value < 0 ? u64(0) - static_cast<u64>(static_cast<s64>(value)) : u64(value);
            ok = PutInteger(output, value < 0, magnitude, width, zeroPad);
            break;
        }
        case u'u':
            ok = PutInteger(output, false, va_arg(args, unsigned int), width, zeroPad);
            break;
        case u'f': {
            const double value = va_arg(args, double);
            char conversion[32];
            const size_t n = static_cast<size_t>(p - start);
            if (n >= sizeof(conversion))
                break; // a width or precision too long to mean anything
            for (size_t i = 0; i < n; ++i)
                conversion[i] = static_cast<char>(start[i]);
            conversion[n] = 0;
            char text[32];
            if (std::snprintf(text, sizeof(text), conversion, value) > 0)
            {
                for (const char* t = text; ok && *t; ++t)
                    ok = output.Put(static_cast<WChar>(*t));
            }
            break;
        }
        default:
            // Unknown conversions (and "%%") leave their last character as plain text.
            ok = output.Put(conversion);
            break;
        }
        if (!ok)
            break;
    }
    return output.Finish();
}
