#pragma once
// Path text operations. Both '/' and '\' are separators on input (data from Windows uses '\');
// every path these functions build uses '/'. A path is absolute when it starts with a
// separator. Nothing here touches the file system.
#include "core/Types.h"

#include <string>

namespace lv::core {

// Capacity in characters, terminating NUL included, of the path buffers below.
constexpr size_t kMaxPath = 260;

inline bool IsPathSeparator(WChar c)
{
    return c == u'/' || c == u'\\';
}

// The UTF-8 form of a wide path with '/' separators, as the system takes it.
std::string PathToUtf8(WStringView path);

// Joins folder and file with one '/' into out (kMaxPath characters; may be the folder's own
// buffer). An empty folder or an absolute file gives the file; an empty file gives the folder.
// Returns out, or null (with out emptied) when both are null or the result does not fit.
WChar* CombinePath(WChar* out, const WChar* folder, const WChar* file);

// True for a path that does not start with a separator (also for an empty one).
bool IsRelativePath(const WChar* path);

// Appends more to the path in its kMaxPath buffer with one '/' between them; leading
// separators of more are skipped. False, leaving the path unchanged, when it would not fit.
bool AppendPath(WChar* path, const WChar* more);

// The last '.' of the file name, or the terminating NUL when the name has no extension (a
// separator or a blank after the '.' cancels it).
const WChar* FindExtension(const WChar* path);

// The start of the last component; a trailing separator is not a component ("a/b/" gives "b/").
const WChar* FindFileName(const WChar* path);

// Cuts the last component and its separator in place: "a/b/c" becomes "a/b", a text without
// a separator (or with one only at its start) becomes empty. A text ending in a separator or of
// at most one character is left alone and the result is false.
bool RemoveLastPathComponent(WChar* path);

// folder + '/' + name as AppendPath joins them, with no length limit.
WString JoinPath(WStringView folder, WStringView name);

} // namespace lv::core
