// formats.cpp - Oracle's date and number format models.
#include "sandbox/sql/formats.h"

#include "sandbox/ora_error.h"
#include "sandbox/sql/lexer.h"

#include <cctype>
#include <cstdio>
#include <ctime>

namespace sandbox::sql {

namespace {

const char* const kMonthNames[] = {"JANUARY", "FEBRUARY", "MARCH", "APRIL", "MAY", "JUNE", "JULY",
                                   "AUGUST", "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
const char* const kDayNames[] = {"MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY", "SUNDAY"};

bool startsWithCi(std::string_view s, size_t at, std::string_view w)
{
    if (at + w.size() > s.size()) return false;
    for (size_t i = 0; i < w.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(s[at + i])) != w[i]) return false;
    return true;
}

// Applies the case of the format element to a name: MON -> JAN, Mon -> Jan, mon -> jan.
std::string caseLike(std::string_view fmtElem, std::string name)
{
    bool firstUpper = !fmtElem.empty() && std::isupper(static_cast<unsigned char>(fmtElem[0]));
    bool secondUpper = fmtElem.size() > 1 && std::isupper(static_cast<unsigned char>(fmtElem[1]));
    for (size_t i = 0; i < name.size(); ++i) {
        bool up = i == 0 ? firstUpper : (firstUpper && secondUpper);
        name[i] = static_cast<char>(up ? std::toupper(static_cast<unsigned char>(name[i]))
                                       : std::tolower(static_cast<unsigned char>(name[i])));
    }
    return name;
}

std::string pad(std::string s, size_t width, bool fm)
{
    if (!fm && s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

std::string num(long v, int width, bool fm)
{
    char buf[32];
    if (fm) std::snprintf(buf, sizeof buf, "%ld", v);
    else std::snprintf(buf, sizeof buf, "%0*ld", width, v);
    return buf;
}

int currentYear()
{
    int y, m, d, hh, mi, ss;
    DateTime::now().toParts(y, m, d, hh, mi, ss);
    return y;
}

[[noreturn]] void mismatch() { throw OraError::make(1861, "literal does not match format string"); }

} // namespace

std::string storedDate(DateTime dt)
{
    int y, m, d, hh, mi, ss;
    dt.toParts(y, m, d, hh, mi, ss);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d, hh, mi, ss);
    return buf;
}

std::optional<DateTime> parseStoredDate(std::string_view t)
{
    // Exactly NNNN-NN-NN NN:NN:NN, or the date part alone.
    auto dig = [&](size_t i) { return i < t.size() && t[i] >= '0' && t[i] <= '9'; };
    auto val = [&](size_t i, size_t n) {
        int v = 0;
        for (size_t k = 0; k < n; ++k) v = v * 10 + (t[i + k] - '0');
        return v;
    };
    if (t.size() != 19 && t.size() != 10) return std::nullopt;
    for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u})
        if (!dig(i)) return std::nullopt;
    if (t[4] != '-' || t[7] != '-') return std::nullopt;
    int hh = 0, mi = 0, ss = 0;
    if (t.size() == 19) {
        for (size_t i : {11u, 12u, 14u, 15u, 17u, 18u})
            if (!dig(i)) return std::nullopt;
        if (t[10] != ' ' || t[13] != ':' || t[16] != ':') return std::nullopt;
        hh = val(11, 2), mi = val(14, 2), ss = val(17, 2);
    }
    int y = val(0, 4), m = val(5, 2), d = val(8, 2);
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > 31 || hh > 23 || mi > 59 || ss > 59) return std::nullopt;
    return DateTime::fromParts(y, m, d, hh, mi, ss);
}

