// DataSetReader: conversions of a field's text.
#include "catalog/DataSetReader.h"

#include <charconv>
#include <utility>

namespace {

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Accepts an optional fraction of zeros ("12.0"), which is how some drivers
// render an integral NUMBER.
std::optional<std::int32_t> ParseInteger(std::string_view text)
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

} // namespace

TDataSetField::TDataSetField(std::string name, std::optional<std::string> text)
    : Name_(std::move(name))
    , Text_(std::move(text))
{
}

std::int32_t TDataSetField::AsInteger() const
{
    if (!Text_)
        throw EFieldConversion("Field '" + Name_ + "' is null and cannot be read as an integer");
    if (const auto value = ParseInteger(*Text_))
        return *value;
    throw EFieldConversion("Field '" + Name_ + "': '" + *Text_ + "' is not a valid integer value");
}

std::string TDataSetField::AsString() const
{
    return Text_.value_or(std::string());
}
