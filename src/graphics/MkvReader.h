#pragma once
// The byte source mkvparser reads a WebM file through: a whole file on disk, an entry of a
// resource pack (a stream on the pack file with the entry's offset and size), or a memory block.
#include "core/Types.h"

#include <cstdio>

#include <mkvparser/mkvparser.h>

namespace lv::graphics {

class LVMkvReader : public mkvparser::IMkvReader
{
public:
    LVMkvReader() = default;
    ~LVMkvReader() override;
    LVMkvReader(const LVMkvReader&) = delete;
    LVMkvReader& operator=(const LVMkvReader&) = delete;

    // Takes over the stream (closed with the reader): `size` bytes from `offset`. -1 for a null
    // stream or when something is open already.
    int Open(FILE* file, s64 offset, s64 size);
    // The whole file at the path; -1 on any failure.
    int Open(const char* path);
    // A memory block the caller keeps alive.
    int OpenMemory(const u8* data, s64 size);
    void Close();

    // mkvparser's interface (its widths are the platform's long).
    int Read(long long position, long length, unsigned char* buffer) override;
    int Length(long long* total, long long* available) override;

private:
    s64 m_Length = 0;
    FILE* m_File = nullptr;
    s64 m_Base = 0;
    const u8* m_Memory = nullptr;
};

} // namespace lv::graphics
