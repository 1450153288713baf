#include "content/ImagePainter.h"

#include "content/ImageWriter.h"
#include "content/PackWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

namespace lv::content {

namespace {

// Sample rows per pixel row; across a row the spans' exact overlap is used.
constexpr int kPaintSubRows = 4;
// Coordinates beyond this are refused: they only come from typing errors.
constexpr float kPaintMaxCoordinate = 1.0e6f;

bool ParsePaintNumber(std::string_view word, float& out)
{
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, out);
    return ec == std::errc() && ptr == end && std::isfinite(out) && std::fabs(out) <= kPaintMaxCoordinate;
}

bool ParsePaintCount(std::string_view word, u32& out)
{
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, out);
    return ec == std::errc() && ptr == end;
}

// "AARRGGBB", or "RRGGBB" for an opaque colour.
bool ParsePaintColour(std::string_view word, u32& out)
{
    if (word.size() != 8 && word.size() != 6)
        return false;
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, out, 16);
    if (ec != std::errc() || ptr != end)
        return false;
    if (word.size() == 6)
        out |= 0xFF000000u;
    return true;
}

u32 LerpColour(u32 a, u32 b, float t)
{
    u32 out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float ca = float((a >> shift) & 255), cb = float((b >> shift) & 255);
        out |= u32(std::lround(ca + (cb - ca) * t)) << shift;
    }
    return out;
}

// Source over destination, both with straight alpha; `alpha` is the source's effective alpha.
u32 BlendOver(u32 dst, u32 src, float alpha)
{
    if (alpha <= 0.0f)
        return dst;
    const float dstAlpha = float(dst >> 24) / 255.0f;
    const float outAlpha = alpha + dstAlpha * (1.0f - alpha);
    if (outAlpha <= 0.0f)
        return 0;
    u32 out = u32(std::lround(outAlpha * 255.0f)) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const float s = float((src >> shift) & 255), d = float((dst >> shift) & 255);
        const float c = (s * alpha + d * dstAlpha * (1.0f - alpha)) / outAlpha;
        out |= u32(std::clamp<s64>(std::lround(c), 0, 255)) << shift;
    }
    return out;
}

std::vector<std::string_view> SplitPaintWords(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

} // namespace

bool CImagePainter::Paint(std::string_view text, std::string* error)
{
    m_Width = m_Height = m_FrameWidth = m_Frames = 0;
    m_Frame = -1;
    m_Paint = SPaint();
    m_Pixels.clear();
    size_t lineNumber = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (const size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        const std::vector<std::string_view> words = SplitPaintWords(line);
        if (words.empty())
            continue;
        std::string what;
        if (!Command(words, what)) {
            if (error)
                *error = "line " + std::to_string(lineNumber) + ": " + what;
            m_Pixels.clear();
            m_Width = m_Height = 0;
            return false;
        }
    }
    if (m_Pixels.empty()) {
        if (error)
            *error = "no canvas";
        return false;
    }
    return true;
}

bool CImagePainter::PaintFile(const std::filesystem::path& file, std::string* error)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        if (error)
            *error = "cannot read " + file.string();
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string message;
    if (Paint(text.str(), &message))
        return true;
    if (error)
        *error = file.string() + ": " + message;
    return false;
}

bool CImagePainter::WritePng(const std::filesystem::path& file, std::string* error) const
{
    std::vector<u8> png;
    if (m_Pixels.empty() || !EncodePngArgb(m_Width, m_Height, m_Pixels, true, png)) {
        if (error)
            *error = "cannot encode " + file.string();
        return false;
    }
    std::error_code ec;
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), ec);
    if (!WriteDiskFile(file, png)) {
        if (error)
            *error = "cannot write " + file.string();
        return false;
    }
    return true;
}

