#pragma once
// Which system cursor the platform layer shows: a cursor id, or a cursor name that takes its
// place when set. Copied as a whole.
#include "core/FixedWString.h"
#include "core/Types.h"
#include "platform/WindowMessages.h"

class CSystemCursorSpec
{
public:
    u32 CursorId = IDC_ARROW;
    CFixedWString<28> CursorName;

    bool operator==(const CSystemCursorSpec& o) const
    {
        return CursorId == o.CursorId && CursorName == o.CursorName;
    }
};
