// rval.cpp - interpreter values: canonical numbers, conversions between
// types as Oracle applies them implicitly, and constraint checks.
#include "sandbox/plsql/rval.h"

#include "sandbox/ora_error.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace sandbox::plsql {

Val Val::number(const Number& n)
{
    if (auto i = n.toInt64())
        return integer(*i);
    Val v;
    v.u_.n = n;
    v.k_ = K::Num;
    return v;
}

Val Val::clone() const
{
    switch (kind()) {
    case K::Rec: {
        auto r = std::make_shared<Record>();
        r->type = asRec()->type;
        r->fields.reserve(asRec()->fields.size());
        for (const auto& f : asRec()->fields)
            r->fields.push_back(f.clone());
        return record(std::move(r));
    }
    case K::Coll: {
        auto c = std::make_shared<Collection>();
        c->type = asColl()->type;
        c->initialized = asColl()->initialized;
        for (const auto& [k, v] : asColl()->items)
            c->items.emplace(k, v.clone());
        return collection(std::move(c));
    }
    default: return *this;
    }
}

Val defaultValue(const Type* t)
{
    if (!t)
        return {};
    switch (t->kind) {
    case TypeKind::Record: {
        auto r = std::make_shared<Record>();
        r->type = t;
        for (const auto& f : t->fields)
            r->fields.push_back(defaultValue(f.type));
        return Val::record(std::move(r));
    }
    case TypeKind::AssocArray:
    case TypeKind::NestedTable:
    case TypeKind::Varray: {
        auto c = std::make_shared<Collection>();
        c->type = t;
        c->initialized = t->kind == TypeKind::AssocArray;
        return Val::collection(std::move(c));
    }
    default: return {};
    }
}

[[noreturn]] void throwValueError(const std::string& suffix)
{
    throw OraError::make(6502, "PL/SQL: numeric or value error" + suffix);
}

std::string toText(const Val& v)
{
    switch (v.kind()) {
    case Val::K::Null: return {};
    case Val::K::Int: return std::to_string(v.asInt());
    case Val::K::Num: return v.asNum().toString();
    case Val::K::Str: return v.asStr();
    case Val::K::Date: return v.asDate().toString();
    case Val::K::Bool: return v.asBool() ? "TRUE" : "FALSE";
    default: throwValueError();
    }
}

std::optional<Number> toNumber(const Val& v)
{
    switch (v.kind()) {
    case Val::K::Null: return std::nullopt;
    case Val::K::Int: return Number::fromInt(v.asInt());
    case Val::K::Num: return v.asNum();
    case Val::K::Str: {
        auto n = Number::parse(v.asStr());
        if (!n)
            throwValueError(": character to number conversion error");
        return n;
    }
    default: throwValueError();
    }
}

std::optional<int64_t> toInt(const Val& v)
{
    if (v.isInt())
        return v.asInt();
    auto n = toNumber(v);
    if (!n)
        return std::nullopt;
    auto i = n->round(0).toInt64();
    if (!i)
        throw OraError::make(1426, "numeric overflow");
    return i;
}

namespace {

const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

bool readInt(const std::string& s, size_t& p, int maxDigits, int& out)
{
    size_t b = p;
    out = 0;
    while (p < s.size() && p - b < static_cast<size_t>(maxDigits) && std::isdigit(static_cast<unsigned char>(s[p])))
        out = out * 10 + (s[p++] - '0');
    return p > b;
}

bool validDate(int y, int m, int d)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1)
        return false;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}

size_t charLength(const std::string& s)
{
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

} // namespace

