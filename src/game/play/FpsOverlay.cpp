#include "game/play/FpsOverlay.h"

#include "anim/ParticleFillStats.h"
#include "core/FloatRect.h"
#include "core/TextConvert.h"
#include "core/TimeSystem.h"
#include "graphics/Font.h"
#include "graphics/FontManager.h"
#include "graphics/Renderer.h"

#include <algorithm>
#include <cstdio>

namespace game {

namespace {

struct SOverlayShared
{
    float LastRefresh = 0;
    WString ParticleLine;
    WString FpsLine;
    lv::graphics::CFont* Font = nullptr;
    bool FontLooked = false;
};

SOverlayShared& OverlayShared()
{
    static SOverlayShared shared;
    return shared;
}

const CColor kOverlayBlack = CColor(0xFF000000u);
const CColor kOverlayWhite = CColor(0xFFFFFFFFu);

// Width of the widest line and the height of all lines.
CVector2 MeasureOverlayText(const lv::graphics::CFont& font, const WString& text)
{
    float width = 0;
    s32 lines = 0;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(u'\n', start);
        const WStringView line(text.data() + start, (end == WString::npos ? text.size() : end) - start);
        width = std::max(width, static_cast<float>(font.GetTextWidth(line)));
        ++lines;
        if (end == WString::npos)
            break;
        start = end + 1;
    }
    return CVector2(width, static_cast<float>(lines * font.pixelHeight));
}

// Draws the box and then the text line by line from its top left.
float DrawOverlayBlock(lv::graphics::CRenderer& renderer, const lv::graphics::CFont& font, const WString& text,
                       float y)
{
    const CVector2 size = MeasureOverlayText(font, text);
    renderer.FillQuad(CQuad(0, y, size.X, size.Y), kOverlayBlack);
    size_t start = 0;
    float lineY = y;
    while (true) {
        const size_t end = text.find(u'\n', start);
        const WString line = text.substr(start, end == WString::npos ? WString::npos : end - start);
        renderer.DrawTextAtString(&font, line, 0, lineY, 2, 2, 1.0f, kOverlayWhite, CColor(0u));
        lineY += static_cast<float>(font.pixelHeight);
        if (end == WString::npos)
            break;
        start = end + 1;
    }
    return size.Y;
}

} // namespace

CFpsOverlay::CFpsOverlay(const char* fontName) : m_FontName(fontName) {}

CColor CFpsOverlay::GetBarColor(float ratio)
{
    if (ratio >= 1.0f)
        return CColor(0xFFFF0000u);
    if (ratio > 0.7f)
        return CColor(0xFFFFFF00u);
    return CColor(0xFF00FF00u);
}

const WString& CFpsOverlay::GetFpsLine()
{
    return OverlayShared().FpsLine;
}

const WString& CFpsOverlay::GetParticleLine()
{
    return OverlayShared().ParticleLine;
}

void CFpsOverlay::SetFont(lv::graphics::CFont* font)
{
    OverlayShared().Font = font;
    OverlayShared().FontLooked = true;
}

void CFpsOverlay::ResetShared()
{
    OverlayShared() = SOverlayShared();
}

void CFpsOverlay::Draw(lv::graphics::CRenderer& renderer)
{
    if (!m_BarShown && !m_TextShown)
        return;
    float fill = 0, source = 0;
    if (lv::misc::anim::CParticleFillStats* stats = lv::misc::anim::GetParticleFillStats()) {
        fill = stats->GetAverageFill();
        source = stats->GetAverageSource();
    }
    DrawAt(renderer, static_cast<float>(lv::core::CTimeSystem::Instance().GetTime()), fill, source);
}

void CFpsOverlay::DrawAt(lv::graphics::CRenderer& renderer, float now, float fillRate, float sourcePixels)
{
    if (!m_BarShown && !m_TextShown)
        return;
    SOverlayShared& shared = OverlayShared();
    ++m_FramesCounted;
    if (now - shared.LastRefresh >= static_cast<float>(kRefreshMs)) {
        char text[128];
        std::snprintf(text, sizeof(text), "particles fillrate: %12.0f\nparticles source pixels: %12.0f",
                      static_cast<double>(fillRate), static_cast<double>(sourcePixels));
        shared.ParticleLine = ToWide(text);
        m_FramesPerSecond = m_FramesCounted;
        m_FramesCounted = 0;
        std::snprintf(text, sizeof(text), "FPS: %3i, frame time: %3.2f", m_FramesPerSecond,
                      1000.0 / static_cast<double>(m_FramesPerSecond));
        shared.FpsLine = ToWide(text);
        shared.LastRefresh = now;
    }
    if (!shared.FontLooked) {
        shared.FontLooked = true;
        if (lv::core::CFontManager* fonts = lv::core::CFontManager::Instance())
            shared.Font = fonts->FindFont(m_FontName);
    }
    if (!shared.Font)
        return;
    if (m_TextShown)
        DrawText(renderer, *shared.Font);
    if (m_BarShown)
        DrawBar(renderer, *shared.Font, fillRate);
}

void CFpsOverlay::DrawText(lv::graphics::CRenderer& renderer, lv::graphics::CFont& font)
{
    const SOverlayShared& shared = OverlayShared();
    const float height = DrawOverlayBlock(renderer, font, shared.ParticleLine, 0);
    DrawOverlayBlock(renderer, font, shared.FpsLine, height);
}

void CFpsOverlay::DrawBar(lv::graphics::CRenderer& renderer, lv::graphics::CFont& font, float fillRate)
{
    const float ratio = fillRate / kFullFillRate;
    const CColor color = GetBarColor(ratio);
    const float percent = ratio * 100.0f;
    const float left = static_cast<float>(renderer.GetSourceSize().X + 910 - 1024);
    renderer.FillQuad(CQuad(left, 0, 114, static_cast<float>(font.pixelHeight + 31)), kOverlayBlack);
    const float barWidth = std::clamp(percent, 0.0f, 100.0f);
    if (barWidth > 0)
        renderer.FillQuad(CQuad(left + 2, 2, barWidth, 25), color);
    renderer.DrawRectOutline(CFloatRect(left + 2, 2, 100, 25), kOverlayWhite);
    char text[32];
    std::snprintf(text, sizeof(text), "%5.0f%%", static_cast<double>(percent));
    renderer.DrawTextAtString(&font, ToWide(text), left + 2, 29, 2, 2, 1.0f, kOverlayWhite, CColor(0u));
}

} // namespace game
