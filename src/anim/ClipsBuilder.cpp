#include "anim/ClipsBuilder.h"

#include "anim/ClipHeader.h"
#include "anim/ClipItem.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/XmlParser.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace lv::misc::anim {

namespace {

constexpr const char* kBuilderChannel = "anim";
constexpr u32 kMagic = 0x02504C43;
constexpr u32 kMaxRecords = 255;

bool TokenIs(const core::XmlToken& token, const char* text)
{
    const size_t length = std::strlen(text);
    return token.length == length && std::memcmp(token.start, text, length) == 0;
}

// Decimal as the C library's atoi reads it, wrapping instead of overflowing.
s32 ParseInt(const char* text)
{
    return static_cast<s32>(static_cast<u32>(static_cast<u64>(std::strtoll(text, nullptr, 10))));
}

float ParseFloat(const char* text)
{
    return static_cast<float>(std::strtod(text, nullptr));
}

bool ParseBool(const char* text)
{
    return std::strcmp(text, "true") == 0;
}

// Reads up to `count` blank-separated floats; values not given keep what `out` held.
void ScanFloats(const char* text, float* out, int count)
{
    switch (count) {
    case 2: std::sscanf(text, "%f %f", &out[0], &out[1]); break;
    case 4: std::sscanf(text, "%f %f %f %f", &out[0], &out[1], &out[2], &out[3]); break;
    default:
        std::sscanf(text, "%f %f %f %f %f %f %f %f", &out[0], &out[1], &out[2], &out[3], &out[4], &out[5], &out[6],
                    &out[7]);
        break;
    }
}

void ScanVector(const char* text, CVector2& v)
{
    float f[2] = {v.X, v.Y};
    ScanFloats(text, f, 2);
    v = CVector2(f[0], f[1]);
}

void ScanRect(const char* text, CFloatRect& r)
{
    float f[4] = {r.X, r.Y, r.Width, r.Height};
    ScanFloats(text, f, 4);
    r = CFloatRect(f[0], f[1], f[2], f[3]);
}

void ScanQuad(const char* text, CQuad& q)
{
    float f[8];
    for (int i = 0; i < 4; ++i) {
        f[2 * i] = q.Corners[i].X;
        f[2 * i + 1] = q.Corners[i].Y;
    }
    ScanFloats(text, f, 8);
    for (int i = 0; i < 4; ++i)
        q.Corners[i] = CVector2(f[2 * i], f[2 * i + 1]);
}

CColor ParseColor(const char* text)
{
    return CColor(static_cast<u32>(ParseInt(text)));
}

// A name that does not fit its record is cut to the record's capacity (never inside a UTF-8
// sequence) and reported; the stored record always carries its hash.
template <u16 N>
void AssignName(CBasicFixedString<char, N>& name, const char* text, const char* what)
{
    size_t length = std::strlen(text);
    if (length > name.kMaxLength) {
        size_t cut = name.kMaxLength;
        while (cut > 0 && (static_cast<u8>(text[cut]) & 0xC0) == 0x80)
            --cut;
        core::CLog::Instance().Print(kBuilderChannel, 2, "ClipsLoader - %s '%.*s...' is longer than %i characters, cut", what,
                                     static_cast<int>(cut), text, static_cast<int>(name.kMaxLength));
        length = cut;
    }
    name.AssignN(text, length);
    name.UpdateHash();
}

template <typename T>
T* Construct(u8* at)
{
    return new (at) T();
}

} // namespace

CClipsBuilder::CClipsBuilder() : m_Work(kWorkAreaSize, 0) {}

CClipsBuilder::~CClipsBuilder() = default;

bool CClipsBuilder::AddXml(const char* text, size_t length)
{
    // A clip left open by the previous document is not kept.
    m_InClip = m_InItem = false;
    m_Record = ERecord::None;
    return core::ParseXml(text, length, this, OnElementStart, OnAttribute, nullptr, OnElementEnd, nullptr) != 0;
}

