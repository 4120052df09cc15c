// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small checker for the help pages: a tag scanner strict enough to catch
// what a browser would silently repair, and a link check over a folder.

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tk358::help {

struct Tag {
    std::string name;  // lower case
    bool closing = false;
    std::map<std::string, std::string> attributes;  // names in lower case
    std::string textAfter;                          // text up to the next tag, trimmed
    std::size_t line = 1;
};

struct ScannedPage {
    std::string doctype;  // "!DOCTYPE html" and the like, empty when missing
    std::vector<Tag> tags;
    std::vector<std::string> problems;
};

ScannedPage ScanHtml(std::string_view text);

// Problems of one page on its own: not UTF-8, doctype, lang="pl", charset,
// title, unbalanced or misnested elements, duplicate ids, images without alt.
std::vector<std::string> CheckPage(std::string_view text);

// Problems of every *.html page in `dir`, each prefixed with the page's name,
// plus links to missing files or anchors and pages that index.html does not
// lead to.
std::vector<std::string> CheckHelpFolder(const std::filesystem::path& dir);

}  // namespace tk358::help
