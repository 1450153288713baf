#pragma once
// Builds resource pack images: the header, the directory sorted by name with each name's stored
// length and hash, and the data blobs, each preceded by its u32 length. Used by the pack builder
// tool, by tests to make their fixtures, and by the demo build.
#include "core/Types.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace lv::content {

class CPackWriter
{
public:
    // Adds one entry under `name` ('\' becomes '/', a leading "./" or "/" is dropped). Fails, with
    // a message in `error`, for an empty name, a name longer than 111 characters or a name already
    // added.
    bool AddFile(const std::string& name, std::vector<u8> data, std::string* error = nullptr);
    bool AddFile(const std::string& name, const std::string& text, std::string* error = nullptr);
    // Adds the language copy of `name` for `languageCode`: the entry "!langs/<code>/<name>".
    bool AddLanguageFile(const std::string& languageCode, const std::string& name, std::vector<u8> data,
                         std::string* error = nullptr);
    // Adds one disk file under `name`.
    bool AddDiskFile(const std::string& name, const std::filesystem::path& file, std::string* error = nullptr);
    // Adds every regular file below `folder`, named by its path relative to the folder with
    // `prefix` in front ("" or a folder name ending in '/'). A "!langs/<code>/" folder inside is
    // packed as it stands, so its files become language copies. Files are added in name order.
    bool AddFolder(const std::filesystem::path& folder, const std::string& prefix = "",
                   std::string* error = nullptr);

    size_t GetEntryCount() const { return m_Files.size(); }
    // The finished pack image.
    std::vector<u8> Build() const;
    // Writes the image to `file`; false with a message when that fails or the image would not fit
    // the format's 32-bit sizes.
    bool WriteFile(const std::filesystem::path& file, std::string* error = nullptr) const;

    // The name as it will be stored, or "" when it cannot be stored.
    static std::string NormalizeName(const std::string& name);

private:
    // Ordered by unsigned byte comparison, the directory's order.
    struct CByteOrder
    {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    std::map<std::string, std::vector<u8>, CByteOrder> m_Files;
};

// Reads a whole disk file; false when it cannot be read.
bool ReadDiskFile(const std::filesystem::path& file, std::vector<u8>& out);
// Writes bytes to a disk file, replacing it; false when that fails.
bool WriteDiskFile(const std::filesystem::path& file, const std::vector<u8>& data);

} // namespace lv::content
