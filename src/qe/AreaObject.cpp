#include "qe/AreaObject.h"

namespace qe {

void CAreaObject::InitFromRecord(const u8* record)
{
    SetRecord(record);
    SetPayload(record ? GetPayloadOf(record) : nullptr);
}

} // namespace qe
