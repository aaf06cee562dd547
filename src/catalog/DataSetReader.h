// DataSetReader: the reading side of an open query, as the argument and
// error models walk it (first row, next, end test, fields by place or name).
// Header-only and free of Qt, so any layer can implement it.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

// A field that cannot be read as asked: a null or a non-number read as an
// integer. The message names the field and the offending value.
class EFieldConversion : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The value of one field of the current row, as text (the data-access
// layer's text form of the value) or null.
class TDataSetField {
public:
    TDataSetField(std::string name, std::optional<std::string> text);

    const std::string& Name() const { return Name_; }
    bool IsNull() const { return !Text_.has_value(); }
    // The value as a 32-bit integer. Throws EFieldConversion on a null, on a
    // text that is not an integral number, and outside the 32-bit range.
    std::int32_t AsInteger() const;
    // The value as text; a null reads as the empty text.
    std::string AsString() const;

private:
    std::string Name_;
    std::optional<std::string> Text_;
};

// An open dataset positioned on a row. Implemented by the data-access
// layer's query and by in-memory readers in tests.
class IDataSetReader {
public:
    virtual ~IDataSetReader() = default;

    virtual void First() = 0;
    virtual void Next() = 0;
    // True once the cursor is past the last row (at once for no rows).
    virtual bool Eof() const = 0;
    virtual int FieldCount() const = 0;
    // Field of the current row by 0-based position; std::out_of_range when
    // there is no such field or no current row.
    virtual TDataSetField Field(int index) const = 0;
    // Field of the current row by name, ignoring letter case;
    // std::out_of_range when the dataset has no such field.
    virtual TDataSetField FieldByName(std::string_view name) const = 0;
};

namespace datasetreader_detail {

inline std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Accepts an optional fraction of zeros ("12.0"), which is how some drivers
// render an integral NUMBER.
inline std::optional<std::int32_t> ParseInteger(std::string_view text)
{
    text = TrimBlanks(text);
    if (const auto dot = text.find('.'); dot != std::string_view::npos) {
        const std::string_view fraction = text.substr(dot + 1);
        if (fraction.find_first_not_of('0') != std::string_view::npos)
            return std::nullopt;
        text = text.substr(0, dot);
    }
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace datasetreader_detail

inline TDataSetField::TDataSetField(std::string name, std::optional<std::string> text)
    : Name_(std::move(name))
    , Text_(std::move(text))
{
}

inline std::int32_t TDataSetField::AsInteger() const
{
    if (!Text_)
        throw EFieldConversion("Field '" + Name_ + "' is null and cannot be read as an integer");
    if (const auto value = datasetreader_detail::ParseInteger(*Text_))
        return *value;
    throw EFieldConversion("Field '" + Name_ + "': '" + *Text_ + "' is not a valid integer value");
}

inline std::string TDataSetField::AsString() const
{
    return Text_.value_or(std::string());
}
