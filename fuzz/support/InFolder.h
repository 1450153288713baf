#pragma once
// Makes a fixture's folder the working folder while one input runs. The fuzzer's own corpus
// paths may be relative, so the previous folder comes back after the input, without throwing.
#include <filesystem>
#include <system_error>

namespace fuzzsupport {

class CInFolder
{
public:
    explicit CInFolder(const std::filesystem::path& folder) : m_Previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~CInFolder()
    {
        std::error_code error;
        std::filesystem::current_path(m_Previous, error);
    }
    CInFolder(const CInFolder&) = delete;
    CInFolder& operator=(const CInFolder&) = delete;

private:
    std::filesystem::path m_Previous;
};

} // namespace fuzzsupport
