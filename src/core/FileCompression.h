#pragma once
// gzip compression and decompression of whole files. Both return true only when every read,
// write and close succeeded; on failure a partial destination file may remain.
#include "core/Types.h"

namespace lv::core {

// Compresses the source into a gzip file (level 6).
bool GzipFile(const WChar* source, const WChar* destination);

// Decompresses a gzip file. A source that is not gzip data (an empty file included) or whose
// stream is damaged or cut short fails.
bool GunzipFile(const WChar* source, const WChar* destination);

} // namespace lv::core
