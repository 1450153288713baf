#include "qe/ObjectFactory.h"

#include "qe/AreaObject.h"
#include "qe/GroupObject.h"
#include "qe/ImageObject.h"
#include "qe/VideoObject.h"

namespace qe {

namespace {

u32 Read32(const u8* p)
{
    return static_cast<u32>(p[0]) | (static_cast<u32>(p[1]) << 8) | (static_cast<u32>(p[2]) << 16) |
           (static_cast<u32>(p[3]) << 24);
}

} // namespace

u16 GetRecordKind(const u8* record)
{
    return static_cast<u16>(record[210] | (record[211] << 8));
}

const u8* GetRecordEnd(const u8* record)
{
    const u8* payload = CSceneObject::GetPayloadOf(record);
    switch (GetRecordKind(record))
    {
    case kRecordImage:
    case kRecordClip: return payload + 128;
    case kRecordVideo: return payload + 228;
    case kRecordArea: return payload + CAreaPolygon::kPayloadHeaderSize + 8 * static_cast<size_t>(Read32(payload + 20));
    case kRecordGroup: return payload + Read32(payload);
    default: return payload;
    }
}

CSceneObject* CreateObjectFromRecord(CScene* scene, const u8* record)
{
    switch (GetRecordKind(record))
    {
    case kRecordImage:
    {
        auto* object = new CImageObject(scene);
        object->InitFromRecord(record);
        return object;
    }
    case kRecordArea:
    {
        auto* object = new CAreaObject(scene);
        object->InitFromRecord(record);
        return object;
    }
    case kRecordGroup:
    {
        auto* object = new CGroupObject(scene);
        object->InitFromRecord(record);
        return object;
    }
    case kRecordVideo:
    {
        auto* object = new CVideoObject(scene);
        object->InitFromRecord(record);
        return object;
    }
    default: return nullptr;
    }
}

} // namespace qe
