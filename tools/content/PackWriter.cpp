#include "content/PackWriter.h"
#include "core/ByteOrder.h"

#include "core/FixedString.h"
#include "core/PackDirectory.h"

#include <algorithm>
#include <cstring>
#include <fstream>

using lv::core::PutU32;
using lv::core::PutU16;

namespace lv::content {

namespace {

bool SetError(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool CPackWriter::CByteOrder::operator()(const std::string& a, const std::string& b) const
{
    return std::strcmp(a.c_str(), b.c_str()) < 0;
}

std::string CPackWriter::NormalizeName(const std::string& name)
{
    std::string n = name;
    std::replace(n.begin(), n.end(), '\\', '/');
    while (n.rfind("./", 0) == 0)
        n.erase(0, 2);
    while (!n.empty() && n[0] == '/')
        n.erase(0, 1);
    if (n.empty() || n.size() > core::PackMaxNameLength || n.find('\0') != std::string::npos)
        return {};
    return n;
}

bool CPackWriter::AddFile(const std::string& name, std::vector<u8> data, std::string* error)
{
    const std::string n = NormalizeName(name);
    if (n.empty())
        return SetError(error, "cannot store the name \"" + name + "\" (empty or longer than 111 characters)");
    if (!m_Files.emplace(n, std::move(data)).second)
        return SetError(error, "the name \"" + n + "\" is already in the pack");
    return true;
}

bool CPackWriter::AddFile(const std::string& name, const std::string& text, std::string* error)
{
    return AddFile(name, std::vector<u8>(text.begin(), text.end()), error);
}

bool CPackWriter::AddLanguageFile(const std::string& languageCode, const std::string& name, std::vector<u8> data,
                                  std::string* error)
{
    if (languageCode.empty() || languageCode.find('/') != std::string::npos)
        return SetError(error, "invalid language code \"" + languageCode + "\"");
    return AddFile(std::string(core::PackLanguageFolder) + "/" + languageCode + "/" + NormalizeName(name),
                   std::move(data), error);
}

bool CPackWriter::AddDiskFile(const std::string& name, const std::filesystem::path& file, std::string* error)
{
    std::vector<u8> data;
    if (!ReadDiskFile(file, data))
        return SetError(error, "cannot read " + file.string());
    return AddFile(name, std::move(data), error);
}

bool CPackWriter::AddFolder(const std::filesystem::path& folder, const std::string& prefix, std::string* error)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        return SetError(error, folder.string() + " is not a folder");
    std::vector<std::string> names;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file(ec))
            names.push_back(std::filesystem::relative(it->path(), folder, ec).generic_string());
    }
    if (ec)
        return SetError(error, "cannot list " + folder.string() + ": " + ec.message());
    std::sort(names.begin(), names.end());
    for (const auto& n : names) {
        if (!AddDiskFile(prefix + n, folder / n, error))
            return false;
    }
    return true;
}

std::vector<u8> CPackWriter::Build() const
{
    const size_t count = m_Files.size();
    const size_t directoryEnd = core::PackHeaderSize + count * core::PackEntrySize;
    size_t total = directoryEnd;
    for (const auto& [name, data] : m_Files)
        total = ((total + 3) & ~size_t(3)) + 4 + data.size();

    std::vector<u8> out(total, 0);
    PutU32(out, 0, core::PackMagic);
    PutU32(out, 4, static_cast<u32>(count));
    PutU32(out, 8, static_cast<u32>(total));

    size_t entry = core::PackHeaderSize;
    size_t position = directoryEnd;
    for (const auto& [name, data] : m_Files) {
        position = (position + 3) & ~size_t(3); // keeps every blob 4-byte aligned
        PutU32(out, position, static_cast<u32>(data.size()));
        const size_t offset = position + 4;
        if (!data.empty())
            std::memcpy(out.data() + offset, data.data(), data.size());
        position = offset + data.size();

        PutU16(out, entry + 0, static_cast<u16>(name.size()));
        PutU16(out, entry + 2, static_cast<u16>(core::PackNameCapacity));
        PutU16(out, entry + 4, FixedStringHash(name.data(), static_cast<u32>(name.size())));
        std::memcpy(out.data() + entry + core::PackNameOffset, name.data(), name.size());
        PutU32(out, entry + 120, static_cast<u32>(data.size()));
        PutU32(out, entry + 124, static_cast<u32>(offset));
        entry += core::PackEntrySize;
    }
    return out;
}

bool CPackWriter::WriteFile(const std::filesystem::path& file, std::string* error) const
{
    const std::vector<u8> image = Build();
    if (image.size() > 0xFFFFFFFFu)
        return SetError(error, "the pack would be larger than 4 GiB");
    if (!WriteDiskFile(file, image))
        return SetError(error, "cannot write " + file.string());
    return true;
}

bool ReadDiskFile(const std::filesystem::path& file, std::vector<u8>& out)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteDiskFile(const std::filesystem::path& file, const std::vector<u8>& data)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    out.close();
    return !out.fail();
}

} // namespace lv::content
