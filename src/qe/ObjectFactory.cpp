#include "qe/ObjectFactory.h"

#include "core/ByteOrder.h"
#include "qe/AreaObject.h"
#include "qe/ClipObject.h"
#include "qe/GroupObject.h"
#include "qe/ImageObject.h"
#include "qe/VideoObject.h"

namespace qe {

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
    case kRecordArea: return payload + CAreaPolygon::kPayloadHeaderSize + 8 * static_cast<size_t>(lv::core::ReadU32(payload + 20));
    case kRecordGroup: return payload + lv::core::ReadU32(payload);
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
    case kRecordClip:
    {
        auto* object = new CClipObject(scene);
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