bool CImagePainter::Command(const std::vector<std::string_view>& words, std::string& what)
{
    const std::string_view name = words[0];
    const size_t count = words.size() - 1;
    float v[6] = {};
    auto numbers = [&](size_t from, size_t n) {
        for (size_t i = 0; i < n; ++i)
            if (!ParsePaintNumber(words[from + i], v[i])) {
                what = "'" + std::string(words[from + i]) + "' is not a number";
                return false;
            }
        return true;
    };
    auto arguments = [&](size_t low, size_t high) {
        if (count >= low && count <= high)
            return true;
        what = "'" + std::string(name) + "' takes " + std::to_string(low) +
               (high == low ? std::string() : " to " + std::to_string(high)) + " arguments";
        return false;
    };

    if (name == "canvas") {
        u32 width = 0, height = 0, frames = 1;
        if (!arguments(2, 3))
            return false;
        if (!m_Pixels.empty()) {
            what = "a second canvas";
            return false;
        }
        if (!ParsePaintCount(words[1], width) || !ParsePaintCount(words[2], height) ||
            (count == 3 && !ParsePaintCount(words[3], frames))) {
            what = "the canvas needs whole numbers";
            return false;
        }
        if (width == 0 || height == 0 || frames == 0 || width > kMaxSide || height > kMaxSide ||
            frames > kMaxSide || u64(width) * frames > kMaxSide ||
            u64(width) * frames * height > m_MaxPixels) {
            what = "canvas size out of range";
            return false;
        }
        m_FrameWidth = width;
        m_Frames = frames;
        m_Width = width * frames;
        m_Height = height;
        m_Pixels.assign(size_t(m_Width) * m_Height, 0);
        m_Coverage.assign(width, 0.0f);
        return true;
    }
    if (name == "color") {
        if (!arguments(1, 1))
            return false;
        m_Paint = SPaint();
        if (!ParsePaintColour(words[1], m_Paint.colour)) {
            what = "'" + std::string(words[1]) + "' is not a colour";
            return false;
        }
        return true;
    }
    if (name == "gradient") {
        if (!arguments(6, 6) || !numbers(1, 4))
            return false;
        SPaint paint;
        paint.gradient = true;
        paint.x0 = v[0], paint.y0 = v[1], paint.x1 = v[2], paint.y1 = v[3];
        if (!ParsePaintColour(words[5], paint.colour) || !ParsePaintColour(words[6], paint.colour1)) {
            what = "the gradient needs two colours";
            return false;
        }
        m_Paint = paint;
        return true;
    }
    // Everything below paints.
    if (m_Pixels.empty()) {
        what = "'" + std::string(name) + "' before the canvas";
        return false;
    }
    if (name == "frame") {
        if (!arguments(1, 1))
            return false;
        u32 frame = 0;
        if (words[1] == "all") {
            m_Frame = -1;
        } else if (ParsePaintCount(words[1], frame) && frame < m_Frames) {
            m_Frame = s32(frame);
        } else {
            what = "no frame '" + std::string(words[1]) + "'";
            return false;
        }
        return true;
    }
    SShape shape;
    if (name == "fill") {
        if (!arguments(0, 0))
            return false;
        shape.kind = EShape::Fill;
    } else if (name == "rect") {
        if (!arguments(4, 5) || !numbers(1, count))
            return false;
        if (v[2] < 0 || v[3] < 0 || v[4] < 0) {
            what = "a rectangle's size and radius cannot be negative";
            return false;
        }
        shape.kind = EShape::Rect;
        std::copy(v, v + 5, shape.v);
        shape.v[4] = std::min({shape.v[4], shape.v[2] / 2, shape.v[3] / 2});
    } else if (name == "ellipse") {
        if (!arguments(4, 4) || !numbers(1, 4))
            return false;
        if (v[2] < 0 || v[3] < 0) {
            what = "an ellipse's radii cannot be negative";
            return false;
        }
        shape.kind = EShape::Ellipse;
        std::copy(v, v + 4, shape.v);
    } else if (name == "polygon") {
        if (count < 6 || count % 2 != 0 || count > 2 * kMaxPolygonPoints) {
            what = "a polygon takes 3 to " + std::to_string(kMaxPolygonPoints) + " points";
            return false;
        }
        shape.kind = EShape::Polygon;
        shape.points.resize(count);
        for (size_t i = 0; i < count; ++i)
            if (!ParsePaintNumber(words[1 + i], shape.points[i])) {
                what = "'" + std::string(words[1 + i]) + "' is not a number";
                return false;
            }
    } else {
        what = "unknown command '" + std::string(name) + "'";
        return false;
    }
    Draw(shape);
    return true;
}

