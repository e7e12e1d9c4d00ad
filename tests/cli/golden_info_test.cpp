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

#include "cli/qlx_runner.h"
#include "support/samples_gtest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace qlx::test;

fs::path goldenDir() { return sourceDir() / "tests" / "golden"; }

// One line of an expectation file: ' ' "key<TAB>value" is in the text, '='
// the first line with that key is exactly this, '!' no line has this key
// (or, with a value, this exact line is not in the text).
struct Expectation {
    char check = ' ';
    std::string line; // without its marker
    int lineNumber = 0;
};

struct ExpectationFile {
    std::vector<Expectation> expectations;
    std::vector<std::string> problems; // the file itself is malformed
};

std::string keyOf(const std::string& line) { return line.substr(0, line.find('\t')); }

ExpectationFile readExpectations(const fs::path& path)
{
    ExpectationFile file;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        file.problems.push_back("cannot read " + path.string());
    // "# <key> ends with N blank(s)": an editor that strips trailing blanks
    // would silently change what the next line with that key expects.
    static const std::regex blankNote(R"(^#\s*(\S+) ends with (\d+) blank)");
    std::vector<std::pair<std::string, std::size_t>> notes;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.ends_with('\r'))
            line.pop_back();
        std::smatch match;
        if (line.starts_with('#') && std::regex_search(line, match, blankNote))
            notes.emplace_back(match[1].str(), std::stoul(match[2].str()));
        if (line.empty() || line.starts_with('#'))
            continue;
        const char check = line[0] == '!' || line[0] == '=' ? line[0] : ' ';
        const Expectation e{check, check == ' ' ? line : line.substr(1), number};
        const std::string where = "line " + std::to_string(number) + ": ";
        if (e.line.empty() || (check == '=' && e.line.find('\t') == std::string::npos)) {
            file.problems.push_back(where + "malformed");
            continue;
        }
        if (const auto note = std::ranges::find(notes, keyOf(e.line), &std::pair<std::string, std::size_t>::first);
            note != notes.end()) {
            const std::size_t blanks = e.line.size() - (e.line.find_last_not_of(' ') + 1);
            if (blanks != note->second)
                file.problems.push_back(where + "ends with " + std::to_string(blanks) + " blank(s), its comment says " +
                                        std::to_string(note->second) + " (trailing blanks lost in an edit?)");
            notes.erase(note);
        }
        file.expectations.push_back(e);
    }
    for (const auto& note : notes)
        file.problems.push_back("no " + note.first + " line follows the comment on its trailing blanks");
    return file;
}

// Relative paths ("exiftool/Canon.jpg.expected") of all expectation files, sorted.
std::vector<fs::path> expectationFiles()
{
    std::vector<fs::path> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(goldenDir(), error); !error && it != fs::recursive_directory_iterator();
         it.increment(error))
        if (it->path().extension() == ".expected")
            files.push_back(fs::relative(it->path(), goldenDir()));
    std::ranges::sort(files);
    return files;
}

// The metadata text of the output: the lines after the "== path" line up to
// the "-- record" line.
std::vector<std::string> metadataText(const std::string& output)
{
    std::vector<std::string> text;
    std::istringstream in(output);
    bool inText = false;
    for (std::string line; std::getline(in, line) && line != "-- record";) {
        if (inText)
            text.push_back(line);
        inText = inText || line.starts_with("== ");
    }
    return text;
}

// A line as a C string literal, tabs and control bytes visible.
std::string shown(const std::string& line)
{
    std::string out = "\"";
    for (const unsigned char c : line) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", c);
        out += c == '\t' ? "\\t" : c == '"' || c == '\\' ? "\\" + std::string(1, char(c))
                                 : c < 0x20 || c == 0x7F ? std::string(hex) : std::string(1, char(c));
    }
    return out + "\"";
}

std::vector<std::string> mismatches(const ExpectationFile& file, const std::vector<std::string>& text)
{
    std::vector<std::string> problems;
    for (const Expectation& e : file.expectations) {
        const std::string where = "line " + std::to_string(e.lineNumber) + ": ";
        const bool present = std::ranges::find(text, e.line) != text.end();
        // The lines with the expectation's key ("Flip..." for the tab-less orientation line).
        const bool flip = e.line.starts_with("Flip") && e.line.find('\t') == std::string::npos;
        std::vector<std::string> alike;
        for (const std::string& l : text)
            if (flip ? l.starts_with("Flip") : l.find('\t') != std::string::npos && keyOf(l) == keyOf(e.line))
                alike.push_back(shown(l));
        const std::string seen = alike.empty() ? "none" : alike.front() + (alike.size() > 1 ? ", ..." : "");
        if (e.check == ' ' && !present)
            problems.push_back(where + "missing " + shown(e.line) + "; lines with its key: " + seen);
        else if (e.check == '=' && (alike.empty() || alike.front() != shown(e.line)))
            problems.push_back(where + "the first line with its key is " + seen + ", expected " + shown(e.line));
        else if (e.check == '!' && (e.line.find('\t') != std::string::npos ? present : !alike.empty()))
            problems.push_back(where + "unexpected " + (present ? shown(e.line) : seen));
    }
    return problems;
}

void checkSample(const fs::path& relative)
{
    const fs::path sample = samplesDir() / fs::path(relative).replace_extension();
    QLX_NEED_SAMPLES(sample);
    const ExpectationFile file = readExpectations(goldenDir() / relative);
    // QLX_CLI in the environment points the tests at another build of the tool.
    const char* cli = std::getenv("QLX_CLI");
    const CommandOutcome run = runQlx("info " + quoted(sample), cli && *cli ? cli : QLX_CLI_PATH);
    std::vector<std::string> problems = file.problems;
    if (run.exitCode != 0)
        problems.push_back("qlx info exited with " + std::to_string(run.exitCode) + ":\n" + run.out.substr(0, 2000));
    const std::vector<std::string> text = metadataText(run.out);
    for (std::string& problem : mismatches(file, text))
        problems.push_back(std::move(problem));
    std::ostringstream report;
    for (const std::string& problem : problems)
        report << "  " << problem << "\n";
    report << "--- metadata text as printed (" << text.size() << " lines) ---\n";
    for (std::size_t i = 0; i < text.size() && i < 80; ++i)
        report << "  " << shown(text[i]) << "\n";
    EXPECT_TRUE(problems.empty()) << "qlx info " << sample.string() << ": " << problems.size()
                                  << " problem(s) against " << relative.string() << "\n" << report.str();
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

// "exiftool/Canon.jpg.expected" is the test exiftool_Canon_jpg.
std::string testName(fs::path relative)
{
    std::string name = relative.replace_extension().string();
    std::ranges::replace_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

// Registered before main runs, so that test discovery lists every sample.
[[maybe_unused]] const bool registered = [] {
    ::testing::RegisterTest("GoldenInfo", "ExpectationFilesAreWellFormed", nullptr, nullptr, __FILE__, __LINE__,
                            []() -> GoldenInfo* { return new GoldenInfo(checkExpectationFiles); });
    for (const fs::path& relative : expectationFiles())
        ::testing::RegisterTest("GoldenInfo", testName(relative).c_str(), nullptr, nullptr, __FILE__, __LINE__,
                                [relative]() -> GoldenInfo* { return new GoldenInfo([relative] { checkSample(relative); }); });
    return true;
}();

} // namespace