std::string formatDate(DateTime dt, std::string_view f)
{
    int y, m, d, hh, mi, ss;
    dt.toParts(y, m, d, hh, mi, ss);
    int64_t days = dt.seconds >= 0 ? dt.seconds / 86400 : (dt.seconds - 86399) / 86400;
    int dow = static_cast<int>(((days % 7) + 7) % 7);   // 0001-01-01 was a Monday
    std::string out;
    bool fm = false;
    size_t i = 0;
    while (i < f.size()) {
        auto take = [&](std::string_view w) {
            if (startsWithCi(f, i, w)) { i += w.size(); return true; }
            return false;
        };
        size_t at = i;
        if (take("FM")) { fm = !fm; continue; }
        if (f[i] == '"') {
            size_t e = f.find('"', i + 1);
            if (e == std::string_view::npos) e = f.size();
            out += f.substr(i + 1, e - i - 1);
            i = e < f.size() ? e + 1 : e;
            continue;
        }
        if (take("YYYY") || take("RRRR") || take("SYYYY")) out += num(y, 4, fm);
        else if (take("YYY")) out += num(y % 1000, 3, fm);
        else if (take("YY") || take("RR")) out += num(y % 100, 2, fm);
        else if (take("MONTH")) out += pad(caseLike(f.substr(at, 5), kMonthNames[m - 1]), 9, fm);
        else if (take("MON")) out += caseLike(f.substr(at, 3), std::string(kMonthNames[m - 1]).substr(0, 3));
        else if (take("MM")) out += num(m, 2, fm);
        else if (take("DDD")) {
            int64_t jan1 = DateTime::fromParts(y, 1, 1).seconds / 86400;
            out += num(static_cast<long>(days - jan1 + 1), 3, fm);
        }
        else if (take("DAY")) out += pad(caseLike(f.substr(at, 3), kDayNames[dow]), 9, fm);
        else if (take("DY")) out += caseLike(f.substr(at, 2), std::string(kDayNames[dow]).substr(0, 3));
        else if (take("DD")) out += num(d, 2, fm);
        else if (take("D")) out += num((dow + 1) % 7 + 1, 1, fm);   // Sunday = 1 (AMERICA)
        else if (take("HH24")) out += num(hh, 2, fm);
        else if (take("HH12") || take("HH")) out += num(hh % 12 == 0 ? 12 : hh % 12, 2, fm);
        else if (take("MI")) out += num(mi, 2, fm);
        else if (take("SSSSS")) out += num(hh * 3600 + mi * 60 + ss, 5, fm);
        else if (take("SS")) out += num(ss, 2, fm);
        else if (take("A.M.") || take("P.M.")) out += caseLike(f.substr(at, 1) == "a" || f.substr(at, 1) == "p" ? "am" : "AM", hh < 12 ? "A.M." : "P.M.");
        else if (take("AM") || take("PM")) out += caseLike(f.substr(at, 2), hh < 12 ? "AM" : "PM");
        else if (take("Q")) out += num((m - 1) / 3 + 1, 1, fm);
        else if (take("J")) out += num(static_cast<long>(days + 1721426), 7, fm);
        else if (std::isalnum(static_cast<unsigned char>(f[i])))
            throw OraError::make(1821, "date format not recognized");
        else out += f[i++];
    }
    return out;
}

