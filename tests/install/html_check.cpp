// SPDX-License-Identifier: GPL-3.0-or-later
#include "html_check.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <queue>
#include <set>
#include <sstream>

namespace tk358::help {

namespace fs = std::filesystem;

namespace {

const std::set<std::string> kVoidElements = {"area",   "base",  "br",    "col",  "embed",
                                             "hr",     "img",   "input", "link", "meta",
                                             "source", "track", "wbr"};
// Elements that end an open <p> in a browser, leaving its </p> unmatched.
const std::set<std::string> kBlockElements = {
    "address", "article", "aside", "blockquote", "div",     "dl",     "footer", "h1",
    "h2",      "h3",      "h4",    "h5",         "h6",      "header", "hr",     "main",
    "nav",     "ol",      "p",     "pre",        "section", "table",  "ul"};

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_' || c == ':';
}

bool ValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80           ? 1
                                   : (c >> 5) == 0x6  ? 2
                                   : (c >> 4) == 0xE  ? 3
                                   : (c >> 3) == 0x1E ? 4
                                                      : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// A character reference: "&name;", "&#123;" or "&#x1F;".
bool ValidReference(std::string_view text) {
    const auto end = text.find(';');
    if (end == std::string_view::npos || end < 2 || end > 12) {
        return false;
    }
    const std::string_view body = text.substr(1, end - 1);
    if (body[0] == '#') {
        const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
        const std::string_view digits = body.substr(hex ? 2 : 1);
        return !digits.empty() && std::all_of(digits.begin(), digits.end(), [hex](char c) {
            return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                       : std::isdigit(static_cast<unsigned char>(c)) != 0;
        });
    }
    return std::all_of(body.begin(), body.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    ScannedPage Run() {
        while (pos_ < text_.size()) {
            if (text_[pos_] == '<') {
                Markup();
            } else {
                Text();
            }
        }
        return std::move(page_);
    }

private:
    void Problem(const std::string& what) {
        page_.problems.push_back("line " + std::to_string(line_) + ": " + what);
    }

    void Advance(std::size_t to) {
        to = std::min(to, text_.size());
        line_ += static_cast<std::size_t>(std::count(text_.begin() + static_cast<long>(pos_),
                                                     text_.begin() + static_cast<long>(to), '\n'));
        pos_ = to;
    }

    void Text() {
        const std::size_t end = std::min(text_.find('<', pos_), text_.size());
        for (std::size_t i = pos_; i < end; ++i) {
            if (text_[i] == '&' && !ValidReference(text_.substr(i, end - i))) {
                Problem("a bare & (write &amp;amp;)");
            }
        }
        if (!page_.tags.empty()) {
            page_.tags.back().textAfter += Trim(text_.substr(pos_, end - pos_));
        }
        Advance(end);
    }

    void Markup() {
        const std::string_view rest = text_.substr(pos_);
        if (rest.starts_with("<!--")) {
            const std::size_t end = text_.find("-->", pos_ + 4);
            if (end == std::string_view::npos) {
                Problem("a comment that is never closed");
            }
            Advance(end == std::string_view::npos ? text_.size() : end + 3);
        } else if (rest.starts_with("<!")) {
            const std::size_t end = std::min(text_.find('>', pos_), text_.size());
            page_.doctype = std::string(text_.substr(pos_ + 1, end - pos_ - 1));
            Advance(end + 1);
        } else if (rest.size() > 1 &&
                   (std::isalpha(static_cast<unsigned char>(rest[1])) != 0 || rest[1] == '/')) {
            Element();
        } else {
            Problem("a bare < (write &amp;lt;)");
            Advance(pos_ + 1);
        }
    }

    void Element() {
        Tag tag;
        tag.line = line_;
        std::size_t i = pos_ + 1;
        if (text_[i] == '/') {
            tag.closing = true;
            ++i;
        }
        const std::size_t nameStart = i;
        while (i < text_.size() && IsNameChar(text_[i])) {
            ++i;
        }
        tag.name = Lower(text_.substr(nameStart, i - nameStart));
        i = Attributes(i, tag);
        Advance(i);
        const bool rawText = !tag.closing && (tag.name == "style" || tag.name == "script");
        page_.tags.push_back(std::move(tag));
        if (rawText) {
            const std::string close = "</" + page_.tags.back().name;
            const std::size_t end = text_.find(close, pos_);
            Advance(end == std::string_view::npos ? text_.size() : end);
        }
    }

    // Reads attributes up to and past the closing '>'; returns the position after it.
    std::size_t Attributes(std::size_t i, Tag& tag) {
        while (i < text_.size()) {
            while (i < text_.size() && std::isspace(static_cast<unsigned char>(text_[i])) != 0) {
                ++i;
            }
            if (i >= text_.size()) {
                break;
            }
            if (text_[i] == '>') {
                return i + 1;
            }
            if (text_.substr(i, 2) == "/>") {
                return i + 2;
            }
            const std::size_t nameStart = i;
            while (i < text_.size() && IsNameChar(text_[i])) {
                ++i;
            }
            if (i == nameStart) {
                Problem("an unexpected '" + std::string(1, text_[i]) + "' in <" + tag.name + ">");
                ++i;
                continue;
            }
            const std::string name = Lower(text_.substr(nameStart, i - nameStart));
            std::string value;
            if (i < text_.size() && text_[i] == '=') {
                i = Value(i + 1, value);
            }
            if (!tag.attributes.emplace(name, value).second) {
                Problem("attribute " + name + " twice in <" + tag.name + ">");
            }
        }
        Problem("<" + tag.name + " is never closed with >");
        return text_.size();
    }

    std::size_t Value(std::size_t i, std::string& value) {
        if (i < text_.size() && (text_[i] == '"' || text_[i] == '\'')) {
            const std::size_t end = text_.find(text_[i], i + 1);
            if (end == std::string_view::npos) {
                Problem("an attribute value that is never closed");
                return text_.size();
            }
            value = std::string(text_.substr(i + 1, end - i - 1));
            return end + 1;
        }
        const std::size_t start = i;
        while (i < text_.size() && std::isspace(static_cast<unsigned char>(text_[i])) == 0 &&
               text_[i] != '>') {
            ++i;
        }
        value = std::string(text_.substr(start, i - start));
        return i;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    ScannedPage page_;
};

std::string At(const Tag& tag) {
    return "line " + std::to_string(tag.line) + ": ";
}

void CheckNesting(const ScannedPage& page, std::vector<std::string>& problems) {
    std::vector<const Tag*> open;
    for (const Tag& tag : page.tags) {
        if (tag.closing) {
            if (open.empty() || open.back()->name != tag.name) {
                problems.push_back(At(tag) + "</" + tag.name + "> closes " +
                                   (open.empty() ? "nothing" : "<" + open.back()->name + ">"));
                continue;
            }
            open.pop_back();
        } else if (kVoidElements.count(tag.name) == 0) {
            if (kBlockElements.count(tag.name) != 0 && !open.empty() && open.back()->name == "p") {
                problems.push_back(At(tag) + "<" + tag.name + "> inside <p>");
            }
            open.push_back(&tag);
        }
    }
    for (const Tag* tag : open) {
        problems.push_back(At(*tag) + "<" + tag->name + "> is never closed");
    }
}

void CheckHead(const ScannedPage& page, std::vector<std::string>& problems) {
    if (Lower(page.doctype) != "!doctype html") {
        problems.push_back("no <!DOCTYPE html>");
    }
    const auto has = [&page](auto predicate) {
        return std::any_of(page.tags.begin(), page.tags.end(), predicate);
    };
    if (page.tags.empty() || page.tags.front().name != "html" ||
        page.tags.front().attributes.count("lang") == 0 ||
        page.tags.front().attributes.at("lang") != "pl") {
        problems.push_back("the page does not start with <html lang=\"pl\">");
    }
    if (!has([](const Tag& t) {
            return t.name == "meta" && t.attributes.count("charset") != 0 &&
                   Lower(t.attributes.at("charset")) == "utf-8";
        })) {
        problems.push_back("no <meta charset=\"utf-8\">");
    }
    if (!has(
            [](const Tag& t) { return t.name == "title" && !t.closing && !t.textAfter.empty(); })) {
        problems.push_back("no <title> text");
    }
}

void CheckAttributes(const ScannedPage& page, std::vector<std::string>& problems) {
    std::set<std::string> ids;
    for (const Tag& tag : page.tags) {
        if (tag.attributes.count("id") != 0 && !ids.insert(tag.attributes.at("id")).second) {
            problems.push_back(At(tag) + "id \"" + tag.attributes.at("id") + "\" twice");
        }
        if (tag.name == "img" && tag.attributes.count("alt") == 0) {
            problems.push_back(At(tag) + "<img> without alt");
        }
    }
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool HasScheme(const std::string& target) {
    const auto colon = target.find(':');
    return colon != std::string::npos && colon > 0 &&
           std::all_of(target.begin(), target.begin() + static_cast<long>(colon), [](char c) {
               return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' ||
                      c == '.';
           });
}

// The pages read so far, by normalised path.
class Site {
public:
    const ScannedPage& Page(const fs::path& path) {
        auto found = pages_.find(path);
        if (found == pages_.end()) {
            found = pages_.emplace(path, ScanHtml(ReadAll(path))).first;
        }
        return found->second;
    }
    bool HasId(const fs::path& path, const std::string& id) {
        const ScannedPage& page = Page(path);
        return std::any_of(page.tags.begin(), page.tags.end(), [&id](const Tag& t) {
            return t.attributes.count("id") != 0 && t.attributes.at("id") == id;
        });
    }

private:
    std::map<fs::path, ScannedPage> pages_;
};

// Checks one link; returns the local page it leads to, or an empty path.
fs::path CheckLink(Site& site, const fs::path& page, const Tag& tag, const std::string& target,
                   std::vector<std::string>& problems) {
    const std::string where = page.filename().string() + ": " + At(tag);
    if (HasScheme(target) || target.starts_with("//")) {
        if (target.starts_with("file:") || target.starts_with("//")) {
            problems.push_back(where + "link that does not move with the help: " + target);
        }
        return {};
    }
    if (target.starts_with("/")) {
        problems.push_back(where + "absolute link that does not move with the help: " + target);
        return {};
    }
    const auto hash = target.find('#');
    const std::string file = target.substr(0, hash);
    const fs::path resolved = file.empty() ? page : (page.parent_path() / file).lexically_normal();
    std::error_code error;
    if (!fs::is_regular_file(resolved, error)) {
        problems.push_back(where + "link to a missing file: " + target);
        return {};
    }
    if (hash != std::string::npos && resolved.extension() == ".html" &&
        !site.HasId(resolved, target.substr(hash + 1))) {
        problems.push_back(where + "link to a missing anchor: " + target);
    }
    return resolved.extension() == ".html" ? resolved : fs::path();
}

}  // namespace

ScannedPage ScanHtml(std::string_view text) {
    return Scanner(text).Run();
}

std::vector<std::string> CheckPage(std::string_view text) {
    if (!ValidUtf8(text)) {
        return {"not valid UTF-8"};
    }
    ScannedPage page = ScanHtml(text);
    std::vector<std::string> problems = std::move(page.problems);
    CheckHead(page, problems);
    CheckNesting(page, problems);
    CheckAttributes(page, problems);
    return problems;
}

std::vector<std::string> CheckHelpFolder(const fs::path& dir) {
    std::vector<std::string> problems;
    std::set<fs::path> pages;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() == ".html") {
            pages.insert(entry.path().lexically_normal());
        }
    }
    const fs::path index = (dir / "index.html").lexically_normal();
    if (pages.count(index) == 0) {
        return {"no index.html in " + dir.string()};
    }
    Site site;
    for (const fs::path& page : pages) {
        for (const std::string& problem : CheckPage(ReadAll(page))) {
            problems.push_back(page.filename().string() + ": " + problem);
        }
    }
    // Every link of every page must resolve, and every page must be reachable
    // from the index.
    std::map<fs::path, std::vector<fs::path>> leadsTo;
    for (const fs::path& page : pages) {
        for (const Tag& tag : site.Page(page).tags) {
            for (const char* attribute : {"href", "src"}) {
                if (tag.closing || tag.attributes.count(attribute) == 0) {
                    continue;
                }
                const fs::path next =
                    CheckLink(site, page, tag, tag.attributes.at(attribute), problems);
                if (!next.empty()) {
                    leadsTo[page].push_back(next);
                }
            }
        }
    }
    std::set<fs::path> reached = {index};
    std::queue<fs::path> todo;
    todo.push(index);
    while (!todo.empty()) {
        const fs::path page = todo.front();
        todo.pop();
        for (const fs::path& next : leadsTo[page]) {
            if (reached.insert(next).second) {
                todo.push(next);
            }
        }
    }
    for (const fs::path& page : pages) {
        if (reached.count(page) == 0) {
            problems.push_back(page.filename().string() + ": no link leads here from index.html");
        }
    }
    return problems;
}

}  // namespace tk358::help
