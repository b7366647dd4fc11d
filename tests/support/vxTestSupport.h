#pragma once

// Helpers shared by the tests: temporary folders and files, CR LF text,
// commands, the German locale.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <locale>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace vxTest {

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
  public:
    TempDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kolbrik-test-XXXXXX").string();
        char* p = ::mkdtemp(tmpl.data());
        m_path = p ? p : tmpl;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

  private:
    std::string m_path;
};

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// The names in a folder (not below it).
inline std::set<std::string> entries(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

// Joins lines with CR LF and ends the text with CR LF.
inline std::string crlf(std::initializer_list<std::string> lines)
{
    std::string s;
    for (const auto& l : lines)
        s += l + "\r\n";
    return s;
}

// Runs a shell command; its exit status and what it wrote (stdout and
// stderr together).
struct CommandResult {
    int status = -1;
    std::string out;
};

inline CommandResult runCommand(const std::string& command)
{
    CommandResult r;
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

// What admesh reports of an STL file where it differs from the expected
// numbers ("Number of parts", "Backwards edges", ...; below 0: any): a line
// each, then the report; empty when all are as expected.
inline std::string admeshDiffers(const std::string& path,
                                 std::initializer_list<std::pair<std::string, long long>> expected)
{
    const CommandResult r = runCommand("admesh '" + path + "'");
    std::string faults = r.status == 0 ? "" : "admesh failed\n";
    for (const auto& [field, want] : expected) {
        const std::size_t at = r.out.find(field + " ");
        const std::size_t colon = at == std::string::npos ? at : r.out.find(':', at);
        if (colon == std::string::npos || (want >= 0 && std::atoll(r.out.c_str() + colon + 1) != want))
            faults += field + " is not " + std::to_string(want) + "\n";
    }
    return faults.empty() ? "" : faults + r.out;
}

#ifdef KOLBRIK_CLI
// The command-line tool with these arguments; prefix goes before it (an
// environment, a wrapper).
inline CommandResult runCli(const std::string& args, const std::string& prefix = "")
{
    return runCommand(prefix + "'" KOLBRIK_CLI "' " + args);
}
#endif

// The C and C++ locales switched to German (a comma as the decimal
// separator) for the life of the object; ok tells whether the locale exists
// (scripts/deps.sh generates it, so a test fails without it).
class GermanLocale {
  public:
    GermanLocale() : m_old(std::setlocale(LC_ALL, nullptr))
    {
        ok = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        if (ok)
            std::locale::global(std::locale("de_DE.UTF-8"));
    }
    ~GermanLocale()
    {
        std::setlocale(LC_ALL, m_old.c_str());
        std::locale::global(std::locale::classic());
    }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;
    bool ok = false;

  private:
    std::string m_old;
};

} // namespace vxTest
