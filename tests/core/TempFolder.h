#pragma once
// A fresh folder for one test's files, removed again at the end of the test.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class CTempFolder
{
public:
    CTempFolder()
    {
        const char* root = std::getenv("GAME_TEST_TMP");
        std::filesystem::path base = root && *root ? root : testing::TempDir();
        static std::atomic<unsigned> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
        m_Path = base / (name + "-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_Path);
    }
    ~CTempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_Path, ec);
    }
    const std::filesystem::path& Path() const { return m_Path; }
    std::string operator/(const std::string& name) const { return (m_Path / name).string(); }

    void Write(const std::string& name, const std::string& bytes) const
    {
        std::filesystem::create_directories((m_Path / name).parent_path());
        std::ofstream(m_Path / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(m_Path / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path m_Path;
};
