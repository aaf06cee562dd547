// functions.cpp - Oracle semantics for the SQL functions and the operators
// SQLite gets wrong for Oracle (division, concatenation, DATE arithmetic).
// Every function turns '' into NULL and reports errors as ORA- texts.
#include "sandbox/sql/functions.h"

#include "sandbox/ora_error.h"
#include "sandbox/sql/formats.h"
#include "sandbox/sql/lexer.h"
#include "sandbox/sql/sqlite_values.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace sandbox::sql {

namespace {

using Args = std::vector<Value>;
using Impl = Value (*)(FunctionHost*, const Args&);

[[noreturn]] void argCount() { throw OraError::make(909, "invalid number of arguments"); }

void need(const Args& a, size_t lo, size_t hi)
{
    if (a.size() < lo || a.size() > hi) argCount();
}

bool anyNull(const Args& a)
{
    for (const Value& v : a)
        if (v.isNull()) return true;
    return false;
}

Number toNum(const Value& v)
{
    if (v.kind() == Value::Kind::Number) return v.asNumber();
    if (v.kind() == Value::Kind::String) {
        if (auto n = Number::parse(v.asString())) return *n;
        throw OraError::make(1722, "invalid number");
    }
    if (v.kind() == Value::Kind::Boolean) return Number::fromInt(v.asBoolean() ? 1 : 0);
    throw OraError::make(932, "inconsistent datatypes: expected NUMBER got DATE");
}

int toInt(const Value& v)
{
    Number n = toNum(v).trunc(0);
    auto i = n.toInt64();
    if (!i) return n.isNegative() ? -1000000000 : 1000000000;
    if (*i > 1000000000) return 1000000000;
    if (*i < -1000000000) return -1000000000;
    return static_cast<int>(*i);
}

DateTime toDate(const Value& v)
{
    if (v.kind() == Value::Kind::Date) return v.asDate();
    if (v.kind() == Value::Kind::String) return parseDate(v.asString(), "DD-MON-RR");
    throw OraError::make(932, "inconsistent datatypes: expected DATE got NUMBER");
}

std::string text(const Value& v) { return v.toText(); }

// UTF-8 code point boundaries of s (size()+1 entries, the last is s.size()).
std::vector<size_t> charStarts(const std::string& s)
{
    std::vector<size_t> r;
    for (size_t i = 0; i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) r.push_back(i);
    r.push_back(s.size());
    return r;
}

Value str(std::string s) { return Value::string(std::move(s)); }

Value num(const Number& n) { return Value::number(n); }

Value fnDiv(FunctionHost*, const Args& a)
{
    need(a, 2, 2);
    if (anyNull(a)) return {};
    Number d = toNum(a[1]);
    if (d.isZero()) throw OraError::make(1476, "divisor is equal to zero");
    return num(toNum(a[0]) / d);
}

Value fnAdd(FunctionHost*, const Args& a)
{
    need(a, 2, 2);
    if (anyNull(a)) return {};
    auto days = [](const Value& v) { return static_cast<int64_t>(std::llround(toNum(v).toDouble() * 86400.0)); };
    if (a[0].kind() == Value::Kind::Date) return Value::date(DateTime{a[0].asDate().seconds + days(a[1])});
    if (a[1].kind() == Value::Kind::Date) return Value::date(DateTime{a[1].asDate().seconds + days(a[0])});
    return num(toNum(a[0]) + toNum(a[1]));
}

Value fnSub(FunctionHost*, const Args& a)
{
    need(a, 2, 2);
    if (anyNull(a)) return {};
    if (a[0].kind() == Value::Kind::Date && a[1].kind() == Value::Kind::Date)
        return num(Number::fromInt(a[0].asDate().seconds - a[1].asDate().seconds) / Number::fromInt(86400));
    if (a[0].kind() == Value::Kind::Date)
        return Value::date(DateTime{a[0].asDate().seconds -
                                    static_cast<int64_t>(std::llround(toNum(a[1]).toDouble() * 86400.0))});
    return num(toNum(a[0]) - toNum(a[1]));
}

Value fnConcat(FunctionHost*, const Args& a)
{
    need(a, 2, 2);
    return str(text(a[0]) + text(a[1]));
}

bool equalForDecode(const Value& x, const Value& y)
{
    if (x.isNull() || y.isNull()) return x.isNull() && y.isNull();
    if (x.kind() == Value::Kind::Number || y.kind() == Value::Kind::Number) {
        auto nx = Number::parse(text(x)), ny = Number::parse(text(y));
        return nx && ny && *nx == *ny;
    }
    return text(x) == text(y);
}

Value fnDecode(FunctionHost*, const Args& a)
{
    if (a.size() < 3) argCount();
    size_t i = 1;
    for (; i + 1 < a.size(); i += 2)
        if (equalForDecode(a[0], a[i])) return a[i + 1];
    return i < a.size() ? a[i] : Value();
}

Value fnSubstr(FunctionHost*, const Args& a)
{
    need(a, 2, 3);
    if (anyNull(a)) return {};
    std::string s = text(a[0]);
    auto cs = charStarts(s);
    long len = static_cast<long>(cs.size()) - 1;
    long pos = toInt(a[1]);
    if (pos == 0) pos = 1;
    if (pos < 0) pos = len + pos + 1;
    if (pos < 1 || pos > len) return {};
    long count = a.size() == 3 ? toInt(a[2]) : len;
    if (count < 1) return {};
    long endc = std::min(len, pos - 1 + count);
    return str(s.substr(cs[static_cast<size_t>(pos - 1)], cs[static_cast<size_t>(endc)] - cs[static_cast<size_t>(pos - 1)]));
}

Value fnInstr(FunctionHost*, const Args& a)
{
    need(a, 2, 4);
    if (anyNull(a)) return {};
    std::string s = text(a[0]), sub = text(a[1]);
    auto cs = charStarts(s);
    long len = static_cast<long>(cs.size()) - 1;
    long pos = a.size() >= 3 ? toInt(a[2]) : 1;
    long occ = a.size() == 4 ? toInt(a[3]) : 1;
    if (occ < 1) throw OraError::make(1428, "argument '" + std::to_string(occ) + "' is out of range");
    if (pos == 0) return Value::integer(0);
    std::vector<long> hits;
    for (long c = 0; c < len; ++c)
        if (s.compare(cs[static_cast<size_t>(c)], sub.size(), sub) == 0) hits.push_back(c + 1);
    if (pos > 0) {
        long seen = 0;
        for (long h : hits)
            if (h >= pos && ++seen == occ) return Value::integer(h);
    } else {
        long start = len + pos + 1, seen = 0;
        for (auto it = hits.rbegin(); it != hits.rend(); ++it)
            if (*it <= start && ++seen == occ) return Value::integer(*it);
    }
    return Value::integer(0);
}

Value fnLength(FunctionHost*, const Args& a)
{
    need(a, 1, 1);
    if (anyNull(a)) return {};
    return Value::integer(static_cast<int64_t>(charStarts(text(a[0])).size() - 1));
}

Value fnUpper(FunctionHost*, const Args& a)
{
    need(a, 1, 1);
    if (anyNull(a)) return {};
    return str(upper(text(a[0])));
}

Value fnLower(FunctionHost*, const Args& a)
{
    need(a, 1, 1);
    if (anyNull(a)) return {};
    std::string s = text(a[0]);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return str(s);
}

Value fnInitcap(FunctionHost*, const Args& a)
{
    need(a, 1, 1);
    if (anyNull(a)) return {};
    std::string s = text(a[0]);
    bool start = true;
    for (char& c : s) {
        bool alnum = std::isalnum(static_cast<unsigned char>(c));
        if (alnum) c = static_cast<char>(start ? std::toupper(static_cast<unsigned char>(c)) : std::tolower(static_cast<unsigned char>(c)));
        start = !alnum;
    }
    return str(s);
}

std::string trimSide(std::string s, const std::string& set, bool left, bool right)
{
    if (left) {
        size_t b = s.find_first_not_of(set);
        s = b == std::string::npos ? "" : s.substr(b);
    }
    if (right) {
        size_t e = s.find_last_not_of(set);
        s = e == std::string::npos ? "" : s.substr(0, e + 1);
    }
    return s;
}

Value fnLtrim(FunctionHost*, const Args& a)
{
    need(a, 1, 2);
    if (anyNull(a)) return {};
    return str(trimSide(text(a[0]), a.size() == 2 ? text(a[1]) : " ", true, false));
}

Value fnRtrim(FunctionHost*, const Args& a)
{
    need(a, 1, 2);
    if (anyNull(a)) return {};
    return str(trimSide(text(a[0]), a.size() == 2 ? text(a[1]) : " ", false, true));
}

Value fnTrim(FunctionHost*, const Args& a)
{
    need(a, 3, 3);
    if (anyNull(a)) return {};
    std::string mode = text(a[0]), ch = text(a[1]);
    if (ch.size() != 1) throw OraError::make(30001, "trim set should have only one character");
    return str(trimSide(text(a[2]), ch, mode != "T", mode != "L"));
}

Value padImpl(const Args& a, bool left)
{
    need(a, 2, 3);
    if (anyNull(a)) return {};
    std::string s = text(a[0]);
    long width = toInt(a[1]);
    std::string p = a.size() == 3 ? text(a[2]) : " ";
    if (width <= 0) return {};
    // VARCHAR2's limit: nobody gets a gigabyte of padding.
    if (width > 32767) throw OraError::make(1489, "result of string concatenation is too long");
    auto cs = charStarts(s);
    long len = static_cast<long>(cs.size()) - 1;
    if (len >= width) return str(s.substr(0, cs[static_cast<size_t>(width)]));
    std::string fill;
    auto pcs = charStarts(p);
    long plen = static_cast<long>(pcs.size()) - 1;
    for (long k = 0; k < width - len; ++k) {
        size_t c = static_cast<size_t>(k % plen);
        fill += p.substr(pcs[c], pcs[c + 1] - pcs[c]);
    }
    return str(left ? fill + s : s + fill);
}

Value fnLpad(FunctionHost*, const Args& a) { return padImpl(a, true); }
Value fnRpad(FunctionHost*, const Args& a) { return padImpl(a, false); }

Value fnReplace(FunctionHost*, const Args& a)
{
    need(a, 2, 3);
    if (a[0].isNull()) return {};
    std::string s = text(a[0]), from = text(a[1]), to = a.size() == 3 ? text(a[2]) : "";
    if (from.empty()) return str(s);
    std::string r;
    size_t i = 0;
    for (;;) {
        size_t k = s.find(from, i);
        if (k == std::string::npos) break;
        r += s.substr(i, k - i) + to;
        i = k + from.size();
    }
    r += s.substr(i);
    return str(r);
}

DateTime truncDate(DateTime d, const std::string& fmt)
{
    int y, m, dd, hh, mi, ss;
    d.toParts(y, m, dd, hh, mi, ss);
    std::string f = upper(fmt);
    if (f == "YYYY" || f == "YEAR" || f == "YY" || f == "Y" || f == "RR" || f == "RRRR") return DateTime::fromParts(y, 1, 1);
    if (f == "MM" || f == "MON" || f == "MONTH") return DateTime::fromParts(y, m, 1);
    if (f == "Q") return DateTime::fromParts(y, (m - 1) / 3 * 3 + 1, 1);
    if (f == "HH" || f == "HH24" || f == "HH12") return DateTime::fromParts(y, m, dd, hh);
    if (f == "MI") return DateTime::fromParts(y, m, dd, hh, mi);
    if (f == "DD" || f == "DDD" || f == "J" || f.empty()) return DateTime::fromParts(y, m, dd);
    throw OraError::make(1898, "too many precision specifiers");
}

Value fnRound(FunctionHost*, const Args& a)
{
    need(a, 1, 2);
    if (anyNull(a)) return {};
    if (a[0].kind() == Value::Kind::Date) {
        DateTime d = a[0].asDate();
        std::string fmt = a.size() == 2 ? text(a[1]) : "DD";
        if (upper(fmt) == "DD" || fmt.empty()) return Value::date(truncDate(DateTime{d.seconds + 43200}, "DD"));
        return Value::date(truncDate(d, fmt));
    }
    return num(toNum(a[0]).round(a.size() == 2 ? toInt(a[1]) : 0));
}

Value fnTrunc(FunctionHost*, const Args& a)
{
    need(a, 1, 2);
    if (anyNull(a)) return {};
    if (a[0].kind() == Value::Kind::Date) return Value::date(truncDate(a[0].asDate(), a.size() == 2 ? text(a[1]) : ""));
    return num(toNum(a[0]).trunc(a.size() == 2 ? toInt(a[1]) : 0));
}

Value fnMod(FunctionHost*, const Args& a)
{
    need(a, 2, 2);
    if (anyNull(a)) return {};
    return num(toNum(a[0]).mod(toNum(a[1])));
}

Value fnAbs(FunctionHost*, const Args& a) { need(a, 1, 1); return anyNull(a) ? Value() : num(toNum(a[0]).abs()); }
Value fnCeil(FunctionHost*, const Args& a) { need(a, 1, 1); return anyNull(a) ? Value() : num(toNum(a[0]).ceil()); }
Value fnFloor(FunctionHost*, const Args& a) { need(a, 1, 1); return anyNull(a) ? Value() : num(toNum(a[0]).floor()); }
Value fnSign(FunctionHost*, const Args& a) { need(a, 1, 1); return anyNull(a) ? Value() : Value::integer(toNum(a[0]).sign()); }

Value fnPower(FunctionHost*, const Args& a)
{
    need(a, 2, 2);
    if (anyNull(a)) return {};
    Number b = toNum(a[0]), e = toNum(a[1]);
    if (auto ei = e.toInt64(); ei && *ei >= 0 && *ei <= 64) {
        Number r = Number::fromInt(1);
        for (int64_t k = 0; k < *ei; ++k) r = r * b;
        return num(r);
    }
    double d = std::pow(b.toDouble(), e.toDouble());
    if (!std::isfinite(d)) throw OraError::make(1428, "argument is out of range");
    return num(realToNumber(d));
}

Value fnSqrt(FunctionHost*, const Args& a)
{
    need(a, 1, 1);
    if (anyNull(a)) return {};
    double d = toNum(a[0]).toDouble();
    if (d < 0) throw OraError::make(1428, "argument '" + toNum(a[0]).toString() + "' is out of range");
    return num(realToNumber(std::sqrt(d)));
}

Value fnExp(FunctionHost*, const Args& a) { need(a, 1, 1); return anyNull(a) ? Value() : num(realToNumber(std::exp(toNum(a[0]).toDouble()))); }

Value fnLn(FunctionHost*, const Args& a)
{
    need(a, 1, 1);
    if (anyNull(a)) return {};
    double d = toNum(a[0]).toDouble();
    if (d <= 0) throw OraError::make(1428, "argument '" + toNum(a[0]).toString() + "' is out of range");
    return num(realToNumber(std::log(d)));
}

int compareLike(const Value& first, const Value& x, const Value& y)
{
    // The first argument decides how the others compare, as in Oracle.
    if (first.kind() == Value::Kind::Number) {
        Number nx = toNum(x), ny = toNum(y);
        return nx < ny ? -1 : nx == ny ? 0 : 1;
    }
    if (first.kind() == Value::Kind::Date) {
        DateTime dx = toDate(x), dy = toDate(y);
        return dx < dy ? -1 : dx == dy ? 0 : 1;
    }
    std::string sx = text(x), sy = text(y);
    return sx < sy ? -1 : sx == sy ? 0 : 1;
}

Value extreme(const Args& a, int sign)
{
    if (a.empty()) argCount();
    if (anyNull(a)) return {};
    Value best = a[0];
    for (size_t i = 1; i < a.size(); ++i)
        if (compareLike(a[0], a[i], best) * sign > 0) best = a[i];
    if (a[0].kind() == Value::Kind::Number) return num(toNum(best));
    return best;
}

Value fnGreatest(FunctionHost*, const Args& a) { return extreme(a, 1); }
Value fnLeast(FunctionHost*, const Args& a) { return extreme(a, -1); }

Value fnToChar(FunctionHost*, const Args& a)
{
    need(a, 1, 3);
    if (a[0].isNull()) return {};
    if (a.size() == 1 || a[1].isNull()) return str(text(a[0]));
    std::string fmt = text(a[1]);
    if (a[0].kind() == Value::Kind::Date) return str(formatDate(a[0].asDate(), fmt));
    return str(formatNumber(toNum(a[0]), fmt));
}

Value fnToNumber(FunctionHost*, const Args& a)
{
    need(a, 1, 3);
    if (a[0].isNull()) return {};
    if (a[0].kind() == Value::Kind::Number) return a[0];
    return num(parseNumber(text(a[0]), a.size() >= 2 ? text(a[1]) : std::string()));
}

Value fnToDate(FunctionHost*, const Args& a)
{
    need(a, 1, 3);
    if (a[0].isNull()) return {};
    if (a[0].kind() == Value::Kind::Date) return a[0];
    std::string s = text(a[0]);
    if (a.size() == 1 || a[1].isNull()) {
        if (auto d = parseStoredDate(s)) return Value::date(*d);
        return Value::date(parseDate(s, "DD-MON-RR"));
    }
    return Value::date(parseDate(s, text(a[1])));
}

int daysIn(int y, int m)
{
    static const int md[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return md[m - 1] + (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0) ? 1 : 0);
}

Value fnAddMonths(FunctionHost*, const Args& a)
{
    need(a, 2, 2);
    if (anyNull(a)) return {};
    int y, m, d, hh, mi, ss;
    toDate(a[0]).toParts(y, m, d, hh, mi, ss);
    bool lastDay = d == daysIn(y, m);
    long total = static_cast<long>(y) * 12 + (m - 1) + toInt(a[1]);
    int ny = static_cast<int>(total / 12), nm = static_cast<int>(total % 12) + 1;
    if (ny < 1 || ny > 9999) throw OraError::make(1841, "(full) year must be between -4713 and +9999, and not be 0");
    int nd = lastDay ? daysIn(ny, nm) : std::min(d, daysIn(ny, nm));
    return Value::date(DateTime::fromParts(ny, nm, nd, hh, mi, ss));
}

Value fnLastDay(FunctionHost*, const Args& a)
{
    need(a, 1, 1);
    if (anyNull(a)) return {};
    int y, m, d, hh, mi, ss;
    toDate(a[0]).toParts(y, m, d, hh, mi, ss);
    return Value::date(DateTime::fromParts(y, m, daysIn(y, m), hh, mi, ss));
}

Value fnMonthsBetween(FunctionHost*, const Args& a)
{
    need(a, 2, 2);
    if (anyNull(a)) return {};
    DateTime d1 = toDate(a[0]), d2 = toDate(a[1]);
    int y1, m1, dd1, h1, mi1, s1, y2, m2, dd2, h2, mi2, s2;
    d1.toParts(y1, m1, dd1, h1, mi1, s1);
    d2.toParts(y2, m2, dd2, h2, mi2, s2);
    Number months = Number::fromInt((y1 - y2) * 12 + (m1 - m2));
    if (dd1 == dd2 || (dd1 == daysIn(y1, m1) && dd2 == daysIn(y2, m2))) return num(months);
    int64_t secs1 = (dd1 - 1) * 86400 + h1 * 3600 + mi1 * 60 + s1;
    int64_t secs2 = (dd2 - 1) * 86400 + h2 * 3600 + mi2 * 60 + s2;
    return num(months + Number::fromInt(secs1 - secs2) / Number::fromInt(31 * 86400));
}

Value fnExtract(FunctionHost*, const Args& a)
{
    need(a, 2, 2);
    if (a[1].isNull()) return {};
    int y, m, d, hh, mi, ss;
    toDate(a[1]).toParts(y, m, d, hh, mi, ss);
    std::string part = text(a[0]);
    int v = part == "YEAR" ? y : part == "MONTH" ? m : part == "DAY" ? d : part == "HOUR" ? hh : part == "MINUTE" ? mi
                                                                                             : part == "SECOND" ? ss : -1;
    if (v < 0) throw OraError::make(907, "missing right parenthesis");
    return Value::integer(v);
}

Value fnChr(FunctionHost*, const Args& a)
{
    need(a, 1, 1);
    if (anyNull(a)) return {};
    int c = toInt(a[0]);
    std::string s;
    if (c < 0 || c > 0x10FFFF) return {};
    if (c < 0x80) s += static_cast<char>(c);
    else if (c < 0x800) { s += static_cast<char>(0xC0 | (c >> 6)); s += static_cast<char>(0x80 | (c & 0x3F)); }
    else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12)); s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18)); s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F)); s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return str(s);
}

