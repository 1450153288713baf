#pragma once
// The state a draw inherits from the code around it (transform, colour, blend mode, pixel shader,
// clip region), each a fixed stack, plus the design-to-back-buffer transform and the last
// geometric step of every draw: transform, clip, half-pixel shift.
#include "core/Color.h"
#include "core/Matrix3.h"
#include "core/Quad.h"
#include "core/Types.h"
#include "core/Vector2.h"
#include "graphics/ClipPolygon.h"
#include "graphics/Vertex.h"
#include "graphics/VertexSink.h"

namespace lv::graphics {

class CPixelShader;

class CRenderState
{
public:
    static constexpr s32 kStackDepth = 32;

    CRenderState();

    // One identity transform, opaque white, blend mode 2, no pixel shader, no clip. The screen
    // transform is kept.
    void Reset();

    // p -> p * scale + offset.
    void SetScreenTransform(const CVector2& scale, const CVector2& offset);
    const CMatrix3& GetScreenTransform() const { return m_ScreenTransform; }

    // top := m x top: m acts first, in the local space.
    void MultiplyTransform(const CMatrix3& m);
    const CMatrix3& GetTransform() const { return m_Transforms.Top(); }
    void PushTransform();
    void PopTransform();

    void SetColor(const CColor& color) { m_Colors.Top() = color; }
    const CColor& GetColor() const { return m_Colors.Top(); }
    void PushColor();
    void PopColor();

    void SetBlendMode(s32 mode) { m_BlendModes.Top() = mode; }
    s32 GetBlendMode() const { return m_BlendModes.Top(); }
    void PushBlendMode();
    void PopBlendMode();

    void SetPixelShader(CPixelShader* shader) { m_PixelShaders.Top() = shader; }
    CPixelShader* GetPixelShader() const { return m_PixelShaders.Top(); }

    // Narrows the clip region by a quad in design coordinates; pushes only on an empty stack.
    void IntersectClip(const CQuad& quad);
    bool HasClip() const { return m_Clips.m_Top >= 0; }
    const CClipPolygon& GetClip() const { return m_Clips.Top(); }

    void PushAll();
    void PopAll();

    // Transforms `count` vertices in place (at most kMaxDrawVertices), clips them unless told to
    // skip, and shifts them by half a pixel. The result replaces the input; output beyond
    // kMaxDrawVertices is dropped and logged (the sink form below never drops).
    void TransformAndClip(CVertex* vertices, u32& count, bool skipClipping);
    // The same for any number of vertices; the result goes to `sink` in chunks of at most
    // kMaxDrawVertices whole primitives. `vertices` is used as scratch space.
    void TransformAndClip(CVertex* vertices, u32 count, bool skipClipping, CVertexSink& sink);

    // Clips triangles (or one line) against the current clip polygon, in place (at most
    // kMaxDrawVertices in and out). Triangles come out as triangle fans, a line as one line.
    void ClipPolygon(CVertex* vertices, u32& count);

    // Number of entries of each stack, for checks after a frame.
    s32 GetTransformDepth() const { return m_Transforms.m_Top + 1; }
    s32 GetColorDepth() const { return m_Colors.m_Top + 1; }
    s32 GetBlendDepth() const { return m_BlendModes.m_Top + 1; }
    s32 GetClipDepth() const { return m_Clips.m_Top + 1; }
    s32 GetPixelShaderDepth() const { return m_PixelShaders.m_Top + 1; }

private:
    // Past the capacity, or below `base`, the stack stays as it is and the caller logs. A push
    // refused for capacity is counted, so that its matching pop removes nothing and the pops of
    // the pushes below it still find their own entries.
    template <class T> struct CStack
    {
        T m_Entries[kStackDepth];
        s32 m_Top = -1;
        s32 m_Refused = 0;
        T& Top() { return m_Entries[m_Top]; }
        const T& Top() const { return m_Entries[m_Top]; }
        void Reset(const T& value)
        {
            m_Entries[0] = value;
            m_Top = 0;
            m_Refused = 0;
        }
        void Clear()
        {
            m_Top = -1;
            m_Refused = 0;
        }
        bool Push()
        {
            if (m_Top < 0)
                return false;
            if (m_Top + 1 >= kStackDepth) {
                ++m_Refused;
                return false;
            }
            m_Entries[m_Top + 1] = m_Entries[m_Top];
            ++m_Top;
            return true;
        }
        bool PushValue(const T& value)
        {
            if (m_Top + 1 >= kStackDepth) {
                ++m_Refused;
                return false;
            }
            m_Entries[++m_Top] = value;
            return true;
        }
        // True when the pop was paired with a push (kept or refused).
        bool Pop(s32 base)
        {
            if (m_Refused > 0) {
                --m_Refused;
                return true;
            }
            if (m_Top <= base)
                return false;
            --m_Top;
            return true;
        }
    };

    void ClipToSink(CVertex* vertices, u32 count, CVertexSink& sink, bool shift);
    static void LogStackFault(const char* stack, bool push);

    CStack<CMatrix3> m_Transforms;
    CStack<CColor> m_Colors;
    CStack<CClipPolygon> m_Clips;
    CStack<s32> m_BlendModes;
    CStack<CPixelShader*> m_PixelShaders;
    CMatrix3 m_ScreenTransform;
};

} // namespace lv::graphics
