#pragma once
// Whole files mapped read-only into memory, for loaders that read a file from disk in one
// piece. At most kMaxMappedFiles mappings exist at once; when all are in use, mapping fails
// as for a missing file. An empty file cannot be mapped.
#include "core/Types.h"

namespace lv::core {

constexpr size_t kMaxMappedFiles = 256;

// A read-only view of the whole file and its size (when size is not null), or null.
const void* MapFileReadOnlyA(const char* path, u32* size);
const void* MapFileReadOnly(const WChar* path, u32* size);

// Releases the mapping that holds the view; a pointer held by no mapping is ignored.
void UnmapFile(const void* view);

// The size of the mapping that holds the view; 0 for a pointer held by no mapping.
u32 GetMappedFileSize(const void* view);

} // namespace lv::core
