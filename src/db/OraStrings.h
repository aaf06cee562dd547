// OraStrings: a statement's text as a list of lines (the SQL property of the
// statement, query and script components).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TOraStrings {
public:
    void Clear();
    void Add(std::string line);
    // Replaces all lines; "\n" and "\r\n" both break lines.
    void SetText(std::string_view text);
    // The lines joined by "\n", with no break after the last line.
    std::string Text() const;

    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& operator[](int i) const { return lines_.at(static_cast<size_t>(i)); }
    const std::vector<std::string>& Lines() const { return lines_; }

    // Called after every change; the owning statement re-reads its binds.
    void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

private:
    void changed() { if (onChange_) onChange_(); }

    std::vector<std::string> lines_;
    std::function<void()> onChange_;
};
