// SPDX-License-Identifier: GPL-3.0-or-later
#include "html_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <string>

#include "support/temp_dir.h"

namespace tk358::help {
namespace {

namespace fs = std::filesystem;

std::string Page(const std::string& body, const std::string& htmlTag = "<html lang=\"pl\">",
                 const std::string& charset = "<meta charset=\"utf-8\">") {
    return "<!DOCTYPE html>\n" + htmlTag + "\n<head>\n" + charset +
           "\n<title>Strona</title>\n</head>\n<body>\n" + body + "\n</body>\n</html>\n";
}

class Folder {
public:
    Folder() { fs::create_directories(root_ / "help"); }

    void Write(const std::string& name, const std::string& text) const {
        fs::create_directories((root_ / name).parent_path());
        std::ofstream(root_ / name, std::ios::binary) << text;
    }
    fs::path Help() const { return root_ / "help"; }

private:
    test::TempDir temp_{"tk358-help"};
    fs::path root_ = temp_.Path();
};

// The test name of a case: its description with blanks as underscores.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& testCase) {
    std::string name = testCase.param.what;
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    }
    return name;
}

std::string Joined(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& problem : problems) {
        text += problem + "\n";
    }
    return text;
}

struct FolderCase {
    const char* what;
    std::map<std::string, std::string> files;  // relative to the folder above help/
    const char* expected;                      // part of a problem; empty: none
};

void PrintTo(const FolderCase& c, std::ostream* out) {
    *out << c.what;
}

class HelpFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(HelpFolderTest, FindsTheFault) {
    const FolderCase& c = GetParam();
    Folder folder;
    for (const auto& [name, text] : c.files) {
        folder.Write(name, text);
    }
    const std::string problems = Joined(CheckHelpFolder(folder.Help()));
    if (std::string(c.expected).empty()) {
        EXPECT_EQ(problems, "");
    } else {
        EXPECT_NE(problems.find(c.expected), std::string::npos) << problems;
    }
}

const std::string kGoodIndex = Page(
    "<h1 id=\"top\">Pomoc</h1>\n<p>Zakres &lt;0, 999.9&gt; — <a href=\"b.html#x\">dalej</a>, "
    "<a href=\"#top\">góra</a>, <a href=\"mailto:serwis@tk358.example\">poczta</a>.</p>\n"
    "<img src=\"../icons/a.png\" alt=\"\">");

INSTANTIATE_TEST_SUITE_P(
    Cases, HelpFolderTest,
    ::testing::Values(
        FolderCase{"sound pages",
                   {{"help/index.html", kGoodIndex},
                    {"help/b.html", Page("<p id=\"x\"><a href=\"index.html\">wstęp</a></p>")},
                    {"icons/a.png", "png"}},
                   ""},
        FolderCase{"missing anchor",
                   {{"help/index.html", kGoodIndex},
                    {"help/b.html", Page("<p id=\"y\"><a href=\"index.html\">w</a></p>")},
                    {"icons/a.png", "png"}},
                   "index.html: line 9: link to a missing anchor: b.html#x"},
        FolderCase{"missing page",
                   {{"help/index.html", kGoodIndex}, {"icons/a.png", "png"}},
                   "link to a missing file: b.html#x"},
        FolderCase{"missing image outside the folder",
                   {{"help/index.html", kGoodIndex},
                    {"help/b.html", Page("<p id=\"x\"><a href=\"index.html\">w</a></p>")}},
                   "link to a missing file: ../icons/a.png"},
        FolderCase{"page nobody links to",
                   {{"help/index.html", Page("<p>sam</p>")},
                    {"help/b.html", Page("<p><a href=\"index.html\">w</a></p>")}},
                   "b.html: no link leads here from index.html"},
        FolderCase{"absolute link",
                   {{"help/index.html", Page("<p><a href=\"/usr/share/doc/x.html\">x</a></p>")}},
                   "absolute link that does not move with the help"},
        FolderCase{"no index", {{"help/b.html", Page("<p>b</p>")}}, "no index.html"}),
    CaseName<FolderCase>);

struct PageCase {
    const char* what;
    std::string text;
    const char* expected;
};

void PrintTo(const PageCase& c, std::ostream* out) {
    *out << c.what;
}

class HelpPageTest : public ::testing::TestWithParam<PageCase> {};

TEST_P(HelpPageTest, FindsTheFault) {
    const std::string problems = Joined(CheckPage(GetParam().text));
    EXPECT_NE(problems.find(GetParam().expected), std::string::npos) << problems;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HelpPageTest,
    ::testing::Values(
        PageCase{"english page", Page("<p>x</p>", "<html lang=\"en\">"), "<html lang=\"pl\">"},
        PageCase{"no charset", Page("<p>x</p>", "<html lang=\"pl\">", ""), "charset"},
        PageCase{"latin2 bytes", Page("<p>Wart\xb6\xe6</p>"), "not valid UTF-8"},
        PageCase{"list inside a paragraph", Page("<p>a<ul><li>b</li></ul></p>"), "<ul> inside <p>"},
        PageCase{"unclosed cell", Page("<table><tr><td>a</tr></table>"), "</tr> closes <td>"},
        PageCase{"raw less-than", Page("<p>przedział <0, 999.9></p>"), "a bare <"},
        PageCase{"raw ampersand", Page("<p>A & B</p>"), "a bare &"},
        PageCase{"duplicate id", Page("<h2 id=\"a\">x</h2><h2 id=\"a\">y</h2>"), "id \"a\" twice"},
        PageCase{"image without alt", Page("<img src=\"a.png\">"), "<img> without alt"},
        PageCase{"no doctype", Page("<p>x</p>").substr(16), "no <!DOCTYPE html>"}),
    CaseName<PageCase>);

}  // namespace
}  // namespace tk358::help
