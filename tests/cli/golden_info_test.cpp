// Golden tests of `qlx info` against real camera files.
//
// Every file tests/golden/<folder>/<sample>.expected names the sample
// <samples>/<folder>/<sample> and lists lines that the metadata text printed
// for it must hold. The expected values were read from the files with
// independent tools and written in this program's own text formats; how they
// were made, and the file format, are described in tests/golden/README.md.
//
// One test per expectation file, in the suite GoldenInfo (filter with
// --gtest_filter='GoldenInfo.*' or ctest -R GoldenInfo). A test reports every
// mismatch of its sample at once, with the printed text for reference.

#include "support/run_command.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path goldenDir()
{
    return qlx::test::sourceDir() / "tests" / "golden";
}

// The tool under test; QLX_CLI in the environment points the tests at another
// build of it.
std::string cliPath()
{
    if (const char* env = std::getenv("QLX_CLI"); env && *env)
        return env;
    return QLX_CLI_PATH;
}

// ---- expectation files ---------------------------------------------------------

enum class Check {
    Present, // the exact line is in the text
    First,   // "=key<TAB>value": the first line with that key is exactly this one
    Absent,  // "!key": no line has that key; "!key<TAB>value": that exact line is not in the text
};

struct Expectation {
    Check check = Check::Present;
    std::string line; // without its marker
    int lineNumber = 0;
};

struct TrailingBlanks {
    std::string key;
    std::size_t count = 0;
    int lineNumber = 0;
};

struct ExpectationFile {
    std::vector<Expectation> expectations;
    std::vector<TrailingBlanks> blankNotes; // "# <key> ends with N blank(s)" comments
    std::vector<std::string> problems;      // the file itself is malformed
};

std::string keyOf(const std::string& line)
{
    const auto tab = line.find('\t');
    return tab == std::string::npos ? line : line.substr(0, tab);
}

ExpectationFile readExpectations(const fs::path& path)
{
    ExpectationFile file;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        file.problems.push_back("cannot read " + path.string());
        return file;
    }
    static const std::regex blankNote(R"(^#\s*(\S+) ends with (\d+) blank)");
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (line.front() == '#') {
            std::smatch m;
            if (std::regex_search(line, m, blankNote))
                file.blankNotes.push_back({m[1].str(), static_cast<std::size_t>(std::stoul(m[2].str())), number});
            continue;
        }
        Expectation e;
        e.lineNumber = number;
        if (line.front() == '!' || line.front() == '=') {
            e.check = line.front() == '!' ? Check::Absent : Check::First;
            line.erase(0, 1);
        }
        e.line = line;
        if (e.line.empty() || (e.check == Check::First && e.line.find('\t') == std::string::npos))
            file.problems.push_back("line " + std::to_string(number) + " of the expectation file is malformed");
        else
            file.expectations.push_back(std::move(e));
    }
    // An editor that strips trailing blanks would silently change what a line
    // expects; the comment that announces them keeps that visible.
    for (const TrailingBlanks& note : file.blankNotes) {
        const auto it = std::find_if(file.expectations.begin(), file.expectations.end(), [&](const Expectation& e) {
            return e.lineNumber > note.lineNumber && keyOf(e.line) == note.key;
        });
        if (it == file.expectations.end()) {
            file.problems.push_back("line " + std::to_string(note.lineNumber) + ": no " + note.key + " line follows");
            continue;
        }
        const std::size_t end = it->line.find_last_not_of(' ');
        const std::size_t blanks = it->line.size() - (end == std::string::npos ? 0 : end + 1);
        if (blanks != note.count)
            file.problems.push_back("line " + std::to_string(it->lineNumber) + " ends with " + std::to_string(blanks) +
                                    " blank(s), its comment says " + std::to_string(note.count) +
                                    " (trailing blanks lost in an edit?)");
    }
    return file;
}

