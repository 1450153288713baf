#include "core/FileUtils.h"

#include "core/PathUtils.h"
#include "core/TextConvert.h"
#include "platform/Files.h"

#include <algorithm>
#include <string>

namespace lv::core {

namespace {

WStringView View(const WChar* text)
{
    return text ? WStringView(text, WideLength(text)) : WStringView();
}

// Simple upper-case folding of ASCII and Latin-1 letters, enough for the names of data files.
WChar FoldCase(WChar c)
{
    if (c >= u'a' && c <= u'z')
        return static_cast<WChar>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<WChar>(c - 32);
    return c;
}

// Case-insensitive order first (as an NTFS folder lists its names), then exact order so that
// names differing only in case still sort the same way everywhere.
bool NameLess(const WString& a, const WString& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const WChar x = FoldCase(a[i]);
        const WChar y = FoldCase(b[i]);
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

bool GlobMatch(WStringView name, WStringView mask)
{
    // Iterative '*' matching with one back-tracking point.
    size_t n = 0, m = 0;
    size_t starMask = WStringView::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == u'*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == u'?' || FoldCase(mask[m]) == FoldCase(name[n]))) {
            ++m;
            ++n;
        } else if (starMask != WStringView::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*')
        ++m;
    return m == mask.size();
}

struct SFolderEntry
{
    WString Name;
    std::string Utf8Name;
    bool IsDirectory;
};

// The entries of a folder sorted by name; empty when it cannot be read.
std::vector<SFolderEntry> ReadFolder(const std::string& folder)
{
    std::vector<lv::platform::SDirEntry> raw;
    lv::platform::ReadDirectory(folder.empty() ? "." : folder.c_str(), raw);
    std::vector<SFolderEntry> entries;
    entries.reserve(raw.size());
    for (auto& e : raw)
        entries.push_back({Utf8ToWide(e.Name), std::move(e.Name), e.IsDirectory});
    std::sort(entries.begin(), entries.end(),
              [](const SFolderEntry& a, const SFolderEntry& b) { return NameLess(a.Name, b.Name); });
    return entries;
}

} // namespace

FILE* FileOpenW(const WChar* path, const WChar* mode)
{
    if (!path || !mode)
        return nullptr;
    return lv::platform::OpenFile(PathToUtf8(View(path)).c_str(), WideToUtf8(View(mode)).c_str());
}

FILE* FileOpen(const char* path, const char* mode)
{
    return lv::platform::OpenFile(path, mode);
}

int FileAccessW(const WChar* path, int mode)
{
    return path ? lv::platform::AccessFile(PathToUtf8(View(path)).c_str(), mode) : -1;
}

int FileAccess(const char* path, int mode)
{
    return lv::platform::AccessFile(path, mode);
}

int FileDeleteW(const WChar* path)
{
    return path && lv::platform::RemoveFile(PathToUtf8(View(path)).c_str()) ? 1 : 0;
}

bool FileExistsW(const WChar* path)
{
    return path && lv::platform::PathExists(PathToUtf8(View(path)).c_str());
}

bool FileExists(WStringView path)
{
    return lv::platform::PathExists(PathToUtf8(path).c_str());
}

bool FileRenameW(const WChar* from, const WChar* to)
{
    return from && to &&
           lv::platform::RenameFile(PathToUtf8(View(from)).c_str(), PathToUtf8(View(to)).c_str());
}

bool FileSyncToDisk(FILE* file)
{
    return lv::platform::SyncFile(file);
}

bool GetWorkingDirectory(WChar* buffer)
{
    constexpr size_t kCapacity = 255;
    std::string utf8;
    if (!buffer || !lv::platform::GetCurrentDirectory(utf8))
        return false;
    const WString path = Utf8ToWide(utf8);
    if (path.size() + 1 > kCapacity)
        return false;
    std::copy(path.begin(), path.end(), buffer);
    buffer[path.size()] = 0;
    return true;
}

bool GetWorkingDirectory(WString& path)
{
    std::string utf8;
    if (!lv::platform::GetCurrentDirectory(utf8))
        return false;
    path = Utf8ToWide(utf8);
    return true;
}

bool SetWorkingDirectory(const WChar* path)
{
    return path && lv::platform::SetCurrentDirectory(PathToUtf8(View(path)).c_str());
}

bool CreateDirectories(const WChar* path)
{
    std::string p = PathToUtf8(View(path));
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    if (p.empty())
        return false;
    // Every folder on the way first; the first separator of an absolute path is the root.
    for (size_t at = p.find('/', 1); at != std::string::npos; at = p.find('/', at + 1)) {
        if (p[at - 1] == '/')
            continue;
        if (lv::platform::MakeDirectory(p.substr(0, at).c_str()) == lv::platform::EMakeDirResult::Failed)
            return false;
    }
    return lv::platform::MakeDirectory(p.c_str()) == lv::platform::EMakeDirResult::Created;
}

bool MatchesFileMask(WStringView name, WStringView mask)
{
    if (GlobMatch(name, mask))
        return true;
    if (name.find(u'.') != WStringView::npos)
        return false;
    // A name without an extension matches "stem.*" and "stem." as if it ended in an empty one.
    if (mask.size() >= 2 && mask.substr(mask.size() - 2) == u".*")
        return GlobMatch(name, mask.substr(0, mask.size() - 2));
    if (!mask.empty() && mask.back() == u'.')
        return GlobMatch(name, mask.substr(0, mask.size() - 1));
    return false;
}

void ListFiles(std::vector<WString>& list, const WChar* mask)
{
    WStringView m = View(mask);
    size_t cut = m.find_last_of(u"/\\");
    // The folder as the caller wrote it, separator included, so every result keeps its form.
    WString folder = cut == WStringView::npos ? WString() : WString(m.substr(0, cut + 1));
    std::replace(folder.begin(), folder.end(), u'\\', u'/');
    const WStringView pattern = cut == WStringView::npos ? m : m.substr(cut + 1);
    if (pattern.empty())
        return;
    for (const auto& e : ReadFolder(PathToUtf8(folder))) {
        // A name that is not UTF-8 could not be opened again through its wide form.
        if (MatchesFileMask(e.Name, pattern) && WideToUtf8(e.Name) == e.Utf8Name)
            list.push_back(folder + e.Name);
    }
}

void ListFilesNarrow(std::vector<WString>& list, const char* mask)
{
    if (mask)
        ListFiles(list, ToWide(mask).c_str());
}

void EnumerateDiskFiles(const char* prefix, DiskFileCallback callback, void* userData)
{
    if (!prefix || !*prefix || !callback)
        return;
    std::string folder = lv::platform::ToSystemPath(prefix);
    if (folder.back() != '/')
        folder += '/';
    for (const auto& e : ReadFolder(folder)) {
        if (!e.IsDirectory)
            callback(userData, (folder + e.Utf8Name).c_str());
    }
}

} // namespace lv::core
