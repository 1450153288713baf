#include "qe/ObjectFactory.h"

#include "core/ByteOrder.h"
#include "qe/AreaObject.h"
#include "qe/ClipObject.h"
#include "qe/GroupObject.h"
#include "qe/ImageObject.h"
#include "qe/VideoObject.h"

#include "core/Log.h"

#include <map>
#include <string>

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

namespace {

std::map<std::string, CustomObjectCreator>& CustomObjectTypes()
{
    static std::map<std::string, CustomObjectCreator> types;
    return types;
}

CSceneObject* NewBuiltInObject(CScene* scene, u16 kind)
{
    switch (kind)
    {
    case kRecordImage: return new CImageObject(scene);
    case kRecordArea: return new CAreaObject(scene);
    case kRecordGroup: return new CGroupObject(scene);
    case kRecordClip: return new CClipObject(scene);
    case kRecordVideo: return new CVideoObject(scene);
    default: return nullptr;
    }
}

// The record's initialiser of its kind; false when the object is not of the kind's class.
bool InitObject(CSceneObject* object, u16 kind, const u8* record)
{
    switch (kind)
    {
    case kRecordImage:
        if (auto* image = dynamic_cast<CImageObject*>(object))
            return image->InitFromRecord(record), true;
        return false;
    case kRecordArea:
        if (auto* area = dynamic_cast<CAreaObject*>(object))
            return area->InitFromRecord(record), true;
        return false;
    case kRecordGroup:
        if (auto* group = dynamic_cast<CGroupObject*>(object))
            return group->InitFromRecord(record), true;
        return false;
    case kRecordClip:
        if (auto* clip = dynamic_cast<CClipObject*>(object))
            return clip->InitFromRecord(record), true;
        return false;
    case kRecordVideo:
        if (auto* video = dynamic_cast<CVideoObject*>(object))
            return video->InitFromRecord(record), true;
        return false;
    default: return false;
    }
}

} // namespace

void RegisterCustomObjectType(const char* typeName, CustomObjectCreator creator)
{
    if (typeName && *typeName && creator)
        CustomObjectTypes()[typeName] = creator;
}

void UnregisterCustomObjectType(const char* typeName)
{
    if (typeName)
        CustomObjectTypes().erase(typeName);
}

CSceneObject* CreateObjectFromRecord(CScene* scene, const u8* record)
{
    const u16 kind = GetRecordKind(record);
    // Names of a checked image are terminated within their 88 characters.
    const char* name = reinterpret_cast<const char*>(record + 8);
    const char* typeName = reinterpret_cast<const char*>(record + 96 + 8);
    CSceneObject* object = nullptr;
    if (!*typeName)
    {
        object = NewBuiltInObject(scene, kind);
        if (!object)
        {
            lv::core::CLog::Instance().Print("qe", 2, "Object '%s' has no kind of scene object (%u); skipped.", name,
                                             static_cast<unsigned>(kind));
            return nullptr;
        }
    }
    else
    {
        const auto& types = CustomObjectTypes();
        const auto it = types.find(typeName);
        if (it == types.end())
        {
            lv::core::CLog::Instance().Print("qe", 2, "Object '%s' has the unregistered type '%s'; skipped.", name,
                                             typeName);
            return nullptr;
        }
        object = it->second(scene);
    }
    if (!InitObject(object, kind, record))
    {
        lv::core::CLog::Instance().Print("qe", 2, "Object '%s' of type '%s' is not of its record's kind; skipped.", name,
                                         typeName);
        delete object;
        return nullptr;
    }
    return object;
}

} // namespace qe