DateTime parseDate(std::string_view t, std::string_view f)
{
    int y = -1, m = -1, d = -1, hh = 0, mi = 0, ss = 0;
    bool pm = false, ampm = false;
    size_t p = 0;
    auto skipBlanks = [&] { while (p < t.size() && t[p] == ' ') ++p; };
    auto readInt = [&](size_t maxDigits) {
        skipBlanks();
        size_t b = p;
        long v = 0;
        bool neg = p < t.size() && t[p] == '-' && maxDigits >= 4;
        if (neg) ++p;
        while (p < t.size() && p - b < maxDigits + (neg ? 1 : 0) && std::isdigit(static_cast<unsigned char>(t[p])))
            v = v * 10 + (t[p++] - '0');
        if (p == b || (neg && p == b + 1)) mismatch();
        return std::pair<long, size_t>(neg ? -v : v, p - b);
    };
    size_t i = 0;
    while (i < f.size()) {
        auto take = [&](std::string_view w) {
            if (startsWithCi(f, i, w)) { i += w.size(); return true; }
            return false;
        };
        if (take("FM") || take("FX")) continue;
        if (f[i] == '"') {
            size_t e = f.find('"', i + 1);
            if (e == std::string_view::npos) e = f.size();
            p += e - i - 1;
            i = e < f.size() ? e + 1 : e;
            continue;
        }
        if (take("YYYY") || take("SYYYY")) y = static_cast<int>(readInt(4).first);
        else if (take("RRRR")) {
            auto [v, n] = readInt(4);
            y = static_cast<int>(n <= 2 ? (v < 50 ? 2000 + v : 1900 + v) : v);
        }
        else if (take("YY")) y = currentYear() / 100 * 100 + static_cast<int>(readInt(2).first);
        else if (take("RR")) {
            auto [v, n] = readInt(4);
            y = static_cast<int>(n <= 2 ? (v < 50 ? 2000 + v : 1900 + v) : v);
        }
        else if (take("MONTH") || take("MON")) {
            skipBlanks();
            int found = -1;
            for (int k = 0; k < 12 && found < 0; ++k) {
                std::string_view full = kMonthNames[k];
                if (startsWithCi(t, p, full)) { found = k; p += full.size(); }
                else if (startsWithCi(t, p, full.substr(0, 3))) { found = k; p += 3; }
            }
            if (found < 0) throw OraError::make(1843, "not a valid month");
            m = found + 1;
        }
        else if (take("MM")) m = static_cast<int>(readInt(2).first);
        else if (take("DDD")) readInt(3);
        else if (take("DAY") || take("DY")) {
            skipBlanks();
            bool ok = false;
            for (std::string_view name : kDayNames) {
                if (startsWithCi(t, p, name)) { p += name.size(); ok = true; break; }
                if (startsWithCi(t, p, name.substr(0, 3))) { p += 3; ok = true; break; }
            }
            if (!ok) throw OraError::make(1846, "not a valid day of the week");
        }
        else if (take("DD")) d = static_cast<int>(readInt(2).first);
        else if (take("HH24")) hh = static_cast<int>(readInt(2).first);
        else if (take("HH12") || take("HH")) { hh = static_cast<int>(readInt(2).first); ampm = true; }
        else if (take("MI")) mi = static_cast<int>(readInt(2).first);
        else if (take("SSSSS")) {
            long v = readInt(5).first;
            hh = static_cast<int>(v / 3600), mi = static_cast<int>(v / 60 % 60), ss = static_cast<int>(v % 60);
        }
        else if (take("SS")) ss = static_cast<int>(readInt(2).first);
        else if (take("AM") || take("PM") || take("A.M.") || take("P.M.")) {
            skipBlanks();
            if (startsWithCi(t, p, "PM") || startsWithCi(t, p, "P.M.")) pm = true;
            else if (!startsWithCi(t, p, "AM") && !startsWithCi(t, p, "A.M.")) mismatch();
            p += t.size() > p + 2 && t[p + 1] == '.' ? 4 : 2;
            ampm = true;
        }
        else if (std::isalnum(static_cast<unsigned char>(f[i]))) throw OraError::make(1821, "date format not recognized");
        else {
            // Punctuation in the format matches any punctuation (or none) in the text.
            ++i;
            skipBlanks();
            if (p < t.size() && !std::isalnum(static_cast<unsigned char>(t[p]))) ++p;
        }
    }
    skipBlanks();
    if (p < t.size()) throw OraError::make(1830, "date format picture ends before converting entire input string");
    if (ampm) {
        if (hh < 1 || hh > 12) throw OraError::make(1849, "hour must be between 1 and 12");
        hh = hh % 12 + (pm ? 12 : 0);
    }
    int cy = 0, cm = 0, cd = 0, x1, x2, x3;
    DateTime::now().toParts(cy, cm, cd, x1, x2, x3);
    if (y < 0) y = cy;
    if (m < 0) m = cm;
    if (d < 0) d = 1;
    if (y < 1 || y > 9999) throw OraError::make(1841, "(full) year must be between -4713 and +9999, and not be 0");
    if (m < 1 || m > 12) throw OraError::make(1843, "not a valid month");
    static const int mdays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int maxd = mdays[m - 1] + (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0) ? 1 : 0);
    if (d < 1 || d > maxd) throw OraError::make(1847, "day of month must be between 1 and last day of month");
    if (hh < 0 || hh > 23) throw OraError::make(1850, "hour must be between 0 and 23");
    if (mi < 0 || mi > 59) throw OraError::make(1851, "minutes must be between 0 and 59");
    if (ss < 0 || ss > 59) throw OraError::make(1852, "seconds must be between 0 and 59");
    return DateTime::fromParts(y, m, d, hh, mi, ss);
}

