// OraStrings: line list operations.
#include "db/OraStrings.h"

void TOraStrings::Clear()
{
    lines_.clear();
    changed();
}

void TOraStrings::Add(std::string line)
{
    lines_.push_back(std::move(line));
    changed();
}

void TOraStrings::SetText(std::string_view text)
{
    lines_.clear();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        std::string_view line = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines_.emplace_back(line);
        if (nl == std::string_view::npos)
            break;
        pos = nl + 1;
    }
    changed();
}

std::string TOraStrings::Text() const
{
    std::string text;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i)
            text += '\n';
        text += lines_[i];
    }
    return text;
}
