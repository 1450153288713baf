#include "gui/ButtonWidget.h"

#include "core/SettingsGroup.h"
#include "core/TextConvert.h"
#include "core/TimeSystem.h"
#include "core/Timer.h"
#include "graphics/ImageHandle.h"
#include "graphics/ShortRect.h"
#include "graphics/Texture.h"
#include "graphics/TexturesAlpha.h"
#include "gui/CursorManager.h"
#include "gui/GuiSound.h"

#include <algorithm>
#include <cmath>

namespace lv::gui {

namespace {

constexpr const char kStateLetters[] = "nopd";
// Mouse moves and releases reach the button in the broadcast pass too, and two gestures.
constexpr u32 kButtonEvents = 8 | 64 | 2048 | 32768;

bool MaskHas(const CFixedString& mask, char letter)
{
    return std::char_traits<char>::find(mask.GetText(), mask.GetLength(), letter) != nullptr;
}

// The frame rectangle of the image's first frame in texture pixels.
CIntRect FirstFramePixels(const lv::graphics::CImageHandle& image)
{
    const lv::graphics::CTexture* texture = image.GetTexture();
    const float w = texture ? texture->GetWidth() : 0;
    const float h = texture ? texture->GetHeight() : 0;
    // The frame's uv rectangle holds its two corners.
    const CFloatRect& uv = image.GetFirstFrameUv();
    const s32 left = static_cast<s32>(uv.X * w), top = static_cast<s32>(uv.Y * h);
    return CIntRect(left, top, static_cast<s32>(uv.Width * w) - left, static_cast<s32>(uv.Height * h) - top);
}

} // namespace

CButtonWidget::CButtonWidget() : CButtonWidget(lv::graphics::CSprite(), nullptr, CFixedString(""), 0, 0) {}

CButtonWidget::CButtonWidget(const lv::graphics::CSprite& strip, const CLabelWidget::Ptr& label,
                             const CFixedString& name, u32 layer, u32 eventMask)
    : CWidget(name, layer, eventMask | kButtonEvents)
{
    m_FadeTimer.Assign(lv::core::CTimeSystem::Instance().CreateTimer(nullptr));
    CVector2 size = label ? label->GetSize() : CVector2();
    if (strip.GetImage() && BuildStateImages(strip)) {
        const CPoint2i image = strip.GetImageSize();
        size.X = std::max(size.X, static_cast<float>(image.X / StateCount()));
        size.Y = std::max(size.Y, static_cast<float>(image.Y));
    }
    if (label) {
        m_Label = label;
        AddChild(label);
    }
    SetSize(size.X, size.Y);
    SetStatePair(0, 1);
}

CButtonWidget::~CButtonWidget() = default;

s32 CButtonWidget::StateCount() const
{
    s32 count = 0;
    for (s32 i = 0; i < 4; ++i)
        count += MaskHas(m_StatesMask, kStateLetters[i]) ? 1 : 0;
    // A mask naming no state still has the one picture.
    return std::max(count, 1);
}

void CButtonWidget::SetSounds(const char* press, const char* over, const char* disabledPress)
{
    m_PressSound = CFixedString(press);
    m_OverSound = CFixedString(over);
    m_DisabledPressSound = CFixedString(disabledPress);
}

bool CButtonWidget::BuildStateImages(const lv::graphics::CSprite& strip)
{
    for (CImageWidget::Ptr& image : m_StateImages) {
        if (image)
            CloseChild(image.get());
        image.reset();
    }
    RemoveClosedChildren();
    lv::graphics::CImageHandle* handle = strip.GetImage();
    if (!handle)
        return false;
    const CIntRect frame = FirstFramePixels(*handle);
    const s32 stateWidth = frame.Width / StateCount();
    const CVector2 size = GetSize();
    for (s32 state = 0; state < 4; ++state) {
        s32 before = 0;
        for (s32 i = 0; i < state; ++i)
            before += MaskHas(m_StatesMask, kStateLetters[i]) ? 1 : 0;
        const s32 x = MaskHas(m_StatesMask, kStateLetters[state]) ? stateWidth * before : 0;
        CImageWidget::Ptr image(new CImageWidget(strip, CFixedString(""), 0, 0));
        image->SetSize(size.X, size.Y);
        image->SetAnchors(AnchorLeft | AnchorRight | AnchorTop | AnchorBottom);
        image->GetImage().SetSourceRect(CIntRect(frame.X + x, frame.Y, stateWidth, frame.Height));
        image->GetImage().SetFlags(1 | 2);
        image->AddFlags(Hidden);
        m_StateImages[state] = image;
    }
    // Each child goes first among its layer: the normal image ends up drawn last, on top.
    for (s32 state = 3; state >= 0; --state)
        AddChild(m_StateImages[state]);
    return true;
}

void CButtonWidget::SetSize(float width, float height)
{
    CWidget::SetSize(width, height);
    const CImageWidget::Ptr normal = m_StateImages[StateNormal];
    if ((m_TileStep.X == 0 && m_TileStep.Y == 0) || !normal || !normal->GetImage().GetImage())
        return;
    const lv::graphics::CImageHandle* image = normal->GetImage().GetImage();
    const s32 border[2] = {image->GetWidth() / 3, image->GetHeight() / 3};
    const s32 step[2] = {m_TileStep.X, m_TileStep.Y};
    const CVector2 now = GetSize();
    s32 inner[2] = {static_cast<s32>(now.X) - 2 * border[0], static_cast<s32>(now.Y) - 2 * border[1]};
    bool rounded = false;
    for (s32 axis = 0; axis < 2; ++axis) {
        if (step[axis] == 0)
            continue;
        const s32 rest = inner[axis] % step[axis];
        if (rest != 0) {
            inner[axis] += rest > 0 ? step[axis] - rest : -rest;
            rounded = true;
        }
    }
    if (rounded)
        SetSize(static_cast<float>(inner[0] + 2 * border[0]), static_cast<float>(inner[1] + 2 * border[1]));
}

CVector2 CButtonWidget::GetPreferredSize() const
{
    CVector2 size = m_Label ? m_Label->GetPreferredSize() : CVector2();
    const CImageWidget::Ptr normal = m_StateImages[StateNormal];
    if (normal && normal->GetImage().GetImage()) {
        const lv::graphics::CImageHandle* image = normal->GetImage().GetImage();
        size.X = std::max(size.X, static_cast<float>(image->GetWidth() / StateCount()));
        size.Y = std::max(size.Y, static_cast<float>(image->GetHeight()));
    }
    return size;
}

void CButtonWidget::SetLabelColor(const CColor& color)
{
    if (m_Label)
        m_Label->SetColor(color);
}

void CButtonWidget::SetStatePair(s32 shown, s32 other)
{
    m_ShownState = shown;
    m_OtherState = other;
    if (m_FadeTimer)
        m_FadeTimer->SetSpeed(-1);
    for (s32 i = 0; i < 4; ++i) {
        const CImageWidget::Ptr image = m_StateImages[i];
        if (!image)
            continue;
        CColor color = image->GetColor();
        color.A = 255;
        image->SetColor(color);
        if (i == shown || i == other)
            image->RemoveFlags(Hidden);
        else
            image->AddFlags(Hidden);
    }
    SetLabelColor(m_StateColors[shown]);
}

void CButtonWidget::SetDisabled(bool disabled)
{
    if (disabled) {
        if (m_State == StateDisabled)
            return;
        m_State = StateDisabled;
        m_ShownState = m_OtherState;
        for (s32 i = 0; i < 4; ++i) {
            const CImageWidget::Ptr image = m_StateImages[i];
            if (!image)
                continue;
            if (i == StateDisabled) {
                CColor color = image->GetColor();
                color.A = 255;
                image->SetColor(color);
                image->RemoveFlags(Hidden);
            } else {
                image->AddFlags(Hidden);
            }
        }
        SetLabelColor(m_StateColors[StateDisabled]);
        return;
    }
    if (m_State != StateDisabled)
        return;
    m_State = StateNormal;
    // Armed as after loading, so hovering fades in the over image at once.
    SetStatePair(StateNormal, StateOver);
    if (m_FadeTimer)
        m_FadeTimer->SetSpeed(1);
}

void CButtonWidget::SetText(WStringView text)
{
    if (m_Label)
        m_Label->SetText(text);
}

void CButtonWidget::OnPressed()
{
    CGuiSound::Play(m_PressSound);
    if (m_Listener)
        m_Listener->OnEvent("pressed", this);
}

void CButtonWidget::Update()
{
    CWidget::Update();
    if (m_ShownState == m_OtherState || !m_FadeTimer)
        return;
    const CImageWidget::Ptr shown = m_StateImages[m_ShownState];
    const CImageWidget::Ptr other = m_StateImages[m_OtherState];
    if (!shown || !other)
        return;
    const CColor& from = m_StateColors[m_ShownState];
    const CColor& to = m_StateColors[m_OtherState];
    s32 shownAlpha, otherAlpha;
    CColor label;
    if (m_ImageFadeTime <= 0) {
        const bool showShown = m_FadeTimer->GetSpeed() >= 0;
        shownAlpha = showShown ? 255 : 0;
        otherAlpha = showShown ? 0 : 255;
        label = showShown ? from : to;
    } else {
        const s32 fade = static_cast<s32>(m_ImageFadeTime);
        const s32 time = std::clamp(m_FadeTimer->GetTime(), 0, std::max(fade, 0));
        m_FadeTimer->SetTime(time);
        const float d = static_cast<float>(time) / m_ImageFadeTime;
        shownAlpha = static_cast<s32>(d * 255);
        otherAlpha = shownAlpha == 255 ? 0 : 255;
        const auto mix = [d](s16 a, s16 b) { return static_cast<s16>(a + (b - a) * (1 - d)); };
        label =
            CColor::CColorArgb(mix(from.A, to.A), mix(from.R, to.R), mix(from.G, to.G), mix(from.B, to.B));
    }
    CColor c = shown->GetColor();
    c.A = static_cast<s16>(shownAlpha);
    shown->SetColor(c);
    c = other->GetColor();
    c.A = static_cast<s16>(otherAlpha);
    other->SetColor(c);
    SetLabelColor(label);
}

bool CButtonWidget::OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    CWidget::OnMouseMove(point, keyFlags, pass);
    if (m_State == StateDisabled)
        return false;
    if (pass == 1 && !HitTest(point)) {
        if (m_State != StatePressed) {
            if (m_State == StateOver && m_Listener)
                m_Listener->OnEvent("lost_over", this);
            m_State = StateNormal;
        }
        if (m_FadeTimer)
            m_FadeTimer->SetSpeed(1);
        return false;
    }
    CCursorManager::Instance().SetCursor(CCursorManager::kHand);
    if (m_FadeTimer)
        m_FadeTimer->SetSpeed(-1);
    if (m_State == StateNormal)
        CGuiSound::Play(m_OverSound);
    if (m_State == StateOver || m_State == StatePressed)
        return true;
    m_State = StateOver;
    if (m_Listener)
        m_Listener->OnEvent("overed", this);
    return true;
}

