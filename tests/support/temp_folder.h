#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace pravenor::test {

// A fresh, empty folder for one test, removed with everything in it afterwards (permissions
// a test took away are given back first, so that removal cannot fail on them).
class TempFolder
{
public:
    TempFolder()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string stem = std::string("pravenor-") + (info ? info->name() : "test") + "-";
        std::replace(stem.begin(), stem.end(), '/',
                     '_'); // parameterised tests have '/' in their names
        std::random_device random;
        for (;;) {
            const auto path = std::filesystem::temp_directory_path() /
                              (stem + std::to_string(random()) + std::to_string(random()));
            if (std::filesystem::create_directory(path)) {
                m_path = path;
                return;
            }
        }
    }
    ~TempFolder()
    {
        std::error_code error;
        namespace fs = std::filesystem;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, error);
        for (auto it = fs::recursive_directory_iterator(m_path, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(m_path, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

    static void write(const std::filesystem::path& file, std::string_view bytes)
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(out.good()) << file;
    }
    static std::string read(const std::filesystem::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The names in the folder, to prove that nothing else was left behind.
    std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            result.push_back(entry.path().filename().string());
        std::sort(result.begin(), result.end());
        return result;
    }

private:
    std::filesystem::path m_path;
};

} // namespace pravenor::test