void CClipsBuilder::OnElementStart(void* user, core::XmlFrame* frames, int depth)
{
    auto& self = *static_cast<CClipsBuilder*>(user);
    const core::XmlToken& name = frames[depth].name;
    if (TokenIs(name, "Clip")) {
        if (!self.m_InClip)
            self.StartClip(depth);
        return;
    }
    if (!self.m_InClip || self.m_Dropped)
        return;
    if (TokenIs(name, "image"))
        self.StartItem(ClipItemImage, depth);
    else if (TokenIs(name, "particle"))
        self.StartItem(ClipItemParticle, depth);
    else if (TokenIs(name, "clip"))
        self.StartItem(ClipItemClip, depth);
    else if (TokenIs(name, "text"))
        self.StartItem(ClipItemText, depth);
    else if (TokenIs(name, "path")) {
        if (depth == 1)
            self.StartItem(ClipItemPath, depth);
    } else if (TokenIs(name, "kp"))
        self.StartRecord(ERecord::KeyPoint, depth);
    else if (TokenIs(name, "sd"))
        self.StartRecord(ERecord::SoundPoint, depth);
    else if (TokenIs(name, "kpid"))
        self.StartRecord(ERecord::Marker, depth);
    else if (TokenIs(name, "p"))
        self.StartRecord(ERecord::PathPoint, depth);
}

void CClipsBuilder::OnElementEnd(void* user, core::XmlFrame*, int depth)
{
    auto& self = *static_cast<CClipsBuilder*>(user);
    if (self.m_Record != ERecord::None && depth == self.m_RecordDepth) {
        self.m_Record = ERecord::None;
    } else if (self.m_InItem && depth == self.m_ItemDepth) {
        self.m_InItem = false;
        if (!self.m_Dropped)
            self.m_ClipSize += reinterpret_cast<CClipItem*>(self.At(self.m_Item))->Size;
    } else if (self.m_InClip && depth == self.m_ClipDepth) {
        self.EndClip();
    }
}

void CClipsBuilder::OnAttribute(void* user, core::XmlFrame*, int, const core::XmlToken* name,
                                const core::XmlToken* value, bool)
{
    auto& self = *static_cast<CClipsBuilder*>(user);
    if (!self.m_InClip || self.m_Dropped)
        return;
    const std::string attribute(name->start, name->length);
    u32 length = value->length;
    if (length >= kValueBufferSize) {
        core::CLog::Instance().Print(kBuilderChannel, 2, "ClipsLoader - value of '%s' is longer than %u bytes, cut",
                                     attribute.c_str(), kValueBufferSize - 1);
        length = kValueBufferSize - 1;
    }
    std::memcpy(self.m_Value, value->start, length);
    self.m_Value[length] = 0;
    if (self.m_Record != ERecord::None)
        self.SetRecordAttribute(attribute, self.m_Value);
    else if (self.m_InItem)
        self.SetItemAttribute(attribute, self.m_Value);
    else
        self.SetClipAttribute(attribute, self.m_Value);
}

void CClipsBuilder::StartClip(int depth)
{
    std::memset(m_Work.data(), 0, m_Used);
    auto* header = Construct<CClipHeader>(At(0));
    header->Name.UpdateHash();
    m_ClipSize = sizeof(CClipHeader);
    m_Used = m_ClipSize;
    m_InClip = true;
    m_Dropped = false;
    m_ClipDepth = depth;
    m_InItem = false;
    m_Record = ERecord::None;
}

bool CClipsBuilder::HasRoom(u32 bytes)
{
    // The end of the clip keeps four bytes for the terminator.
    const u32 end = m_InItem ? m_Item + reinterpret_cast<CClipItem*>(At(m_Item))->Size : m_ClipSize;
    if (static_cast<u64>(end) + bytes + 4 <= kWorkAreaSize)
        return true;
    core::CLog::Instance().Print(kBuilderChannel, 3, "ClipsLoader - clip '%s' does not fit the %u-byte work area",
                                 reinterpret_cast<CClipHeader*>(At(0))->Name.GetText(), kWorkAreaSize);
    Drop();
    return false;
}

void CClipsBuilder::Drop()
{
    m_Dropped = true;
    m_Record = ERecord::None;
}

