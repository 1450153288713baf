#pragma once
// Clip objects for the animation tests: definitions compiled from XML at test time, and an
// object kind that records every state the key-frame engine applies to it.
#include "anim/ClipHeader.h"
#include "anim/ClipItem.h"
#include "anim/ClipObject.h"
#include "anim/ClipsBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Definitions built from one XML document, kept alive for the objects that point into them.
class CTestClips
{
public:
    explicit CTestClips(const std::string& clips)
    {
        lv::misc::anim::CClipsBuilder builder;
        const std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n" + clips;
        EXPECT_TRUE(builder.AddXml(xml.data(), xml.size()));
        m_Image = builder.Build();
    }

    // The first item of the clip of that name (the clips follow the index, sorted by name).
    const lv::misc::anim::CClipItem& Item(const std::string& clip, size_t index = 0) const
    {
        const u32 count = Read(4);
        for (u32 i = 0; i < count; ++i) {
            const auto* header = reinterpret_cast<const lv::misc::anim::CClipHeader*>(m_Image.data() +
                                                                                       Read(8 + 100 * i + 96));
            if (header->Name.CompareText(clip.c_str()) != 0)
                continue;
            const lv::misc::anim::CClipItem* item = header->GetFirstItem();
            for (size_t n = 0; n < index; ++n)
                item = item->GetNext();
            return *item;
        }
        ADD_FAILURE() << "no clip " << clip;
        std::abort();
    }

private:
    u32 Read(size_t at) const
    {
        return static_cast<u32>(m_Image[at]) | (static_cast<u32>(m_Image[at + 1]) << 8) |
               (static_cast<u32>(m_Image[at + 2]) << 16) | (static_cast<u32>(m_Image[at + 3]) << 24);
    }

    std::vector<u8> m_Image;
};

// Keeps its geometry in plain fields and records the positions, colours and flags it is given.
class CRecordingObject : public lv::misc::anim::CClipObject
{
public:
    using CClipObject::ApplyKeyState;

    void Draw(lv::graphics::CRenderer&) override {}
    CVector2 GetPosition() const override { return m_Position; }
    void SetCorners(const CQuad& corners) override { m_Corners = corners; }
    CQuad GetCorners() const override { return m_Corners; }
    void ResetGeometry() override {}
    void SetAngle(float angle) override { m_Angle = angle; }
    float GetAngle() const override { return m_Angle; }
    void SetColor(const CColor& color) override { m_Color = color; }
    CColor GetColor() const override { return m_Color; }
    void SetAdditiveBlend(bool additive) override { m_Additive = additive; }
    bool IsAdditiveBlend() const override { return m_Additive; }
    s32 GetFlipFlags() const override { return m_Flip; }
    void SetFlipFlags(s32 flags) override { m_Flip = flags; }
    s32 GetEmitFlags() const override { return m_Emit; }
    void SetEmitFlags(s32 flags) override
    {
        m_Emit = flags;
        EmitLog.push_back(flags);
    }
    const char* GetTypeName() const override { return "test"; }
    CClipObject* Clone() const override { return new CRecordingObject(*this); }
    void DoSetPosition(const CVector2& position) override
    {
        m_Position = position;
        Positions.push_back(position.X);
    }

    // The x coordinates given, in order.
    std::vector<float> Positions;
    std::vector<s32> EmitLog;

private:
    CVector2 m_Position;
    CQuad m_Corners;
    float m_Angle = 0;
    CColor m_Color;
    bool m_Additive = false;
    s32 m_Flip = 0;
    s32 m_Emit = 0;
};