Value fnAscii(FunctionHost*, const Args& a)
{
    need(a, 1, 1);
    if (anyNull(a)) return {};
    std::string s = text(a[0]);
    return Value::integer(static_cast<unsigned char>(s[0]));
}

// The literal read as a date when the value it is compared with is a date.
Value fnAsDateOf(FunctionHost*, const Args& a)
{
    need(a, 2, 2);
    if (a[0].kind() != Value::Kind::Date || a[1].kind() != Value::Kind::String) return a[1];
    return Value::date(parseDate(a[1].asString(), "DD-MON-RR"));
}

Value fnSysdate(FunctionHost*, const Args& a) { need(a, 0, 0); return Value::date(DateTime::now()); }
Value fnUser(FunctionHost* h, const Args& a) { need(a, 0, 0); return str(h->user()); }

Value fnNextval(FunctionHost* h, const Args& a)
{
    need(a, 2, 2);
    return Value::integer(h->nextval(text(a[0]), text(a[1])));
}

Value fnCurrval(FunctionHost* h, const Args& a)
{
    need(a, 2, 2);
    return Value::integer(h->currval(text(a[0]), text(a[1])));
}

struct Entry {
    const char* name;
    Impl impl;
    bool deterministic;
};

const Entry kFunctions[] = {
    {"ORA_DIV", fnDiv, true}, {"ORA_ADD", fnAdd, true}, {"ORA_SUB", fnSub, true}, {"ORA_CONCAT", fnConcat, true},
    {"ORA_DECODE", fnDecode, true}, {"ORA_SUBSTR", fnSubstr, true}, {"ORA_INSTR", fnInstr, true},
    {"ORA_LENGTH", fnLength, true}, {"ORA_UPPER", fnUpper, true}, {"ORA_LOWER", fnLower, true},
    {"ORA_INITCAP", fnInitcap, true}, {"ORA_LTRIM", fnLtrim, true}, {"ORA_RTRIM", fnRtrim, true},
    {"ORA_TRIM", fnTrim, true}, {"ORA_LPAD", fnLpad, true}, {"ORA_RPAD", fnRpad, true},
    {"ORA_REPLACE", fnReplace, true}, {"ORA_ROUND", fnRound, true}, {"ORA_TRUNC", fnTrunc, true},
    {"ORA_MOD", fnMod, true}, {"ORA_ABS", fnAbs, true}, {"ORA_CEIL", fnCeil, true}, {"ORA_FLOOR", fnFloor, true},
    {"ORA_SIGN", fnSign, true}, {"ORA_POWER", fnPower, true}, {"ORA_SQRT", fnSqrt, true}, {"ORA_EXP", fnExp, true},
    {"ORA_LN", fnLn, true}, {"ORA_GREATEST", fnGreatest, true}, {"ORA_LEAST", fnLeast, true},
    {"ORA_TO_CHAR", fnToChar, true}, {"ORA_TO_NUMBER", fnToNumber, true}, {"ORA_TO_DATE", fnToDate, true},
    {"ORA_ADD_MONTHS", fnAddMonths, true}, {"ORA_LAST_DAY", fnLastDay, true},
    {"ORA_MONTHS_BETWEEN", fnMonthsBetween, true}, {"ORA_EXTRACT", fnExtract, true}, {"ORA_CHR", fnChr, true},
    {"ORA_ASCII", fnAscii, true}, {"ORA_AS_DATE_OF", fnAsDateOf, true}, {"ORA_SYSDATE", fnSysdate, false}, {"ORA_USER", fnUser, false},
    {"ORA_NEXTVAL", fnNextval, false}, {"ORA_CURRVAL", fnCurrval, false},
};

