#include "core/PathUtils.h"

#include "core/TextConvert.h"

#include <algorithm>

namespace lv::core {

namespace {

WStringView View(const WChar* text)
{
    return text ? WStringView(text, WideLength(text)) : WStringView();
}

void UseForwardSlashes(WString& path)
{
    std::replace(path.begin(), path.end(), u'\\', u'/');
}

WString Combine(WStringView folder, WStringView file)
{
    WString result;
    if (folder.empty() || (!file.empty() && IsPathSeparator(file.front()))) {
        result = file;
    } else if (file.empty()) {
        result = folder;
    } else {
        result.reserve(folder.size() + 1 + file.size());
        result = folder;
        if (!IsPathSeparator(result.back()))
            result.push_back(u'/');
        result += file;
    }
    UseForwardSlashes(result);
    return result;
}

WStringView SkipLeadingSeparators(WStringView text)
{
    while (!text.empty() && IsPathSeparator(text.front()))
        text.remove_prefix(1);
    return text;
}

} // namespace

std::string PathToUtf8(WStringView path)
{
    std::string s = WideToUtf8(path);
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

WChar* CombinePath(WChar* out, const WChar* folder, const WChar* file)
{
    if (!out)
        return nullptr;
    if (!folder && !file) {
        out[0] = 0;
        return nullptr;
    }
    const WString result = Combine(View(folder), View(file));
    if (result.size() >= kMaxPath) {
        out[0] = 0;
        return nullptr;
    }
    std::copy(result.begin(), result.end(), out);
    out[result.size()] = 0;
    return out;
}

bool IsRelativePath(const WChar* path)
{
    return !path || !IsPathSeparator(path[0]);
}

bool AppendPath(WChar* path, const WChar* more)
{
    if (!path || !more)
        return false;
    const WString result = Combine(View(path), SkipLeadingSeparators(View(more)));
    if (result.size() >= kMaxPath)
        return false;
    std::copy(result.begin(), result.end(), path);
    path[result.size()] = 0;
    return true;
}

const WChar* FindExtension(const WChar* path)
{
    if (!path)
        return nullptr;
    const WChar* dot = nullptr;
    const WChar* p = path;
    for (; *p; ++p) {
        if (IsPathSeparator(*p) || *p == u' ')
            dot = nullptr;
        else if (*p == u'.')
            dot = p;
    }
    return dot ? dot : p;
}

const WChar* FindFileName(const WChar* path)
{
    if (!path)
        return nullptr;
    const WChar* name = path;
    for (const WChar* p = path; *p; ++p) {
        if (IsPathSeparator(p[0]) && p[1] && !IsPathSeparator(p[1]))
            name = p + 1;
    }
    return name;
}

bool RemoveLastPathComponent(WChar* path)
{
    if (!path)
        return false;
    const size_t n = WideLength(path);
    if (n <= 1)
        return false;
    bool sawName = false;
    for (size_t i = n - 1; i >= 1; --i) {
        if (IsPathSeparator(path[i])) {
            if (!sawName)
                return false;
            path[i] = 0;
            return true;
        }
        sawName = true;
    }
    // Only the first character is left: a separator there is the root, not a component end.
    path[0] = 0;
    return true;
}

WString JoinPath(WStringView folder, WStringView name)
{
    return Combine(folder, SkipLeadingSeparators(name));
}

} // namespace lv::core
