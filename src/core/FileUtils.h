#pragma once
// Files and folders: opening, testing, deleting, creating folders, the working directory and
// two folder listings. Wide paths are used for the user's data folder, narrow (UTF-8) paths for
// files beside the program. Both '/' and '\' work as separators.
#include "core/Types.h"

#include <cstdio>
#include <vector>

namespace lv::core {

// Opens a stdio stream with the runtime's modes; null on failure. Without 'b' the stream is in
// text mode and writes each "\n" as CR LF.
FILE* FileOpenW(const WChar* path, const WChar* mode);
FILE* FileOpen(const char* path, const char* mode);

// 0 when the path exists with that access (0 existence, 2 write, 4 read, 6 both), -1 otherwise.
int FileAccessW(const WChar* path, int mode);
int FileAccess(const char* path, int mode);

// Deletes a file; non-zero on success.
int FileDeleteW(const WChar* path);

// True when a file or folder exists at the path.
bool FileExistsW(const WChar* path);
bool FileExists(WStringView path);

// Renames a file, replacing the target; true on success.
bool FileRenameW(const WChar* from, const WChar* to);

// Flushes the stream and puts its data on disk; false on any error.
bool FileSyncToDisk(FILE* file);

// The current directory in a buffer of 255 characters; false when it cannot be read or does
// not fit.
bool GetWorkingDirectory(WChar* buffer);
// The current directory at any length; false when it cannot be read.
bool GetWorkingDirectory(WString& path);
bool SetWorkingDirectory(const WChar* path);

// Creates the folder and every missing folder on the way. True only when this call created
// the folder itself, so false also when it already existed.
bool CreateDirectories(const WChar* path);

// Windows file-mask matching, case-insensitive: '*' any run, '?' one character, and a mask
// ending in ".*" or "." also matches a name without a dot ("*.*" matches every name).
bool MatchesFileMask(WStringView name, WStringView mask);

// Appends the folder of the mask followed by each name in that folder that matches the mask's
// last component (files and folders alike), sorted by name so that every machine gives the same
// order. A mask that matches nothing leaves the list unchanged.
void ListFiles(std::vector<WString>& list, const WChar* mask);
void ListFilesNarrow(std::vector<WString>& list, const char* mask);

using DiskFileCallback = void (*)(void* userData, const char* path);

// Calls back with prefix + name for every file (never a subfolder) in the folder that the prefix
// names, sorted by name. A '/' is appended to a prefix that does not end in a separator; an
// empty prefix reports nothing.
void EnumerateDiskFiles(const char* prefix, DiskFileCallback callback, void* userData);

} // namespace lv::core
