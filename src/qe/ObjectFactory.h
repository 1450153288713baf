#pragma once
// Objects from their records in the quest data image, by the record's kind.
#include "core/Types.h"

namespace qe {

class CScene;
class CSceneObject;

// Record kinds of the quest data image (they differ from the objects' type ids).
enum EObjectRecordKind : u16
{
    kRecordOther = 0,
    kRecordGroup = 1,
    kRecordArea = 2,
    kRecordImage = 3,
    kRecordClip = 4,
    kRecordVideo = 5,
};

u16 GetRecordKind(const u8* record);
// The first byte after a record (header, hint, payload and, for groups, the children).
const u8* GetRecordEnd(const u8* record);
// A new object of the record's kind, owned by the caller. A record with a type name is made by
// the creator registered under that name. Null, with a level-2 log line naming the object, for a
// kind without objects, an unregistered type name or a creator whose object is of another kind.
CSceneObject* CreateObjectFromRecord(CScene* scene, const u8* record);

// Creators of custom object classes (derived from the kind's built-in class), by type name.
using CustomObjectCreator = CSceneObject* (*)(CScene* scene);
void RegisterCustomObjectType(const char* typeName, CustomObjectCreator creator);
void UnregisterCustomObjectType(const char* typeName);

} // namespace qe
