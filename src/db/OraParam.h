// OraParam: the named bind variables of a statement or query: one variable
// (TOraParam) and the list (TOraParams) with case-insensitive lookup.
#pragma once

#include "db/OraTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TOraParam {
public:
    TOraParam(std::string name, TParamDirection direction, TOraDataType type, int size = 0)
        : name_(std::move(name)), direction_(direction), dataType_(type), size_(size) {}

    const std::string& Name() const { return name_; }
    TParamDirection Direction() const { return direction_; }
    void SetDirection(TParamDirection d) { direction_ = d; }
    TOraDataType DataType() const { return dataType_; }
    void SetDataType(TOraDataType t) { dataType_ = t; }
    int Size() const { return size_; }
    void SetSize(int size) { size_ = size; }

    // Setters: the value and its type. Values of an In or InOut variable are
    // sent to the server; Out values come back from it.
    void SetAsInteger(int64_t value);
    void SetAsString(const std::string& value);
    // Oracle NUMBER as decimal text ("12", "-1.5", ".5", "1e3"); throws
    // std::invalid_argument for text that is not a number.
    void SetAsNumber(const std::string& decimal);

    // Getters. NULL reads as 0 and as the empty text. A whole number reads as
    // its decimal text; AsInteger rounds a fraction and throws
    // std::invalid_argument for a value that is no 32-bit integer.
    int AsInteger() const;
    int64_t AsLargeInt() const;
    std::string AsString() const;
    std::string AsNumber() const;

    bool IsNull() const { return !value_.has_value(); }
    void Clear() { value_.reset(); }   // NULL

    const db::OraValue& Value() const { return value_; }
    // Stores a value the server returned, keeping the declared type.
    void SetValue(db::OraValue value) { value_ = std::move(value); }

private:
    std::string name_;
    TParamDirection direction_;
    TOraDataType dataType_;
    int size_;
    db::OraValue value_;
};

class TOraParams {
public:
    // Removes every variable.
    void Clear() { items_.clear(); }
    // Appends a variable; a name already declared is replaced in place.
    TOraParam& Add(const std::string& name, TParamDirection direction, TOraDataType type, int size = 0);
    int Count() const { return static_cast<int>(items_.size()); }
    TOraParam& operator[](int i) { return *items_.at(static_cast<size_t>(i)); }
    const TOraParam& operator[](int i) const { return *items_.at(static_cast<size_t>(i)); }

    // Lookup without regard to case; nullptr when absent.
    TOraParam* FindParam(const std::string& name) const;
    // As FindParam; throws std::invalid_argument naming a missing variable.
    TOraParam& ParamByName(const std::string& name) const;

private:
    std::vector<std::unique_ptr<TOraParam>> items_;
};

namespace db {
bool SameName(const std::string& a, const std::string& b);   // ASCII case-insensitive
} // namespace db
