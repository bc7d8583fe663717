// Damaged, hand-edited and foreign settings files: the program starts on
// each, keeps running, and its save rewrites only its own keys.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/yorunel_driver.h"

using namespace e2e;
using namespace testing_support;

namespace {

struct Entry {
    std::string section;
    std::string line;
};

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The lines of a profile file with the section each stands in, blanks
// around names and values dropped, as the profile functions read them. A
// line with a NUL byte, or in a section named with one, is no text: what
// becomes of it is the profile functions' affair, and it is left out.
std::vector<Entry> Entries(const std::string& bytes) {
    std::vector<Entry> entries;
    std::string section;
    std::size_t start = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string line = Trim(bytes.substr(start, end - start));
        start = end + 1;
        if (line.empty())
            continue;
        if (line.find('\0') != std::string::npos) {
            if (line.front() == '[')
                section = std::string(1, '\0');
            continue;
        }
        if (line.front() == '[') {
            section = Trim(line.substr(1, line.find(']') == std::string::npos ? std::string::npos : line.find(']') - 1));
            continue;
        }
        if (section.find('\0') != std::string::npos)
            continue;
        const auto equals = line.find('=');
        entries.push_back({section, equals == std::string::npos
                                        ? line
                                        : Trim(line.substr(0, equals)) + "=" + Trim(line.substr(equals + 1))});
    }
    return entries;
}

// One of the program's keys; names compare without regard to case, and a
// line without "=" is a key without a value.
bool Ours(const Entry& entry) {
    static const char* const hotKeys[] = {"paint", "screensaver", "exitdialog", "panic", "application1",
                                          "application2", "wallpaper", "wallpaperpath", "time"};
    std::string section = entry.section;
    std::string key = Trim(entry.line.substr(0, entry.line.find('=')));
    for (char& c : section)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (section == "hotkey")
        for (const char* name : hotKeys)
            if (key == name)
                return true;
    if (section == "wallpaper")
        for (const char* name : {"order", "style", "subfolders", "monitors", "current"})
            if (key == name)
                return true;
    return section == "operate" && key == "mouse";
}

std::vector<Entry> Foreign(const std::vector<Entry>& entries) {
    std::vector<Entry> foreign;
    for (const Entry& entry : entries)
        if (!Ours(entry))
            foreign.push_back(entry);
    return foreign;
}

std::string CorpusFolder() {
    const char* source = std::getenv("YORUNEL_SOURCE");
    return WinPath(std::string(source ? source : ".") + "/tests/hostile/settings");
}

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((CorpusFolder() + "\\*.ini").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            names.push_back(found.cFileName);
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return names;
}

}  // namespace

class HostileSettings : public ::testing::TestWithParam<std::string> {};

TEST_P(HostileSettings, StartsRunsAndSavesOnlyItsOwnKeys) {
    const std::string original = ReadFileBytes(CorpusFolder() + "\\" + GetParam());
    YorunelProcess yorunel;
    yorunel.WriteIni(original);
    ASSERT_TRUE(yorunel.Start());
    ASSERT_TRUE(yorunel.WaitReady()) << "the program did not come up";
    EXPECT_TRUE(FindTopWindows("#32770", nullptr, yorunel.ProcessId()).empty()) << "no message at start";
    yorunel.Close();
    ASSERT_TRUE(yorunel.WaitForExit()) << "the program did not save and end";
    EXPECT_EQ(yorunel.ExitCode(), 0u);

    const std::string saved = yorunel.ReadIni();
    // Its own keys are all there.
    std::size_t ours = 0;
    for (const Entry& entry : Entries(saved))
        ours += Ours(entry) ? 1 : 0;
    EXPECT_GE(ours, 10u);
    // Random bytes have no lines to keep: what the profile functions make
    // of them is theirs to decide.
    if (GetParam().find("random") != std::string::npos)
        return;
    const auto before = Foreign(Entries(original));
    const auto after = Foreign(Entries(saved));
    ASSERT_EQ(after.size(), before.size()) << saved.substr(0, 2000);
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].section, before[i].section) << i;
        EXPECT_EQ(after[i].line, before[i].line) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileSettings, ::testing::ValuesIn(CorpusFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param.substr(0, info.param.find('.'));
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });
