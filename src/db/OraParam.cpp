// OraParam: value conversions of bind variables and the variable list.
#include "db/OraParam.h"

#include "sandbox/value.h"

#include <cctype>
#include <limits>
#include <stdexcept>

namespace db {

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace db

namespace {

std::invalid_argument notAnInteger(const std::string& text)
{
    return std::invalid_argument("'" + text + "' is not a valid integer value");
}

} // namespace

void TOraParam::SetAsInteger(int64_t value)
{
    value_ = std::to_string(value);
    if (dataType_ == TOraDataType::String)
        dataType_ = TOraDataType::Integer;
}

void TOraParam::SetAsString(const std::string& value)
{
    value_ = value;
}

void TOraParam::SetAsNumber(const std::string& decimal)
{
    auto n = sandbox::Number::parse(decimal);
    if (!n)
        throw std::invalid_argument("'" + decimal + "' is not a valid number");
    value_ = n->toString();
    if (dataType_ == TOraDataType::String)
        dataType_ = TOraDataType::Number;
}

int64_t TOraParam::AsLargeInt() const
{
    if (!value_)
        return 0;
    auto n = sandbox::Number::parse(*value_);
    if (!n)
        throw notAnInteger(*value_);
    auto whole = n->round().toInt64();
    if (!whole)
        throw notAnInteger(*value_);
    return *whole;
}

int TOraParam::AsInteger() const
{
    int64_t v = AsLargeInt();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw notAnInteger(*value_);
    return static_cast<int>(v);
}

std::string TOraParam::AsString() const
{
    return value_.value_or(std::string());
}

std::string TOraParam::AsNumber() const
{
    if (!value_)
        return {};
    auto n = sandbox::Number::parse(*value_);
    if (!n)
        throw std::invalid_argument("'" + *value_ + "' is not a valid number");
    return n->toString();
}

TOraParam& TOraParams::Add(const std::string& name, TParamDirection direction, TOraDataType type, int size)
{
    auto param = std::make_unique<TOraParam>(name, direction, type, size);
    for (auto& item : items_)
        if (db::SameName(item->Name(), name)) {
            item = std::move(param);
            return *item;
        }
    items_.push_back(std::move(param));
    return *items_.back();
}

TOraParam* TOraParams::FindParam(const std::string& name) const
{
    for (const auto& item : items_)
        if (db::SameName(item->Name(), name))
            return item.get();
    return nullptr;
}

TOraParam& TOraParams::ParamByName(const std::string& name) const
{
    if (auto* p = FindParam(name))
        return *p;
    throw std::invalid_argument("Parameter '" + name + "' not found");
}