struct Bound {
    const Entry* entry;
    FunctionHost* host;
};

void callBound(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    auto* b = static_cast<Bound*>(sqlite3_user_data(ctx));
    try {
        Args args;
        args.reserve(static_cast<size_t>(argc));
        for (int i = 0; i < argc; ++i) {
            if (sqlite3_value_type(argv[i]) == SQLITE_FLOAT)
                if (const Number* exact = b->host->exactFor(sqlite3_value_double(argv[i]))) {
                    args.push_back(Value::number(*exact));
                    continue;
                }
            args.push_back(fromSqlite(argv[i]));
        }
        Value r = b->entry->impl(b->host, args);
        if (r.kind() == Value::Kind::Number && !r.asNumber().toInt64()) {
            double d = r.asNumber().toDouble();
            if (!(realToNumber(d) == r.asNumber())) b->host->rememberExact(d, r.asNumber());
        }
        resultValue(ctx, r);
    } catch (const std::exception& ex) {
        sqlite3_result_error(ctx, ex.what(), -1);
    }
}

// ORA_ONE_ROW: the value of a scalar subquery's only row; a second row is ORA-01427.
struct OneRow {
    sqlite3_value* value;
    int64_t rows;
};

void oneRowStep(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* s = static_cast<OneRow*>(sqlite3_aggregate_context(ctx, sizeof(OneRow)));
    if (!s) return;
    if (++s->rows == 1) s->value = sqlite3_value_dup(argv[0]);
    else if (s->rows == 2) sqlite3_result_error(ctx, "ORA-01427: single-row subquery returns more than one row", -1);
}

void oneRowFinal(sqlite3_context* ctx)
{
    auto* s = static_cast<OneRow*>(sqlite3_aggregate_context(ctx, 0));
    if (!s) { sqlite3_result_null(ctx); return; }
    if (s->rows > 1) sqlite3_result_error(ctx, "ORA-01427: single-row subquery returns more than one row", -1);
    else if (s->value) sqlite3_result_value(ctx, s->value);
    else sqlite3_result_null(ctx);
    sqlite3_value_free(s->value);
}

} // namespace

void registerFunctions(sqlite3* db, FunctionHost* host)
{
    sqlite3_create_function_v2(db, "ORA_ONE_ROW", 1, SQLITE_UTF8, nullptr, nullptr, oneRowStep, oneRowFinal, nullptr);
    for (const Entry& e : kFunctions) {
        int flags = SQLITE_UTF8 | (e.deterministic ? SQLITE_DETERMINISTIC : 0);
        auto* b = new Bound{&e, host};
        sqlite3_create_function_v2(db, e.name, -1, flags, b, callBound, nullptr, nullptr,
                                   [](void* p) { delete static_cast<Bound*>(p); });
    }
}

} // namespace sandbox::sql
