#include "anim/ParticleObject.h"

#include "anim/ClipItem.h"
#include "anim/ParticleFlags.h"
#include "core/Matrix3.h"
#include "core/Quad.h"
#include "core/TimerGroup.h"
#include "graphics/Renderer.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace lv::misc::anim {

CParticleObject::CParticleObject(const char* definition)
    : m_System(static_cast<core::CTimerGroup*>(nullptr))
{
    LoadParticle(definition);
}

CParticleObject::~CParticleObject() = default;

void CParticleObject::LoadParticle(const char* definition)
{
    m_System.Restart();
    if (definition && *definition)
        m_System.Load(definition);
    m_System.Advance(m_AdvanceTime, kAdvanceStep);
    m_BaseEmission = m_System.GetEmission();
    m_BaseEmitterSize = m_System.GetEmitterSize();
}

CVector2 CParticleObject::GetBaseSize() const
{
    return CVector2(std::max(m_BaseEmitterSize.X, kMinBaseSize), std::max(m_BaseEmitterSize.Y, kMinBaseSize));
}

void CParticleObject::SetFixEmit(bool fix)
{
    m_FixEmit = fix;
    DoSetPosition(m_Position);
    // The jump to the object's position must not leave a trail of spawn points behind it.
    m_System.ClearPosition();
    SetAngle(m_Angle);
    SetCorners(GetCorners());
}

void CParticleObject::SetScaleMode(bool scale)
{
    m_ScaleMode = scale;
    SetCorners(GetCorners());
}

void CParticleObject::AssignSystem(const CParticleSystem& system)
{
    m_System = system;
    SetTime(GetAnimationTime(), true, CClipTransform());
}

void CParticleObject::SetCorners(const CQuad& corners)
{
    const CVector2 base = GetBaseSize();
    const CVector2& c0 = corners.Corners[0];
    const CVector2& c2 = corners.Corners[2];
    m_Scale = CVector2(std::fabs(c2.X - c0.X) / base.X, std::fabs(c2.Y - c0.Y) / base.Y);
    if (!m_ScaleMode) {
        m_System.SetEmission(m_BaseEmission * m_Scale.X * m_Scale.Y);
        m_System.SetScale(CVector2(1.0f, 1.0f));
    } else if (m_FixEmit) {
        m_System.SetScale(m_Scale);
    } else {
        // The draw transform scales the whole effect instead.
        m_System.SetEmission(m_BaseEmission);
        m_System.SetScale(CVector2(1.0f, 1.0f));
        m_System.SetEmitterSize(m_BaseEmitterSize);
        return;
    }
    m_System.SetEmitterSize(CVector2(m_BaseEmitterSize.X * m_Scale.X, m_BaseEmitterSize.Y * m_Scale.Y));
}

CQuad CParticleObject::GetCorners() const
{
    const CVector2 base = GetBaseSize();
    const float w = m_Scale.X * base.X;
    const float h = m_Scale.Y * base.Y;
    return CQuad(-w / 2, -h / 2, w, h);
}

void CParticleObject::ResetGeometry()
{
    m_Scale = CVector2(1.0f, 1.0f);
    SetCorners(GetCorners());
}

void CParticleObject::SetAngle(float angle)
{
    m_Angle = angle;
    m_System.SetRotation(m_FixEmit ? angle : 0.0f);
}

void CParticleObject::SetAdditiveBlend(bool additive)
{
    const u32 flags = m_System.GetFlags();
    m_System.SetFlags(additive ? flags | PF_ADDITIVE : flags & ~static_cast<u32>(PF_ADDITIVE));
}

bool CParticleObject::IsAdditiveBlend() const
{
    return (m_System.GetFlags() & PF_ADDITIVE) != 0;
}

void CParticleObject::SetEmitFlags(s32 flags)
{
    if (GetState() != StatePlaying) {
        m_System.Pause(false);
    } else {
        if (m_System.IsPaused() && (flags & kEmitResume)) {
            m_System.Pause(false);
            m_System.Advance(m_AdvanceTime, kAdvanceStep);
        }
        if (!m_System.IsPaused() && (flags & kEmitRestart)) {
            m_System.Restart();
            m_System.Advance(m_AdvanceTime, kAdvanceStep);
        }
        if (!m_System.IsPaused() && (flags & kEmitFreeze)) {
            m_System.Restart();
            m_System.Pause(true);
        }
    }
    m_EmitFlags = static_cast<u32>(flags);
}

void CParticleObject::ResolveTextures()
{
    // Copied first: binding rewrites the name it is given.
    const std::string texture = m_System.GetDefinition().tex_id.GetText();
    m_System.BindTexture(texture.c_str());
}

void CParticleObject::LoadFromDefinition(const CClipItem& item, LoadPathHelper* paths)
{
    const CClipParticleData& data = item.GetParticleData();
    LoadParticle(data.ParticleName.GetText());
    // A negative advance time in a damaged record would pre-run the effect for weeks.
    m_AdvanceTime = static_cast<u32>(std::max(data.AdvanceTime, 0));
    SetFixEmit(data.FixEmit != 0);
    SetScaleMode(data.Scale != 0);
    CClipObject::LoadFromDefinition(item, paths);
}

void CParticleObject::Play()
{
    if (GetState() == StateStopped) {
        m_System.Restart();
        bool waits = false;
        const CClipKeyPoint* keys = GetKeyPoints();
        for (u32 i = 0, n = GetKeyPointCount(); i < n && !waits; ++i)
            waits = (keys[i].EmitFlags & kEmitResume) != 0;
        if (waits) {
            m_System.Pause(true);
        } else {
            m_System.Pause(false);
            m_System.Advance(m_AdvanceTime, kAdvanceStep);
        }
    }
    CClipObject::Play();
}

void CParticleObject::DoSetPosition(const CVector2& position)
{
    m_Position = position;
    if (m_FixEmit)
        m_System.SetEmitterPosition(position);
}

void CParticleObject::Draw(graphics::CRenderer& renderer)
{
    if (!IsVisible() || m_Color.A <= 0)
        return;
    const bool tinted = !m_Color.IsOpaqueWhite();
    if (tinted) {
        renderer.PushColor();
        CColor color;
        renderer.GetColor().Modulated(color, m_Color);
        renderer.SetColor(color);
    }
    const bool transformed = !m_FixEmit || (m_FlipFlags & 3) != 0;
    if (transformed) {
        const CVector2 e = m_System.GetEmitterPosition();
        const float sx = (m_FlipFlags & 1) ? -1.0f : 1.0f;
        const float sy = (m_FlipFlags & 2) ? -1.0f : 1.0f;
        CMatrix3 m, step, product;
        CMatrix3::MakeTranslation(m, -e.X, -e.Y);
        if (!m_FixEmit) {
            CMatrix3::MakeRotation(step, m_Angle);
            m.Multiply(product, step);
            m = product;
            if (m_ScaleMode) {
                CMatrix3::MakeScale(step, sx * m_Scale.X, sy * m_Scale.Y);
                m.Multiply(product, step);
                m = product;
            }
        } else {
            CMatrix3::MakeScale(step, sx, sy);
            m.Multiply(product, step);
            m = product;
        }
        CMatrix3::MakeTranslation(step, m_Position.X, m_Position.Y);
        m.Multiply(product, step);
        renderer.PushTransform();
        renderer.MultiplyTransform(product);
    }
    m_System.Draw(renderer);
    if (tinted)
        renderer.PopColor();
    if (transformed)
        renderer.PopTransform();
}

} // namespace lv::misc::anim