void CImagePainter::Spans(const SShape& shape, float y, std::vector<float>& out) const
{
    out.clear();
    const float* v = shape.v;
    switch (shape.kind) {
    case EShape::Fill:
        out.insert(out.end(), {0.0f, float(m_FrameWidth)});
        break;
    case EShape::Rect: {
        const float top = v[1], bottom = v[1] + v[3], radius = v[4];
        if (y < top || y >= bottom)
            break;
        float inset = 0;
        const float corner =
            y < top + radius ? top + radius - y : (y > bottom - radius ? y - (bottom - radius) : 0.0f);
        if (corner > 0)
            inset = radius - std::sqrt(std::max(0.0f, radius * radius - corner * corner));
        out.insert(out.end(), {v[0] + inset, v[0] + v[2] - inset});
        break;
    }
    case EShape::Ellipse: {
        if (v[2] <= 0 || v[3] <= 0)
            break;
        const float dy = (y - v[1]) / v[3];
        if (dy <= -1 || dy >= 1)
            break;
        const float half = v[2] * std::sqrt(1 - dy * dy);
        out.insert(out.end(), {v[0] - half, v[0] + half});
        break;
    }
    case EShape::Polygon: {
        const std::vector<float>& p = shape.points;
        const size_t n = p.size() / 2;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const float xi = p[2 * i], yi = p[2 * i + 1], xj = p[2 * j], yj = p[2 * j + 1];
            if ((yi <= y) != (yj <= y))
                out.push_back(xi + (y - yi) * (xj - xi) / (yj - yi));
        }
        std::sort(out.begin(), out.end());
        break;
    }
    }
}

void CImagePainter::Draw(const SShape& shape)
{
    float top = 0, bottom = float(m_Height);
    const float* v = shape.v;
    if (shape.kind == EShape::Rect) {
        top = v[1], bottom = v[1] + v[3];
    } else if (shape.kind == EShape::Ellipse) {
        top = v[1] - v[3], bottom = v[1] + v[3];
    } else if (shape.kind == EShape::Polygon) {
        top = bottom = shape.points[1];
        for (size_t i = 1; i < shape.points.size(); i += 2) {
            top = std::min(top, shape.points[i]);
            bottom = std::max(bottom, shape.points[i]);
        }
    }
    top = std::max(top, 0.0f);
    bottom = std::min(bottom, float(m_Height));
    if (top >= bottom)
        return;
    if (m_Frame >= 0) {
        DrawInFrame(shape, u32(m_Frame), top, bottom);
        return;
    }
    for (u32 frame = 0; frame < m_Frames; ++frame)
        DrawInFrame(shape, frame, top, bottom);
}

void CImagePainter::DrawInFrame(const SShape& shape, u32 frame, float top, float bottom)
{
    const u32 firstRow = u32(top), endRow = std::min(m_Height, u32(std::ceil(bottom)));
    const float width = float(m_FrameWidth);
    for (u32 row = firstRow; row < endRow; ++row) {
        std::fill(m_Coverage.begin(), m_Coverage.end(), 0.0f);
        u32 low = m_FrameWidth, high = 0;
        for (int sub = 0; sub < kPaintSubRows; ++sub) {
            Spans(shape, float(row) + (float(sub) + 0.5f) / kPaintSubRows, m_Spans);
            for (size_t i = 0; i + 1 < m_Spans.size(); i += 2) {
                const float a = std::clamp(m_Spans[i], 0.0f, width),
                            b = std::clamp(m_Spans[i + 1], 0.0f, width);
                if (b <= a)
                    continue;
                const u32 first = u32(a), last = std::min(m_FrameWidth - 1, u32(std::ceil(b)) - 1);
                for (u32 x = first; x <= last; ++x) {
                    const float overlap = std::min(b, float(x + 1)) - std::max(a, float(x));
                    if (overlap > 0)
                        m_Coverage[x] += overlap / kPaintSubRows;
                }
                low = std::min(low, first);
                high = std::max(high, last + 1);
            }
        }
        u32* line = m_Pixels.data() + size_t(row) * m_Width + size_t(frame) * m_FrameWidth;
        for (u32 x = low; x < high; ++x) {
            const float coverage = std::min(m_Coverage[x], 1.0f);
            if (coverage <= 0.0f)
                continue;
            const u32 colour = PaintAt(float(x) + 0.5f, float(row) + 0.5f);
            line[x] = BlendOver(line[x], colour, float(colour >> 24) / 255.0f * coverage);
        }
    }
}

u32 CImagePainter::PaintAt(float x, float y) const
{
    if (!m_Paint.gradient)
        return m_Paint.colour;
    const float dx = m_Paint.x1 - m_Paint.x0, dy = m_Paint.y1 - m_Paint.y0;
    const float length = dx * dx + dy * dy;
    const float t =
        length > 0 ? std::clamp(((x - m_Paint.x0) * dx + (y - m_Paint.y0) * dy) / length, 0.0f, 1.0f) : 0.0f;
    return LerpColour(m_Paint.colour, m_Paint.colour1, t);
}

} // namespace lv::content