void CClipsBuilder::StartItem(u32 kind, int depth)
{
    if (m_InItem)
        return; // objects do not nest
    const u32 size = CClipItem::kHeadSize + CClipItem::KindDataSize(kind, 0);
    if (!HasRoom(size))
        return;
    m_Item = m_ClipSize;
    auto* item = Construct<CClipItem>(At(m_Item));
    item->Size = size;
    item->Kind = kind;
    item->Name.UpdateHash();
    item->ParentName.UpdateHash();
    u8* data = At(m_Item + CClipItem::kHeadSize);
    switch (kind) {
    case ClipItemPath: Construct<CClipPathData>(data); break;
    case ClipItemImage: Construct<CClipImageData>(data)->ImageName.UpdateHash(); break;
    case ClipItemParticle: Construct<CClipParticleData>(data)->ParticleName.UpdateHash(); break;
    case ClipItemClip: Construct<CClipNestedData>(data)->ClipName.UpdateHash(); break;
    default: {
        auto* text = Construct<CClipTextData>(data);
        text->Font.UpdateHash();
        text->Background.UpdateHash();
        text->Text.UpdateHash();
        break;
    }
    }
    m_Used = std::max(m_Used, m_Item + size);
    m_InItem = true;
    m_ItemDepth = depth;
    m_Record = ERecord::None;
}

bool CClipsBuilder::InsertRoom(u32 offset, u32 bytes)
{
    if (!HasRoom(bytes))
        return false;
    auto* item = reinterpret_cast<CClipItem*>(At(m_Item));
    const u32 end = m_Item + item->Size;
    std::memmove(At(offset + bytes), At(offset), end - offset);
    std::memset(At(offset), 0, bytes);
    item->Size += bytes;
    m_Used = std::max(m_Used, end + bytes);
    return true;
}

void CClipsBuilder::StartRecord(ERecord record, int depth)
{
    if (!m_InItem)
        return;
    auto* item = reinterpret_cast<CClipItem*>(At(m_Item));
    const u32 itemStart = m_Item;
    const auto offsetOf = [itemStart, item](const void* p) {
        return itemStart + static_cast<u32>(static_cast<const u8*>(p) - reinterpret_cast<const u8*>(item));
    };
    // Records go to the end of their own table, whatever the order of the elements, so the
    // tables always follow one another as the layout has them.
    switch (record) {
    case ERecord::KeyPoint: {
        if (item->KeyPointCount == kMaxRecords) {
            core::CLog::Instance().Print(kBuilderChannel, 3, "ClipsLoader - clip can't have more than 255 keypoints, aborting");
            Drop();
            return;
        }
        const u32 at = offsetOf(item->GetKeyPoints() + item->KeyPointCount);
        if (!InsertRoom(at, sizeof(CClipKeyPoint)))
            return;
        Construct<CClipKeyPoint>(At(at));
        m_RecordIndex = item->KeyPointCount++;
        break;
    }
    case ERecord::SoundPoint:
    case ERecord::Marker: {
        const bool sound = record == ERecord::SoundPoint;
        if ((sound ? item->SoundPointCount : item->MarkerCount) == kMaxRecords) {
            core::CLog::Instance().Print(kBuilderChannel, 3, "ClipsLoader - clip can't have more than 255 soundpoints, aborting");
            Drop();
            return;
        }
        const u32 at = sound ? offsetOf(item->GetSoundPoints() + item->SoundPointCount)
                             : offsetOf(item->GetMarkers() + item->MarkerCount);
        if (!InsertRoom(at, sizeof(CClipSoundPoint)))
            return;
        if (sound)
            Construct<CClipSoundPoint>(At(at))->Name.UpdateHash();
        else
            Construct<CClipMarker>(At(at))->Name.UpdateHash();
        m_RecordIndex = sound ? item->SoundPointCount++ : item->MarkerCount++;
        break;
    }
    case ERecord::PathPoint: {
        if (item->Kind != ClipItemPath)
            return; // only paths have points
        auto* data = reinterpret_cast<CClipPathData*>(At(m_Item + CClipItem::kHeadSize));
        if (data->PointCount == kMaxRecords) {
            core::CLog::Instance().Print(kBuilderChannel, 3, "ClipsLoader - path can't have more than 255 points, aborting");
            Drop();
            return;
        }
        const u32 at = m_Item + CClipItem::kHeadSize + 4 + sizeof(CClipPathPoint) * data->PointCount;
        if (!InsertRoom(at, sizeof(CClipPathPoint)))
            return;
        Construct<CClipPathPoint>(At(at));
        m_RecordIndex = data->PointCount++;
        break;
    }
    case ERecord::None: return;
    }
    m_Record = record;
    m_RecordDepth = depth;
}

