#include "qe/VideoObject.h"

#include "core/Matrix3.h"
#include "graphics/Renderer.h"
#include "graphics/Video.h"
#include "graphics/VideoFactory.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/RecordFields.h"

#include <cmath>
#include <cstring>

namespace qe {

namespace {

const char* NameText(const u8* p)
{
    return ReadRecordName(p).GetText();
}

} // namespace

CVideoObject::CVideoObject(const CVideoObject& other)
    : CSceneObject(other), m_VideoFlags(other.m_VideoFlags), m_Payload(other.m_Payload), m_Position(other.m_Position),
      m_Size(other.m_Size), m_Angle(other.m_Angle), m_Color(other.m_Color)
{
}

CVideoObject::~CVideoObject()
{
    Release();
}

void CVideoObject::InitFromRecord(const u8* record)
{
    SetRecord(record);
    if (!record)
        return;
    m_Payload = GetPayloadOf(record);
    const u8* p = m_Payload;
    m_Color = ReadRecordColor(p + 192);
    m_Position = CVector2(ReadRecordFloat(p + 200), ReadRecordFloat(p + 204));
    m_Size = CVector2(ReadRecordFloat(p + 208), ReadRecordFloat(p + 212));
    m_Angle = ReadRecordFloat(p + 220);
    m_VideoFlags = 0;
    if (NameText(p + 96)[0])
        m_VideoFlags |= kTranslucent;
    if (p[216])
        m_VideoFlags |= kAutoPlay;
    if (p[224])
        m_VideoFlags |= kFlipH;
    if (p[225])
        m_VideoFlags |= kFlipV;
}

bool CVideoObject::IsLooped() const
{
    return m_Payload && m_Payload[217] != 0;
}

void CVideoObject::Release()
{
    delete m_Video;
    m_Video = nullptr;
}

void CVideoObject::Play()
{
    if (IsLooped())
        m_VideoFlags |= kAutoPlay;
    Release();
    if (!m_Payload)
        return;
    bool ok = false;
    lv::graphics::CVideo* video = (m_VideoFlags & kTranslucent)
                                      ? lv::graphics::CreateTranslucentVideo(NameText(m_Payload), NameText(m_Payload + 96), &ok)
                                      : lv::graphics::CreateOpaqueVideo(NameText(m_Payload), &ok);
    // The factories hand back an unopened player on failure (after their own report).
    if (!ok)
    {
        delete video;
        return;
    }
    m_Video = video;
    m_Video->SetLooping(IsLooped());
}

void CVideoObject::Stop()
{
    m_VideoFlags &= static_cast<u16>(~kAutoPlay);
    Release();
}

s64 CVideoObject::GetLength() const
{
    return m_Video ? m_Video->GetDuration() : 0;
}

u32 CVideoObject::GetPlayPosition() const
{
    return m_Video ? m_Video->GetPosition() : 0;
}

void CVideoObject::OnSceneEnter()
{
    if (m_VideoFlags & kAutoPlay)
        Play();
}

void CVideoObject::OnSceneLeave()
{
    Release();
    if (!IsLooped())
        m_VideoFlags &= static_cast<u16>(~kAutoPlay);
}

void CVideoObject::Update()
{
    if (!m_Video)
        return;
    if (!IsLooped() && static_cast<s64>(m_Video->GetPosition()) >= m_Video->GetDuration())
    {
        Release();
        return;
    }
    m_Video->Update();
}

void CVideoObject::Draw(lv::graphics::CRenderer& renderer)
{
    if (!m_Video)
        return;
    const bool mirrored = (m_VideoFlags & (kFlipH | kFlipV)) != 0;
    if (!mirrored && (m_Angle == 0.0f || std::fabs(m_Angle) < 0.008726389f))
    {
        m_Video->Draw(renderer, m_Position.X - m_Size.X / 2, m_Position.Y - m_Size.Y / 2, m_Size.X, m_Size.Y, m_Color);
        return;
    }
    CMatrix3 transform, step, product;
    CMatrix3::MakeTranslation(transform, -m_Size.X / 2, -m_Size.Y / 2);
    CMatrix3::MakeScale(step, (m_VideoFlags & kFlipH) ? -1.0f : 1.0f, (m_VideoFlags & kFlipV) ? -1.0f : 1.0f);
    transform.Multiply(product, step);
    CMatrix3::MakeRotation(step, m_Angle);
    product.Multiply(transform, step);
    CMatrix3::MakeTranslation(step, m_Position.X, m_Position.Y);
    transform.Multiply(product, step);
    renderer.PushTransform();
    renderer.MultiplyTransform(product);
    m_Video->Draw(renderer, 0, 0, m_Size.X, m_Size.Y, m_Color);
    renderer.PopTransform();
}

bool CVideoObject::HitTest(const CVector2& point)
{
    if (!m_Video)
        return false;
    const CVector2 p(static_cast<float>(static_cast<s32>(point.X)), static_cast<float>(static_cast<s32>(point.Y)));
    CVector2 local;
    return GetLocalPoint(p, m_Position, m_Size, m_Angle, static_cast<s32>(m_Video->GetWidth()),
                         static_cast<s32>(m_Video->GetHeight()), local);
}

void CVideoObject::Save(CBinaryWriter& writer)
{
    SaveBase(writer, (m_VideoFlags & kAutoPlay) ? kPlayingBit : 0);
}

bool CVideoObject::Load(CBinaryReader& reader)
{
    u32 stored = 0;
    if (!LoadBase(reader, stored))
        return false;
    if (stored & kPlayingBit)
        m_VideoFlags |= kAutoPlay;
    else
        m_VideoFlags &= static_cast<u16>(~kAutoPlay);
    return true;
}

} // namespace qe
