// value.h - the values the sandbox server computes with: Oracle NUMBER as a
// decimal, DATE, character strings, BOOLEAN (PL/SQL only) and NULL.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace sandbox {

__extension__ typedef __int128 Int128;  // GCC/Clang built-in, 38 decimal digits

// Oracle NUMBER: a decimal with up to 38 significant digits (a 128-bit
// coefficient times a power of ten). Arithmetic is exact where the result
// fits; division and results that do not fit are rounded to 38 significant
// digits (Oracle keeps 38 to 40, depending on where the decimal point falls). Operations that Oracle rejects throw OraError
// (division by zero: ORA-01476).
class Number {
public:
    Number() = default;                     // zero
    static Number fromInt(int64_t v);
    static Number fromDouble(double v);      // shortest decimal that round-trips
    // Parses Oracle's numeric literal forms: "12", "-1.5", ".5", "1e3", " 7 ".
    // Empty or malformed text gives nullopt (callers raise ORA-01722 / ORA-06502).
    static std::optional<Number> parse(std::string_view text);

    // Oracle's text-minimum form: "10", "1.5", ".5", "-.5", "0".
    std::string toString() const;
    double toDouble() const;
    bool isInteger() const;
    // The value when it is an integer that fits; nullopt otherwise.
    std::optional<int64_t> toInt64() const;
    bool isZero() const { return coef_ == 0; }
    bool isNegative() const { return coef_ < 0; }

    Number operator-() const;
    friend Number operator+(const Number& a, const Number& b);
    friend Number operator-(const Number& a, const Number& b);
    friend Number operator*(const Number& a, const Number& b);
    friend Number operator/(const Number& a, const Number& b);   // ORA-01476 on zero
    friend bool operator==(const Number& a, const Number& b);
    friend std::strong_ordering operator<=>(const Number& a, const Number& b);

    Number mod(const Number& d) const;       // Oracle MOD: a - d*TRUNC(a/d); MOD(a,0) = a
    Number round(int places = 0) const;      // half away from zero
    Number trunc(int places = 0) const;
    Number floor() const;
    Number ceil() const;
    Number abs() const;
    int sign() const;

private:
    Number(Int128 coef, int exp) : coef_(coef), exp_(exp) {}
    void normalize();
    friend struct NumberOps;

    Int128 coef_ = 0;   // value = coef_ * 10^exp_
    int exp_ = 0;
};

// Oracle DATE: a calendar date and time to the second, no time zone.
struct DateTime {
    int64_t seconds = 0;  // seconds since 0001-01-01 00:00:00 (proleptic Gregorian)

    static DateTime fromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    void toParts(int& year, int& month, int& day, int& hour, int& minute, int& second) const;
    static DateTime now();  // local time of the machine, as SYSDATE
    // Default NLS form DD-MON-RR ("05-JAN-24").
    std::string toString() const;
    friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

// A value as the server passes it around. The empty string is never stored:
// Oracle treats '' as NULL, and Value::string("") yields NULL.
class Value {
public:
    enum class Kind { Null, Number, String, Date, Boolean };

    Value() = default;  // NULL
    static Value null() { return Value(); }
    static Value number(const Number& n) { Value v; v.v_ = n; return v; }
    static Value integer(int64_t i) { return number(Number::fromInt(i)); }
    static Value string(std::string s) { Value v; if (!s.empty()) v.v_ = std::move(s); return v; }
    static Value date(DateTime d) { Value v; v.v_ = d; return v; }
    static Value boolean(bool b) { Value v; v.v_ = b; return v; }

    Kind kind() const { return static_cast<Kind>(v_.index()); }
    bool isNull() const { return kind() == Kind::Null; }

    const Number& asNumber() const { return std::get<Number>(v_); }
    const std::string& asString() const { return std::get<std::string>(v_); }
    DateTime asDate() const { return std::get<DateTime>(v_); }
    bool asBoolean() const { return std::get<bool>(v_); }

    // Implicit conversion to text as Oracle does it (NUMBER in text-minimum
    // form, DATE as DD-MON-RR, BOOLEAN as TRUE/FALSE); NULL gives "".
    std::string toText() const;
    // Implicit conversion to NUMBER; throws OraError ORA-06502 (character to
    // number conversion error) for text that is not a number. NULL gives nullopt.
    std::optional<Number> toNumber() const;

    friend bool operator==(const Value&, const Value&) = default;

private:
    std::variant<std::monostate, Number, std::string, DateTime, bool> v_;
};

} // namespace sandbox