void CClipsBuilder::EndClip()
{
    // A malformed document may end the clip inside an object: the object counts as ended, or
    // its header would stand where the terminator goes.
    const bool itemOpen = m_InItem;
    m_InClip = false;
    m_InItem = false;
    m_Record = ERecord::None;
    auto* header = reinterpret_cast<CClipHeader*>(At(0));
    if (m_Dropped) {
        core::CLog::Instance().Print(kBuilderChannel, 3, "ClipsLoader - clip '%s' dropped", header->Name.GetText());
        return;
    }
    if (itemOpen)
        m_ClipSize += reinterpret_cast<CClipItem*>(At(m_Item))->Size;
    // HasRoom always kept four bytes for this terminator.
    std::memset(At(m_ClipSize), 0, 4);
    m_ClipSize += 4;
    m_Used = std::max(m_Used, m_ClipSize);
    header->Size = m_ClipSize;
    m_Clips[std::string(header->Name.GetText(), header->Name.GetLength())].assign(At(0), At(m_ClipSize));
}

void CClipsBuilder::SetClipAttribute(const std::string& name, const char* value)
{
    auto* header = reinterpret_cast<CClipHeader*>(At(0));
    if (name == "id")
        AssignName(header->Name, value, "clip name");
    else if (name == "absolute_transform")
        header->Flags = ParseBool(value) ? (header->Flags | CClipHeader::kFlagAbsoluteTransform)
                                         : (header->Flags & ~CClipHeader::kFlagAbsoluteTransform);
    else if (name == "x")
        header->Rect.X = ParseFloat(value);
    else if (name == "y")
        header->Rect.Y = ParseFloat(value);
    else if (name == "w")
        header->Rect.Width = ParseFloat(value);
    else if (name == "h")
        header->Rect.Height = ParseFloat(value);
}

void CClipsBuilder::SetItemAttribute(const std::string& name, const char* value)
{
    auto* item = reinterpret_cast<CClipItem*>(At(m_Item));
    if (name == "id")
        AssignName(item->Name, value, "object name");
    else if (name == "p")
        ScanVector(value, item->Position);
    else if (name == "py")
        ScanQuad(value, item->Corners);
    else if (name == "a")
        item->Angle = ParseFloat(value);
    else if (name == "c")
        item->Color = ParseColor(value);
    else if (name == "flip")
        item->Flip = ParseInt(value);
    else if (name == "uflags")
        item->UserFlags = ParseInt(value);
    else if (name == "at")
        item->AnimMode = ParseInt(value);
    else if (name == "ad")
        item->Reverse = ParseInt(value);
    else if (name == "path")
        AssignName(item->ParentName, value, "path name");
    else if (name == "snap")
        item->Snap = ParseBool(value);
    else if (name == "add_b")
        item->Additive = ParseBool(value);
    else if (name == "vis")
        item->Visible = ParseBool(value);
    else {
        u8* data = At(m_Item + CClipItem::kHeadSize);
        switch (item->Kind) {
        case ClipItemPath:
            if (name == "closed")
                reinterpret_cast<CClipPathData*>(data)->Closed = ParseInt(value) != 0;
            break;
        case ClipItemImage:
            if (name == "i_id")
                AssignName(reinterpret_cast<CClipImageData*>(data)->ImageName, value, "image name");
            break;
        case ClipItemParticle: {
            auto* particle = reinterpret_cast<CClipParticleData*>(data);
            if (name == "p_id")
                AssignName(particle->ParticleName, value, "particle name");
            else if (name == "adv_time")
                particle->AdvanceTime = ParseInt(value);
            else if (name == "fix_emit")
                particle->FixEmit = ParseBool(value);
            else if (name == "scale")
                particle->Scale = ParseBool(value);
            break;
        }
        case ClipItemClip:
            if (name == "clip_id")
                AssignName(reinterpret_cast<CClipNestedData*>(data)->ClipName, value, "clip name");
            break;
        case ClipItemText: {
            auto* text = reinterpret_cast<CClipTextData*>(data);
            if (name == "ft")
                AssignName(text->Font, value, "font name");
            else if (name == "tx_fl")
                text->TextFlags = ParseInt(value);
            else if (name == "bnd")
                ScanRect(value, text->Bounds);
            else if (name == "bk")
                AssignName(text->Background, value, "background name");
            else if (name == "bk_c")
                text->BackgroundColor = ParseColor(value);
            else if (name == "ins")
                ScanRect(value, text->Insets);
            else if (name == "tx")
                AssignName(text->Text, Utf8ToAnsi(value).c_str(), "text");
            break;
        }
        default: break;
        }
    }
}