// Relative paths ("exiftool/Canon.jpg.expected") of all expectation files, sorted.
std::vector<fs::path> expectationFiles()
{
    std::vector<fs::path> files;
    std::error_code ec;
    if (!fs::is_directory(goldenDir(), ec))
        return files;
    for (auto it = fs::recursive_directory_iterator(goldenDir(), ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_regular_file(ec) && it->path().extension() == ".expected")
            files.push_back(fs::relative(it->path(), goldenDir()));
    }
    std::sort(files.begin(), files.end());
    return files;
}

// ---- running qlx -------------------------------------------------------------------

std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

struct InfoRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

InfoRun runInfo(const fs::path& sample)
{
    qlx::test::TempDir dir;
    const fs::path errFile = dir.path() / "stderr";
    const std::string command = shellQuoted(cliPath()) + " info " + shellQuoted(sample.string()) + " 2>" +
                                shellQuoted(errFile.string());
    InfoRun run;
    const auto outcome = qlx::test::runCommand(command);
    run.out = outcome.out;
    run.exitCode = outcome.exitCode;
    std::ifstream errIn(errFile, std::ios::binary);
    std::ostringstream err;
    err << errIn.rdbuf();
    run.err = err.str();
    return run;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The metadata text of the output: the lines after the "== path" line up to
// the "-- record" line. Empty when there is no "== " line.
std::vector<std::string> metadataText(const std::string& output, std::vector<std::string>& problems)
{
    const std::vector<std::string> lines = splitLines(output);
    const auto head = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("== ", 0) == 0; });
    if (head == lines.end()) {
        problems.push_back("no \"== path\" line in the output");
        return {};
    }
    const auto tail = std::find(head + 1, lines.end(), std::string("-- record"));
    if (tail == lines.end())
        problems.push_back("no \"-- record\" line after the \"== path\" line");
    return std::vector<std::string>(head + 1, tail);
}