std::optional<DateTime> parseDateText(const std::string& text)
{
    std::string s;
    for (char c : text)
        s += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    size_t p = 0;
    while (p < s.size() && s[p] == ' ')
        ++p;
    int y = 0, m = 0, d = 0, hh = 0, mi = 0, ss = 0;
    int first = 0;
    size_t start = p;
    if (!readInt(s, p, 4, first))
        return std::nullopt;
    if (p - start == 4 && p < s.size() && (s[p] == '-' || s[p] == '/')) {
        y = first;
        ++p;
        if (!readInt(s, p, 2, m) || p >= s.size() || (s[p] != '-' && s[p] != '/'))
            return std::nullopt;
        ++p;
        if (!readInt(s, p, 2, d))
            return std::nullopt;
    } else {
        d = first;
        if (p >= s.size() || (s[p] != '-' && s[p] != '/' && s[p] != ' '))
            return std::nullopt;
        ++p;
        if (p + 3 <= s.size() && std::isalpha(static_cast<unsigned char>(s[p]))) {
            std::string mon = s.substr(p, 3);
            for (int i = 0; i < 12; ++i)
                if (mon == kMonths[i])
                    m = i + 1;
            if (!m)
                return std::nullopt;
            p += 3;
            while (p < s.size() && std::isalpha(static_cast<unsigned char>(s[p])))
                ++p;   // full month names
        } else if (!readInt(s, p, 2, m)) {
            return std::nullopt;
        }
        if (p >= s.size() || (s[p] != '-' && s[p] != '/' && s[p] != ' '))
            return std::nullopt;
        ++p;
        size_t yb = p;
        if (!readInt(s, p, 4, y))
            return std::nullopt;
        if (p - yb <= 2)
            y += y < 50 ? 2000 : 1900;   // RR
    }
    if (p < s.size()) {
        if (s[p] != ' ' && s[p] != 'T')
            return std::nullopt;
        ++p;
        if (!readInt(s, p, 2, hh) || p >= s.size() || s[p] != ':')
            return std::nullopt;
        ++p;
        if (!readInt(s, p, 2, mi))
            return std::nullopt;
        if (p < s.size() && s[p] == ':') {
            ++p;
            if (!readInt(s, p, 2, ss))
                return std::nullopt;
        }
        if (p != s.size() || hh > 23 || mi > 59 || ss > 59)
            return std::nullopt;
    }
    if (!validDate(y, m, d))
        return std::nullopt;
    return DateTime::fromParts(y, m, d, hh, mi, ss);
}

std::optional<DateTime> toDate(const Val& v)
{
    switch (v.kind()) {
    case Val::K::Null: return std::nullopt;
    case Val::K::Date: return v.asDate();
    case Val::K::Str: {
        auto d = parseDateText(v.asStr());
        if (!d)
            throw OraError::make(1858, "a non-numeric character was found where a numeric was expected");
        return d;
    }
    default: throwValueError();
    }
}

namespace {

Val coerceNumber(const Val& v, const Type* t)
{
    if (v.isInt() && t->precision < 0)
        return v;
    auto n = toNumber(v);
    if (!n)
        return {};
    if (t->precision >= 0 || t->scale >= 0) {
        int scale = t->scale < 0 ? 0 : t->scale;
        Number r = n->round(scale);
        // NUMBER(p,s) holds magnitudes below 10^(p-s); with s > p that is a
        // fraction (NUMBER(3,5) takes .00123 but not .01).
        if (t->precision >= 0 && r.abs() >= *Number::parse("1e" + std::to_string(t->precision - scale)))
            throwValueError(": number precision too large");
        return Val::number(r);
    }
    return Val::number(*n);
}

} // namespace

