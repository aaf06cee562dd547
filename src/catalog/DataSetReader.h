// DataSetReader: the reading side of an open query, as the argument and
// error models walk it (first row, next, end test, fields by place or name).
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

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