// A line as a C string literal, tabs and control bytes visible.
std::string shown(const std::string& line)
{
    std::string out = "\"";
    for (unsigned char c : line) {
        if (c == '\t')
            out += "\\t";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + static_cast<char>(c);
        else if (c < 0x20 || c == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else
            out += static_cast<char>(c);
    }
    return out + "\"";
}

// What the text holds instead of an expected line: the lines with its key, or
// for the tab-less orientation line ("FlipI54") the lines starting with "Flip".
std::string nearLines(const std::vector<std::string>& text, const std::string& expected)
{
    const bool flip = expected.find('\t') == std::string::npos && expected.rfind("Flip", 0) == 0;
    const std::string key = flip ? "Flip" : keyOf(expected);
    std::string found;
    for (const std::string& l : text) {
        const bool near = flip ? l.rfind("Flip", 0) == 0 : (keyOf(l) == key && l.find('\t') != std::string::npos);
        if (near)
            found += (found.empty() ? "" : ", ") + shown(l);
    }
    if (found.empty())
        return flip ? "no Flip line" : "no line with key " + shown(key);
    return (flip ? "Flip lines: " : "lines with that key: ") + found;
}

std::vector<std::string> compare(const ExpectationFile& file, const std::vector<std::string>& text)
{
    std::vector<std::string> problems;
    for (const Expectation& e : file.expectations) {
        const std::string where = "line " + std::to_string(e.lineNumber) + ": ";
        switch (e.check) {
        case Check::Present:
            if (std::find(text.begin(), text.end(), e.line) == text.end())
                problems.push_back(where + "missing " + shown(e.line) + " (" + nearLines(text, e.line) + ")");
            break;
        case Check::First: {
            const std::string key = keyOf(e.line);
            const auto first = std::find_if(text.begin(), text.end(), [&](const std::string& l) {
                return keyOf(l) == key && l.find('\t') != std::string::npos;
            });
            if (first == text.end())
                problems.push_back(where + "no " + shown(key) + " line; expected first " + shown(e.line));
            else if (*first != e.line)
                problems.push_back(where + "first " + shown(key) + " line is " + shown(*first) + ", expected " +
                                   shown(e.line));
            break;
        }
        case Check::Absent:
            if (e.line.find('\t') != std::string::npos) {
                if (std::find(text.begin(), text.end(), e.line) != text.end())
                    problems.push_back(where + "unexpected " + shown(e.line));
            } else {
                for (const std::string& l : text) {
                    if (l.find('\t') != std::string::npos && keyOf(l) == e.line)
                        problems.push_back(where + "unexpected key " + shown(e.line) + ": " + shown(l));
                }
            }
            break;
        }
    }
    return problems;
}

// ---- the tests -----------------------------------------------------------------------

void checkSample(const fs::path& relative)
{
    const fs::path samples = qlx::test::samplesDir();
    if (!fs::is_directory(samples))
        GTEST_SKIP() << "samples folder missing: " << samples;

    fs::path sampleRelative = relative;
    sampleRelative.replace_extension(); // "exiftool/Canon.jpg.expected" -> "exiftool/Canon.jpg"
    const fs::path sample = samples / sampleRelative;
    const ExpectationFile file = readExpectations(goldenDir() / relative);

    std::vector<std::string> problems = file.problems;
    std::vector<std::string> text;
    InfoRun run;
    if (!fs::is_regular_file(sample)) {
        problems.push_back("sample missing: " + sample.string());
    } else {
        run = runInfo(sample);
        if (run.exitCode != 0)
            problems.push_back("qlx info exited with " + std::to_string(run.exitCode));
        text = metadataText(run.out, problems);
        const std::vector<std::string> mismatches = compare(file, text);
        problems.insert(problems.end(), mismatches.begin(), mismatches.end());
    }

    std::ostringstream report;
    report << "qlx info " << sampleRelative.string() << ": " << problems.size() << " problem(s) against "
           << relative.string() << " (" << file.expectations.size() << " expectations)\n";
    for (const std::string& p : problems)
        report << "  " << p << "\n";
    if (!problems.empty()) {
        constexpr std::size_t shownLines = 80;
        report << "--- metadata text as printed (" << text.size() << " lines) ---\n";
        for (std::size_t i = 0; i < text.size() && i < shownLines; ++i)
            report << "  " << shown(text[i]) << "\n";
        if (text.size() > shownLines)
            report << "  ...\n";
        if (!run.err.empty())
            report << "--- standard error ---\n" << run.err.substr(0, 2000) << "\n";
    }
    EXPECT_TRUE(problems.empty()) << report.str();
}

// Guards against a moved folder or a broken edit turning the golden tests
// into nothing.
void checkExpectationFiles()
{
    const std::vector<fs::path> files = expectationFiles();
    EXPECT_GE(files.size(), 50u) << "expectation files under " << goldenDir();
    for (const fs::path& relative : files) {
        const ExpectationFile file = readExpectations(goldenDir() / relative);
        EXPECT_TRUE(file.problems.empty()) << relative << ": " << (file.problems.empty() ? "" : file.problems.front());
        EXPECT_FALSE(file.expectations.empty()) << relative << " expects nothing";
    }
}

// All tests of the suite share this fixture; each carries its own body.
class GoldenInfo : public ::testing::Test {
public:
    explicit GoldenInfo(std::function<void()> body) : m_body(std::move(body)) {}
    void TestBody() override { m_body(); }

private:
    std::function<void()> m_body;
};

std::string testName(const fs::path& relative)
{
    std::string name = relative.string();
    const std::string suffix = ".expected";
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        name.erase(name.size() - suffix.size());
    for (char& c : name) {
        const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!keep)
            c = '_';
    }
    return name;
}

// Registered before main runs, so that test discovery lists every sample.
[[maybe_unused]] const bool registered = [] {
    ::testing::RegisterTest("GoldenInfo", "ExpectationFilesAreWellFormed", nullptr, nullptr, __FILE__, __LINE__,
                            []() -> GoldenInfo* { return new GoldenInfo(checkExpectationFiles); });
    for (const fs::path& relative : expectationFiles()) {
        ::testing::RegisterTest("GoldenInfo", testName(relative).c_str(), nullptr, nullptr, __FILE__,
                                __LINE__, [relative]() -> GoldenInfo* {
                                    return new GoldenInfo([relative] { checkSample(relative); });
                                });
    }
    return true;
}();

} // namespace
