#pragma once
// Helpers for tests of the file system, packs and string table: packs written with the content
// tools into a fresh folder, the process log captured into a file, and the working folder
// switched for the length of a test.
#include "TempFolder.h"
#include "content/PackWriter.h"
#include "core/Log.h"
#include "core/TextConvert.h"

#include <filesystem>
#include <string>
#include <vector>

// Writes the pack image to tmp/name and returns the full path.
inline std::string WritePack(const CTempFolder& tmp, const std::string& name, const lv::content::CPackWriter& writer)
{
    const std::string path = tmp / name;
    EXPECT_TRUE(writer.WriteFile(path));
    return path;
}

inline std::string WriteBytes(const CTempFolder& tmp, const std::string& name, const std::vector<u8>& bytes)
{
    tmp.Write(name, std::string(bytes.begin(), bytes.end()));
    return tmp / name;
}

// Sends the process-wide log to a file in the folder while it lives.
class CLogCapture
{
public:
    explicit CLogCapture(const CTempFolder& tmp) : m_Path(tmp / "capture.lvlog")
    {
        lv::core::CLog::Instance().Open(Utf8ToWide(m_Path).c_str());
    }
    ~CLogCapture() { lv::core::CLog::Instance().Close(); }
    std::string Text() const
    {
        lv::core::CLog::Instance().Flush();
        std::ifstream in(m_Path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool Contains(const std::string& line) const { return Text().find(line) != std::string::npos; }
    size_t Count(const std::string& line) const
    {
        const std::string text = Text();
        size_t n = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
            ++n;
        return n;
    }

private:
    std::string m_Path;
};

// Makes the folder the working folder while it lives.
class CWorkingFolder
{
public:
    explicit CWorkingFolder(const std::filesystem::path& folder) : m_Previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~CWorkingFolder() { std::filesystem::current_path(m_Previous); }

private:
    std::filesystem::path m_Previous;
};
