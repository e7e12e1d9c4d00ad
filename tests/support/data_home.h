#pragma once
// XDG_DATA_HOME pointed at a test's folder for the life of the object, so
// that the home trash the program uses is the test's own; the old value
// comes back afterwards.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace qlx::test {

class DataHome {
public:
    explicit DataHome(const std::filesystem::path& folder)
    {
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            m_old = old;
        ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    }
    ~DataHome()
    {
        if (m_old)
            ::setenv("XDG_DATA_HOME", m_old->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }
    DataHome(const DataHome&) = delete;
    DataHome& operator=(const DataHome&) = delete;

private:
    std::optional<std::string> m_old;
};

} // namespace qlx::test
