// value.cpp - DATE arithmetic on the proleptic Gregorian calendar and the
// implicit conversions of Value.
#include "sandbox/value.h"

#include "sandbox/ora_error.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace sandbox {

namespace {

// Days since 1970-01-01 of a civil date (H. Hinnant's algorithm).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void civilFromDays(int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

const int64_t kEpochOffsetDays = -daysFromCivil(1, 1, 1);  // days from 0001-01-01 to 1970-01-01

const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                               "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

} // namespace

DateTime DateTime::fromParts(int year, int month, int day, int hour, int minute, int second)
{
    int64_t days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kEpochOffsetDays;
    return DateTime{days * 86400 + hour * 3600 + minute * 60 + second};
}

void DateTime::toParts(int& year, int& month, int& day, int& hour, int& minute, int& second) const
{
    int64_t days = seconds / 86400, rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    civilFromDays(days - kEpochOffsetDays, year, month, day);
    hour = static_cast<int>(rest / 3600);
    minute = static_cast<int>(rest / 60 % 60);
    second = static_cast<int>(rest % 60);
}

DateTime DateTime::now()
{
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return fromParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
}

std::string DateTime::toString() const
{
    int y, m, d, hh, mi, ss;
    toParts(y, m, d, hh, mi, ss);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%s-%02d", d, kMonths[m - 1], ((y % 100) + 100) % 100);
    return buf;
}

std::string Value::toText() const
{
    switch (kind()) {
    case Kind::Null: return {};
    case Kind::Number: return asNumber().toString();
    case Kind::String: return asString();
    case Kind::Date: return asDate().toString();
    case Kind::Boolean: return asBoolean() ? "TRUE" : "FALSE";
    }
    return {};
}

std::optional<Number> Value::toNumber() const
{
    switch (kind()) {
    case Kind::Null: return std::nullopt;
    case Kind::Number: return asNumber();
    case Kind::String:
        if (auto n = Number::parse(asString()))
            return n;
        throw OraError::make(6502, "PL/SQL: numeric or value error: character to number conversion error");
    case Kind::Date:
    case Kind::Boolean: break;
    }
    throw OraError::make(6502, "PL/SQL: numeric or value error");
}

} // namespace sandbox
