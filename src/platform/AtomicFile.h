#pragma once
// Replacing a file's content so that a failure at any point leaves the old file as it was.
#include "core/Types.h"

#include <cstddef>

namespace lv::platform {

enum class EAtomicWriteResult
{
    Ok,
    // The temporary file beside the target could not be created.
    OpenFailed,
    // Writing, flushing, closing or renaming failed; the target is untouched.
    WriteFailed,
};

// Writes the bytes to a temporary file in the target's folder, checks every write and the
// close, flushes it to disk and renames it over the target. An existing target keeps its
// permission bits. Path is UTF-8; '\' works as a separator.
EAtomicWriteResult WriteFileAtomically(const char* path, const void* data, size_t size);

// Tests only: makes writes fail once this many bytes have gone into one file (WriteFileAtomically
// or CAtomicFileWriter);
// a negative value switches the fault off.
void SetAtomicWriteFailAfter(s64 bytes);

} // namespace lv::platform
