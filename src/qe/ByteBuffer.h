#pragma once
// The owner of a save's bytes: allocated once with the total state size, cleared and refilled
// at every save. Save operations receive it as its writer.
#include "qe/BinaryWriter.h"

namespace qe {

class CByteBuffer : public CBinaryWriter
{
public:
    CByteBuffer() = default;
    ~CByteBuffer();

    // New zeroed storage of `size` bytes; the length stays (call it on a new or cleared buffer).
    // A negative size gives no storage.
    void Allocate(s32 size);
    // Rewinds for the next save; storage, capacity and the bytes already there stay.
    void Clear();
    // Exchanges storage, capacity, length and overflow flag with the other buffer.
    void Swap(CByteBuffer& other);
};

} // namespace qe
