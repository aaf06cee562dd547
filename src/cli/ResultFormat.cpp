// ResultFormat: column widths, alignment and wrapping.
#include "cli/ResultFormat.h"

#include <algorithm>

namespace cli {
namespace {

void trimRight(std::string& s)
{
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
}

// Characters, not bytes, so UTF-8 text lines up.
size_t displayWidth(const std::string& s)
{
    return static_cast<size_t>(std::count_if(s.begin(), s.end(),
                                              [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string pad(const std::string& s, size_t width, bool right)
{
    size_t w = displayWidth(s);
    if (w >= width)
        return s;
    std::string fill(width - w, ' ');
    return right ? fill + s : s + fill;
}

// Splits one paragraph into lines of at most `width` characters at blanks;
// a word longer than the width is cut.
std::vector<std::string> wrap(const std::string& paragraph, size_t width)
{
    std::vector<std::string> lines;
    std::string line;
    size_t i = 0;
    while (i < paragraph.size()) {
        size_t end = paragraph.find(' ', i);
        std::string word = paragraph.substr(i, end == std::string::npos ? std::string::npos : end - i);
        i = end == std::string::npos ? paragraph.size() : end + 1;
        while (word.size() > width) {
            if (!line.empty()) {
                lines.push_back(line);
                line.clear();
            }
            lines.push_back(word.substr(0, width));
            word.erase(0, width);
        }
        if (line.empty())
            line = word;
        else if (line.size() + 1 + word.size() <= width)
            line += " " + word;
        else {
            lines.push_back(line);
            line = word;
        }
    }
    lines.push_back(line);
    return lines;
}

} // namespace

std::string FormatTable(const ResultTable& table, bool heading)
{
    const size_t n = table.columns.size();
    std::vector<size_t> widths(n);
    std::vector<bool> right(n);
    for (size_t c = 0; c < n; ++c) {
        right[c] = table.columns[c].type == db::DriverColumn::Type::Number;
        widths[c] = std::max(displayWidth(table.columns[c].name), right[c] ? size_t(10) : size_t(1));
        for (const auto& row : table.rows)
            if (c < row.size() && row[c])
                widths[c] = std::max(widths[c], displayWidth(*row[c]));
    }
    auto line = [&](auto cell) {
        std::string s;
        for (size_t c = 0; c < n; ++c) {
            if (c)
                s += ' ';
            s += pad(cell(c), widths[c], right[c]);
        }
        trimRight(s);
        return s + "\n";
    };
    std::string out;
    if (heading) {
        out += line([&](size_t c) { return table.columns[c].name; });
        out += line([&](size_t c) { return std::string(widths[c], '-'); });
    }
    for (const auto& row : table.rows)
        out += line([&](size_t c) { return c < row.size() && row[c] ? *row[c] : std::string(); });
    return out;
}

std::string FormatErrors(const std::vector<CompileError>& errors)
{
    const size_t textWidth = 65;
    std::string out = "LINE/COL ERROR\n-------- " + std::string(textWidth, '-') + "\n";
    for (const auto& e : errors) {
        std::string where = pad(std::to_string(e.line) + "/" + std::to_string(e.position), 8, false);
        std::vector<std::string> lines;
        size_t pos = 0;
        while (pos <= e.text.size()) {
            size_t nl = e.text.find('\n', pos);
            for (auto& l : wrap(e.text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos), textWidth))
                lines.push_back(l);
            if (nl == std::string::npos)
                break;
            pos = nl + 1;
        }
        for (size_t i = 0; i < lines.size(); ++i) {
            std::string s = (i == 0 ? where : std::string(8, ' ')) + " " + lines[i];
            trimRight(s);
            out += s + "\n";
        }
    }
    return out;
}

} // namespace cli
