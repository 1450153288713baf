#pragma once
// Turns clip XML into the clip definitions image (see ClipManager.h for its layout). Shared by
// the game's XML path and the clip image writer of the content tools, so both give the same
// bytes.
//
// Each top-level `Clip` element is assembled in a fixed work area: its head, then one item per
// `image`, `particle`, `clip`, `text` (anywhere inside) and `path` (direct children only), each
// with its `kp`, `sd` and `kpid` records (and a path's `p` points). A clip that does not fit the
// work area, or that has more than 255 key points, sound points, markers or path points in one
// item, is logged and dropped; the others are kept. A later definition of a name replaces an
// earlier one.
#include "core/Types.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace lv::core {
struct XmlFrame;
struct XmlToken;
} // namespace lv::core

namespace lv::misc::anim {

class CClipsBuilder
{
public:
    static constexpr u32 kWorkAreaSize = 262144;
    // Attribute values longer than kValueBufferSize - 1 bytes are cut.
    static constexpr u32 kValueBufferSize = 1024;

    CClipsBuilder();
    ~CClipsBuilder();
    CClipsBuilder(const CClipsBuilder&) = delete;
    CClipsBuilder& operator=(const CClipsBuilder&) = delete;

    // Reads one clip XML document. Returns the parser's verdict; clips completed before a
    // rejection are kept.
    bool AddXml(const char* text, size_t length);

    size_t GetCount() const { return m_Clips.size(); }
    // The definitions image: magic, count, the index sorted by name, the clip records.
    std::vector<u8> Build() const;

private:
    enum class ERecord : u8
    {
        None,
        KeyPoint,
        SoundPoint,
        Marker,
        PathPoint
    };

    static void OnElementStart(void* user, core::XmlFrame* frames, int depth);
    static void OnAttribute(void* user, core::XmlFrame* frames, int depth, const core::XmlToken* name,
                            const core::XmlToken* value, bool utf8);
    static void OnElementEnd(void* user, core::XmlFrame* frames, int depth);

    void StartClip(int depth);
    void StartItem(u32 kind, int depth);
    void StartRecord(ERecord record, int depth);
    void EndClip();
    void SetClipAttribute(const std::string& name, const char* value);
    void SetItemAttribute(const std::string& name, const char* value);
    void SetRecordAttribute(const std::string& name, const char* value);
    // Opens `bytes` of zeroed room at `offset` inside the open item (moving what follows);
    // false, dropping the clip, when the work area has no room left.
    bool InsertRoom(u32 offset, u32 bytes);
    bool HasRoom(u32 bytes);
    void Drop();
    u8* At(u32 offset) { return m_Work.data() + offset; }

    std::vector<u8> m_Work;
    char m_Value[kValueBufferSize] = {};
    u32 m_Used = 0; // bytes of the work area written since it was last cleared
    bool m_InClip = false;
    bool m_Dropped = false;
    int m_ClipDepth = -1;
    u32 m_ClipSize = 0;
    bool m_InItem = false;
    int m_ItemDepth = -1;
    u32 m_Item = 0; // offset of the open item
    ERecord m_Record = ERecord::None;
    int m_RecordDepth = -1;
    u32 m_RecordIndex = 0;
    std::map<std::string, std::vector<u8>> m_Clips;
};

} // namespace lv::misc::anim