bool CButtonWidget::OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    CWidget::OnMouseDown(point, button, keyFlags, pass);
    if (m_State == StateDisabled || pass == 1)
        return false;
    m_State = StatePressed;
    SetStatePair(StateOver, StatePressed);
    return true;
}

bool CButtonWidget::OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    CWidget::OnMouseUp(point, button, keyFlags, pass);
    const bool on = HitTest(point);
    if (m_State == StateDisabled) {
        // A release reaches the button in both passes; the sound plays once per release.
        if (on && (pass == 0 || !m_DisabledSoundPlayed))
            CGuiSound::Play(m_DisabledPressSound);
        m_DisabledSoundPlayed = pass == 0 && on ? 1 : 0;
        return false;
    }
    const bool wasPressed = m_State == StatePressed;
    if (wasPressed)
        SetStatePair(StateNormal, StateOver);
    m_State = on ? StateOver : StateNormal;
    if (wasPressed && on)
        OnPressed();
    return pass == 0;
}

bool CButtonWidget::OnMouseDoubleClick(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    return OnMouseDown(point, 0, keyFlags, pass);
}

bool CButtonWidget::HitTest(const CPoint2i& point) const
{
    if (!CWidget::HitTest(point))
        return false;
    if (!m_UseAlpha)
        return true;
    const CImageWidget::Ptr normal = m_StateImages[StateNormal];
    lv::graphics::CImageHandle* image = normal ? normal->GetImage().GetImage() : nullptr;
    if (!image)
        return false;
    const CIntRect frame = FirstFramePixels(*image);
    const lv::graphics::CShortRect& source = normal->GetImage().GetSourceRect();
    const s32 x = source.x - frame.X + point.X, y = source.y - frame.Y + point.Y;
    const lv::graphics::CTexturesAlpha& masks = lv::graphics::CTexturesAlpha::Instance();
    if (masks.IsLoaded())
        return masks.HitTest(image, x, y);
    const s32 frameIndex =
        image->IsMultiFrame() ? image->GetFrameForTime(normal->GetImage().GetAnimationTime()) : -1;
    lv::graphics::CTexture* texture = image->GetTexture();
    if (texture && !texture->GetPixelCopy() && texture->GetDeviceTexture()) {
        // Made once, from the loaded texture.
        image->EnsurePixelCopy();
        image->ReadPixels();
    }
    const u32* pixel = image->GetPixelAddress(static_cast<u32>(x), static_cast<u32>(y), frameIndex);
    return pixel && (*pixel >> 24) != 0;
}

void CButtonWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                     const lv::core::CSettingsGroup& templates)
{
    const lv::core::CSettingsGroup* t =
        templates.FindChildByAttribute("button_template", "id", node.GetAttribute("button_template"));
    if (t) {
        t->ReadInt("tile_step_x", m_TileStep.X);
        t->ReadInt("tile_step_y", m_TileStep.Y);
        t->ReadFloat("image_fade_time", m_ImageFadeTime);
        if (t->HasAttribute("sound_on_press"))
            m_PressSound = CFixedString(t->GetAttribute("sound_on_press").c_str());
        if (t->HasAttribute("sound_on_over"))
            m_OverSound = CFixedString(t->GetAttribute("sound_on_over").c_str());
        if (t->HasAttribute("sound_on_disabled_press"))
            m_DisabledPressSound = CFixedString(t->GetAttribute("sound_on_disabled_press").c_str());
        if (t->HasAttribute("states_mask"))
            m_StatesMask = CFixedString(t->GetAttribute("states_mask").c_str());
        BuildStateImages(lv::graphics::CSprite(CFixedString(t->GetAttribute("image").c_str())));
        if (!t->GetAttribute("label_template").empty()) {
            if (m_Label)
                CloseChild(m_Label.get());
            RemoveClosedChildren();
            m_Label.reset(new CLabelWidget());
            m_Label->LoadFromTemplate(*t, templates);
            m_Label->SetAnchors(AnchorLeft | AnchorRight | AnchorTop | AnchorBottom);
            SetText(ToWide(node.GetAttribute("text")));
            m_Label->FitSize(true);
        }
    }
    const CVector2 natural = GetPreferredSize();
    SetSize(natural.X, natural.Y);
    if (m_Label) {
        const CVector2 size = GetSize();
        m_Label->SetSize(size.X, size.Y);
        AddChild(m_Label);
    }
    if (t) {
        const char* names[4] = {"color_normal", "color_over", "color_pressed", "color_disabled"};
        for (s32 i = 0; i < 4; ++i)
            t->ReadColor(names[i], m_StateColors[i]);
    }
    SetStatePair(StateNormal, StateOver);
    if (m_FadeTimer)
        m_FadeTimer->SetSpeed(1);
    SetDisabled(node.GetBool("disabled"));
    bool useAlpha = m_UseAlpha != 0;
    if (t)
        t->ReadBool("use_alpha", useAlpha);
    node.ReadBool("use_alpha", useAlpha);
    m_UseAlpha = useAlpha ? 1 : 0;
    CWidget::LoadFromTemplate(node, templates);
}

} // namespace lv::gui