void CClipsBuilder::SetRecordAttribute(const std::string& name, const char* value)
{
    auto* item = reinterpret_cast<CClipItem*>(At(m_Item));
    switch (m_Record) {
    case ERecord::KeyPoint: {
        auto& key = const_cast<CClipKeyPoint&>(item->GetKeyPoints()[m_RecordIndex]);
        if (name == "t")
            key.Time = ParseInt(value);
        else if (name == "p")
            ScanVector(value, key.Position);
        else if (name == "k")
            key.PathPosition = ParseFloat(value);
        else if (name == "py")
            ScanQuad(value, key.Corners);
        else if (name == "a")
            key.Angle = ParseFloat(value);
        else if (name == "c")
            key.Color = ParseColor(value);
        else if (name == "fl")
            key.MirrorFlags = ParseInt(value);
        else if (name == "cf")
            key.EmitFlags = ParseInt(value);
        else if (name == "itpl")
            key.Interpolate = ParseBool(value);
        break;
    }
    case ERecord::SoundPoint:
    case ERecord::Marker: {
        // Sound points and markers share their layout.
        auto& point = m_Record == ERecord::SoundPoint
                          ? const_cast<CClipSoundPoint&>(item->GetSoundPoints()[m_RecordIndex])
                          : reinterpret_cast<CClipSoundPoint&>(const_cast<CClipMarker&>(item->GetMarkers()[m_RecordIndex]));
        if (name == "k")
            point.KeyTime = ParseInt(value);
        else if (name == "id")
            AssignName(point.Name, value, m_Record == ERecord::SoundPoint ? "sound name" : "marker name");
        break;
    }
    case ERecord::PathPoint: {
        auto& point = const_cast<CClipPathPoint&>(item->GetPathData().GetPoints()[m_RecordIndex]);
        if (name == "p1")
            ScanVector(value, point.P1);
        else if (name == "p2")
            ScanVector(value, point.P2);
        else if (name == "a")
            ScanVector(value, point.Anchor);
        break;
    }
    case ERecord::None: break;
    }
}

std::vector<u8> CClipsBuilder::Build() const
{
    const u32 count = static_cast<u32>(m_Clips.size());
    size_t size = 8 + 100 * static_cast<size_t>(count);
    for (const auto& entry : m_Clips)
        size += entry.second.size();
    std::vector<u8> blob(size, 0);
    const auto put32 = [&blob](size_t at, u32 v) {
        for (int i = 0; i < 4; ++i)
            blob[at + i] = static_cast<u8>(v >> (8 * i));
    };
    put32(0, kMagic);
    put32(4, count);
    // The map's order is the byte order of the names, which is the index order.
    size_t index = 8;
    size_t offset = 8 + 100 * static_cast<size_t>(count);
    for (const auto& [name, record] : m_Clips) {
        CFixedString key(name.data(), name.size());
        key.UpdateHash();
        key.WriteRecord(blob.data() + index);
        put32(index + 96, static_cast<u32>(offset));
        std::memcpy(blob.data() + offset, record.data(), record.size());
        index += 100;
        offset += record.size();
    }
    return blob;
}

} // namespace lv::misc::anim