Val coerceValue(const Val& v, const Type* t)
{
    if (!t)
        return v;
    if (v.isInt()) {
        // The common case of counters and indexes.
        if ((t->kind == TypeKind::Number && t->precision < 0) || t->kind == TypeKind::Integer ||
            t->kind == TypeKind::Unknown)
            return v;
        if (t->kind == TypeKind::PlsInteger && !t->minValue && !t->maxValue) {
            if (v.asInt() > 2147483647LL || v.asInt() < -2147483648LL)
                throw OraError::make(1426, "numeric overflow");
            return v;
        }
    }
    if (v.isNull()) {
        if (t->notNull)
            throwValueError();
        if (t->kind == TypeKind::Record || t->isCollection())
            return defaultValue(t);
        return v;
    }
    switch (t->kind) {
    case TypeKind::Unknown: return v.clone();
    case TypeKind::Number:
        if (v.kind() == Val::K::Bool || v.kind() == Val::K::Date)
            throwValueError();
        return coerceNumber(v, t);
    case TypeKind::Integer: {
        if (v.isInt())
            return v;
        auto n = toNumber(v);
        return Val::number(n->round(0));
    }
    case TypeKind::PlsInteger: {
        int64_t i = 0;
        if (v.isInt()) {
            i = v.asInt();
        } else {
            auto n = toNumber(v);
            auto r = n->round(0).toInt64();
            if (!r)
                throw OraError::make(1426, "numeric overflow");
            i = *r;
        }
        if (i > 2147483647LL || i < -2147483648LL)
            throw OraError::make(1426, "numeric overflow");
        if ((t->minValue || t->maxValue) && (i < t->minValue || i > t->maxValue))
            throwValueError();
        return Val::integer(i);
    }
    case TypeKind::Varchar2:
    case TypeKind::Char: {
        std::string s;
        if (v.kind() == Val::K::Str)
            s = v.asStr();
        else if (v.kind() == Val::K::Rec || v.kind() == Val::K::Coll || v.kind() == Val::K::Cur)
            throwValueError();
        else
            s = toText(v);
        size_t len = charLength(s);
        int max = t->precision >= 0 ? t->precision : (t->kind == TypeKind::Char ? 1 : 32767);
        if (len > static_cast<size_t>(max))
            throwValueError(": character string buffer too small");
        if (t->kind == TypeKind::Char && t->precision > 0)
            s.append(static_cast<size_t>(max) - len, ' ');
        if (v.kind() == Val::K::Str && s.size() == v.asStr().size())
            return v;
        return Val::str(std::move(s));
    }
    case TypeKind::Date: return Val::date(*toDate(v));
    case TypeKind::Boolean:
        if (v.kind() != Val::K::Bool)
            throwValueError();
        return v;
    case TypeKind::Record: {
        if (v.kind() != Val::K::Rec)
            throwValueError();
        const auto& src = *v.asRec();
        if (src.type == t)
            return v.clone();
        // Structurally compatible records (a cursor row into a %ROWTYPE) convert field by field.
        if (src.fields.size() != t->fields.size())
            throw OraError::make(6504, "PL/SQL: Return types of Result Set variables or query do not match");
        auto r = std::make_shared<Record>();
        r->type = t;
        for (size_t i = 0; i < src.fields.size(); ++i)
            r->fields.push_back(coerce(src.fields[i], t->fields[i].type));
        return Val::record(std::move(r));
    }
    case TypeKind::AssocArray:
    case TypeKind::NestedTable:
    case TypeKind::Varray:
        if (v.kind() != Val::K::Coll)
            throwValueError();
        return v.clone();
    case TypeKind::RefCursor:
        if (v.kind() != Val::K::Cur)
            throwValueError();
        return v;
    }
    return v;
}

Value toValue(const Val& v)
{
    switch (v.kind()) {
    case Val::K::Int: return Value::integer(v.asInt());
    case Val::K::Num: return Value::number(v.asNum());
    case Val::K::Str: return Value::string(v.asStr());
    case Val::K::Date: return Value::date(v.asDate());
    case Val::K::Bool: return Value::boolean(v.asBool());
    default: return {};
    }
}

Val fromValue(const Value& v)
{
    switch (v.kind()) {
    case Value::Kind::Number: return Val::number(v.asNumber());
    case Value::Kind::String: return Val::str(v.asString());
    case Value::Kind::Date: return Val::date(v.asDate());
    case Value::Kind::Boolean: return Val::boolean(v.asBoolean());
    default: return {};
    }
}

std::optional<int> compare(const Val& a, const Val& b)
{
    if (a.isNull() || b.isNull())
        return std::nullopt;
    if (a.isInt() && b.isInt())
        return a.asInt() < b.asInt() ? -1 : a.asInt() > b.asInt() ? 1 : 0;
    auto ka = a.kind(), kb = b.kind();
    if (a.isNumeric() || b.isNumeric()) {
        Number x = *toNumber(a), y = *toNumber(b);
        auto c = x <=> y;
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    if (ka == Val::K::Date || kb == Val::K::Date) {
        DateTime x = *toDate(a), y = *toDate(b);
        return x < y ? -1 : y < x ? 1 : 0;
    }
    if (ka == Val::K::Bool && kb == Val::K::Bool)
        return static_cast<int>(a.asBool()) - static_cast<int>(b.asBool());
    if (ka == Val::K::Str && kb == Val::K::Str) {
        int c = a.asStr().compare(b.asStr());
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    throwValueError();
}

} // namespace sandbox::plsql