std::string formatNumber(const Number& n, std::string_view fmt)
{
    std::string f = upper(fmt);
    bool fm = false, dollar = false, leadingSign = false, trailingMinus = false;
    if (f.rfind("FM", 0) == 0) { fm = true; f.erase(0, 2); }
    if (!f.empty() && f[0] == 'S') { leadingSign = true; f.erase(0, 1); }
    if (f.size() >= 2 && f.compare(f.size() - 2, 2, "MI") == 0) { trailingMinus = true; f.erase(f.size() - 2); }
    std::string pattern;
    for (char c : f) {
        if (c == '$' || c == 'L') dollar = true;
        else if (c == '9' || c == '0' || c == ',' || c == '.' ) pattern += c;
        else if (c == 'G') pattern += ',';
        else if (c == 'D') pattern += '.';
        else throw OraError::make(1481, "invalid number format model");
    }
    size_t dot = pattern.find('.');
    std::string intPat = pattern.substr(0, dot);
    std::string fracPat = dot == std::string::npos ? "" : pattern.substr(dot + 1);
    if (fracPat.find_first_of(",.") != std::string::npos) throw OraError::make(1481, "invalid number format model");
    int decimals = static_cast<int>(fracPat.size());
    Number r = n.abs().round(decimals);
    std::string digits = r.trunc(0).toString();
    if (digits == "0") digits.clear();
    std::string frac;
    if (decimals > 0) {
        Number f2 = r - r.trunc(0);
        std::string fs = f2.toString();           // ".25" or "0"
        if (fs.size() > 1 && fs[0] == '.') frac = fs.substr(1);
        frac.resize(static_cast<size_t>(decimals), '0');
    }
    size_t intSlots = 0;
    for (char c : intPat) if (c == '9' || c == '0') ++intSlots;
    if (digits.size() > intSlots) {
        return std::string(fmt.size() + 1, '#');
    }
    // Fill integer slots right to left.
    std::string intOut;
    size_t firstZero = intPat.find('0');
    int di = static_cast<int>(digits.size()) - 1;
    for (int k = static_cast<int>(intPat.size()) - 1; k >= 0; --k) {
        char c = intPat[static_cast<size_t>(k)];
        bool forced = firstZero != std::string::npos && static_cast<size_t>(k) >= firstZero;
        if (c == ',') {
            bool more = di >= 0 || (firstZero != std::string::npos && static_cast<size_t>(k) > firstZero);
            intOut.insert(intOut.begin(), more ? ',' : ' ');
            continue;
        }
        if (di >= 0) intOut.insert(intOut.begin(), digits[static_cast<size_t>(di--)]);
        else if (forced) intOut.insert(intOut.begin(), '0');
        else intOut.insert(intOut.begin(), ' ');
    }
    // No integer digit at all and no fraction: Oracle prints "0".
    if (decimals == 0 && intOut.find_first_not_of(' ') == std::string::npos && !intOut.empty())
        intOut.back() = '0';
    std::string body = intOut;
    if (dot != std::string::npos) {
        if (fm) {
            // FM drops trailing zeros of the 9 positions of the fraction.
            size_t keep = frac.size();
            while (keep > 0 && frac[keep - 1] == '0' && fracPat[keep - 1] == '9') --keep;
            frac.resize(keep);
        }
        body += "." + frac;
    }
    size_t firstDigit = body.find_first_not_of(' ');
    std::string lead = body.substr(0, firstDigit == std::string::npos ? body.size() : firstDigit);
    std::string rest = firstDigit == std::string::npos ? "" : body.substr(firstDigit);
    bool neg = n.isNegative() && !(r.isZero());
    std::string sign;
    if (leadingSign) sign = neg ? "-" : "+";
    else if (!trailingMinus) sign = neg ? "-" : (fm ? "" : " ");
    std::string out = lead + sign + (dollar ? "$" : "") + rest + (trailingMinus ? (neg ? "-" : (fm ? "" : " ")) : "");
    if (fm) {
        size_t b = out.find_first_not_of(' ');
        out = b == std::string::npos ? "" : out.substr(b);
    }
    return out;
}

Number parseNumber(std::string_view text, std::string_view fmt)
{
    std::string s;
    bool neg = false;
    for (char c : text) {
        if (c == ' ' || c == '\t') continue;
        if (!fmt.empty() && (c == ',' || c == '$')) continue;
        if (!fmt.empty() && c == '-' && s.empty()) { neg = true; continue; }
        s += c;
    }
    if (!fmt.empty() && !s.empty() && s.back() == '-') { neg = true; s.pop_back(); }
    auto n = Number::parse(s);
    if (!n) throw OraError::make(1722, "invalid number");
    return neg ? -*n : *n;
}

} // namespace sandbox::sql
