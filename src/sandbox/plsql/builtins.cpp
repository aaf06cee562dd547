// builtins.cpp - the built-in functions of PL/SQL expressions (the SQL
// functions usable in procedural code, RAISE_APPLICATION_ERROR) and the
// predefined exceptions.
#include "sandbox/plsql/builtins.h"

#include "sandbox/plsql/exec.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <map>

namespace sandbox::plsql {
namespace {

using Args = ArgSpan;

bool anyNull(const Args& a)
{
    for (const auto& v : a)
        if (v.isNull())
            return true;
    return false;
}

// Characters of UTF-8 text: byte offsets of each character start.
std::vector<size_t> charStarts(const std::string& s)
{
    std::vector<size_t> out;
    for (size_t i = 0; i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            out.push_back(i);
    return out;
}

std::string upperStr(std::string s)
{
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
std::string lowerStr(std::string s)
{
    for (auto& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// ---- strings ---------------------------------------------------------------------------------

Val fSubstr(Exec&, const Args& a)
{
    if (anyNull(a))
        return {};
    std::string s = toText(a[0]);
    auto starts = charStarts(s);
    int64_t n = static_cast<int64_t>(starts.size());
    int64_t pos = *toNumber(a[1])->trunc(0).toInt64();
    if (pos == 0)
        pos = 1;
    if (pos < 0)
        pos = n + pos + 1;
    if (pos < 1 || pos > n)
        return {};
    int64_t len = n - pos + 1;
    if (a.size() > 2) {
        len = *toNumber(a[2])->trunc(0).toInt64();
        if (len < 1)
            return {};
    }
    int64_t end = std::min(n, pos - 1 + len);
    size_t b = starts[pos - 1];
    size_t e = end >= n ? s.size() : starts[end];
    return Val::str(s.substr(b, e - b));
}

Val fLength(Exec&, const Args& a)
{
    if (a[0].isNull())
        return {};
    return Val::integer(static_cast<int64_t>(charStarts(toText(a[0])).size()));
}

Val fInstr(Exec&, const Args& a)
{
    if (anyNull(a))
        return {};
    std::string s = toText(a[0]), sub = toText(a[1]);
    int64_t pos = a.size() > 2 ? *toInt(a[2]) : 1;
    int64_t occ = a.size() > 3 ? *toInt(a[3]) : 1;
    if (occ < 1)
        throw OraError::make(1428, "argument '" + std::to_string(occ) + "' is out of range");
    auto starts = charStarts(s);
    int64_t n = static_cast<int64_t>(starts.size());
    auto charIndex = [&](size_t byte) {
        return static_cast<int64_t>(std::lower_bound(starts.begin(), starts.end(), byte) - starts.begin()) + 1;
    };
    if (pos > 0) {
        if (pos > n)
            return Val::integer(0);
        size_t from = starts[pos - 1];
        for (;;) {
            size_t f = s.find(sub, from);
            if (f == std::string::npos)
                return Val::integer(0);
            if (--occ == 0)
                return Val::integer(charIndex(f));
            from = f + 1;
        }
    }
    if (pos == 0)
        return Val::integer(0);
    int64_t startChar = n + pos + 1;
    if (startChar < 1)
        return Val::integer(0);
    size_t from = starts[startChar - 1];
    for (;;) {
        size_t f = s.rfind(sub, from);
        if (f == std::string::npos)
            return Val::integer(0);
        if (--occ == 0)
            return Val::integer(charIndex(f));
        if (f == 0)
            return Val::integer(0);
        from = f - 1;
    }
}

Val fUpper(Exec&, const Args& a) { return a[0].isNull() ? Val() : Val::str(upperStr(toText(a[0]))); }
Val fLower(Exec&, const Args& a) { return a[0].isNull() ? Val() : Val::str(lowerStr(toText(a[0]))); }
Val fInitcap(Exec&, const Args& a)
{
    if (a[0].isNull())
        return {};
    std::string s = toText(a[0]);
    bool start = true;
    for (auto& c : s) {
        unsigned char u = static_cast<unsigned char>(c);
        if (std::isalnum(u)) {
            c = static_cast<char>(start ? std::toupper(u) : std::tolower(u));
            start = false;
        } else {
            start = true;
        }
    }
    return Val::str(s);
}

std::string trimSet(const std::string& s, const std::string& set, bool left, bool right)
{
    size_t b = 0, e = s.size();
    if (left)
        while (b < e && set.find(s[b]) != std::string::npos)
            ++b;
    if (right)
        while (e > b && set.find(s[e - 1]) != std::string::npos)
            --e;
    return s.substr(b, e - b);
}

Val fLtrim(Exec&, const Args& a)
{
    if (anyNull(a))
        return {};
    return Val::str(trimSet(toText(a[0]), a.size() > 1 ? toText(a[1]) : " ", true, false));
}
Val fRtrim(Exec&, const Args& a)
{
    if (anyNull(a))
        return {};
    return Val::str(trimSet(toText(a[0]), a.size() > 1 ? toText(a[1]) : " ", false, true));
}
Val fTrim(Exec&, const Args& a)
{
    if (anyNull(a))
        return {};
    return Val::str(trimSet(toText(a[0]), " ", true, true));
}

Val pad(const Args& a, bool left)
{
    if (anyNull(a))
        return {};
    std::string s = toText(a[0]);
    int64_t len = *toInt(a[1]);
    std::string fill = a.size() > 2 ? toText(a[2]) : " ";
    if (len <= 0 || fill.empty())
        return {};
    auto starts = charStarts(s);
    int64_t n = static_cast<int64_t>(starts.size());
    if (n >= len)
        return Val::str(s.substr(0, len < n ? starts[len] : s.size()));
    std::string padding;
    auto fs = charStarts(fill);
    for (int64_t i = 0; i < len - n; ++i) {
        size_t k = static_cast<size_t>(i) % fs.size();
        size_t e = k + 1 < fs.size() ? fs[k + 1] : fill.size();
        padding += fill.substr(fs[k], e - fs[k]);
    }
    return Val::str(left ? padding + s : s + padding);
}
Val fLpad(Exec&, const Args& a) { return pad(a, true); }
Val fRpad(Exec&, const Args& a) { return pad(a, false); }

Val fReplace(Exec&, const Args& a)
{
    if (a[0].isNull())
        return {};
    std::string s = toText(a[0]);
    if (a[1].isNull())
        return Val::str(s);
    std::string from = toText(a[1]);
    std::string to = a.size() > 2 ? toText(a[2]) : "";
    std::string out;
    size_t p = 0;
    for (;;) {
        size_t f = s.find(from, p);
        if (f == std::string::npos)
            break;
        out += s.substr(p, f - p) + to;
        p = f + from.size();
    }
    out += s.substr(p);
    return Val::str(out);
}

Val fConcat(Exec&, const Args& a) { return Val::str(toText(a[0]) + toText(a[1])); }

Val fChr(Exec&, const Args& a)
{
    if (a[0].isNull())
        return {};
    int64_t c = *toInt(a[0]);
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | ((c >> 12) & 0x0F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return Val::str(s);
}

Val fAscii(Exec&, const Args& a)
{
    if (a[0].isNull())
        return {};
    return Val::integer(static_cast<unsigned char>(toText(a[0])[0]));
}

Val fTranslate(Exec&, const Args& a)
{
    if (anyNull(a))
        return {};
    std::string s = toText(a[0]), from = toText(a[1]), to = toText(a[2]), out;
    for (char c : s) {
        size_t k = from.find(c);
        if (k == std::string::npos)
            out += c;
        else if (k < to.size())
            out += to[k];
    }
    return Val::str(out);
}

// ---- numbers ---------------------------------------------------------------------------------

Val fAbs(Exec&, const Args& a) { return a[0].isNull() ? Val() : Val::number(toNumber(a[0])->abs()); }
Val fSign(Exec&, const Args& a) { return a[0].isNull() ? Val() : Val::integer(toNumber(a[0])->sign()); }
Val fFloor(Exec&, const Args& a) { return a[0].isNull() ? Val() : Val::number(toNumber(a[0])->floor()); }
Val fCeil(Exec&, const Args& a) { return a[0].isNull() ? Val() : Val::number(toNumber(a[0])->ceil()); }

Val fMod(Exec&, const Args& a)
{
    if (anyNull(a))
        return {};
    if (a[0].isInt() && a[1].isInt()) {
        int64_t y = a[1].asInt();
        return Val::integer(y == 0 ? a[0].asInt() : (y == -1 ? 0 : a[0].asInt() % y));
    }
    return Val::number(toNumber(a[0])->mod(*toNumber(a[1])));
}

Val fRemainder(Exec&, const Args& a)
{
    if (anyNull(a))
        return {};
    Number x = *toNumber(a[0]), y = *toNumber(a[1]);
    if (y.isZero())
        return Val::number(x);
    return Val::number(x - y * (x / y).round(0));
}

Val fPower(Exec&, const Args& a)
{
    if (anyNull(a))
        return {};
    Number b = *toNumber(a[0]), e = *toNumber(a[1]);
    if (auto i = e.toInt64(); i && *i >= 0 && *i <= 512) {
        Number r = Number::fromInt(1);
        for (int64_t k = 0; k < *i; ++k)
            r = r * b;
        return Val::number(r);
    }
    return Val::number(Number::fromDouble(std::pow(b.toDouble(), e.toDouble())));
}

Val fSqrt(Exec&, const Args& a)
{
    if (a[0].isNull())
        return {};
    double d = toNumber(a[0])->toDouble();
    if (d < 0)
        throw OraError::make(1428, "argument '" + toText(a[0]) + "' is out of range");
    return Val::number(Number::fromDouble(std::sqrt(d)));
}

DateTime truncDate(DateTime d, const std::string& fmt)
{
    int y, m, dd, hh, mi, ss;
    d.toParts(y, m, dd, hh, mi, ss);
    std::string f = upperStr(fmt);
    if (f == "YYYY" || f == "YEAR" || f == "YY" || f == "Y" || f == "RRRR" || f == "RR")
        return DateTime::fromParts(y, 1, 1);
    if (f == "MM" || f == "MON" || f == "MONTH")
        return DateTime::fromParts(y, m, 1);
    if (f == "HH" || f == "HH24")
        return DateTime::fromParts(y, m, dd, hh);
    if (f == "MI")
        return DateTime::fromParts(y, m, dd, hh, mi);
    if (f == "Q")
        return DateTime::fromParts(y, (m - 1) / 3 * 3 + 1, 1);
    return DateTime::fromParts(y, m, dd);
}

Val fRound(Exec&, const Args& a)
{
    if (a[0].isNull() || (a.size() > 1 && a[1].isNull()))
        return {};
    if (a[0].kind() == Val::K::Date) {
        DateTime d = a[0].asDate();
        if (a.size() == 1) {
            DateTime t = truncDate(d, "DD");
            return Val::date(d.seconds - t.seconds >= 43200 ? DateTime{t.seconds + 86400} : t);
        }
        return Val::date(truncDate(d, toText(a[1])));
    }
    int places = a.size() > 1 ? static_cast<int>(*toInt(a[1])) : 0;
    if (a[0].isInt() && places >= 0)
        return a[0];
    return Val::number(toNumber(a[0])->round(places));
}

Val fTrunc(Exec&, const Args& a)
{
    if (a[0].isNull() || (a.size() > 1 && a[1].isNull()))
        return {};
    if (a[0].kind() == Val::K::Date)
        return Val::date(truncDate(a[0].asDate(), a.size() > 1 ? toText(a[1]) : "DD"));
    int places = a.size() > 1 ? static_cast<int>(*toInt(a[1])) : 0;
    if (a[0].isInt() && places >= 0)
        return a[0];
    return Val::number(toNumber(a[0])->trunc(places));
}

Val greatestLeast(const Args& a, bool greatest)
{
    if (anyNull(a))
        return {};
    Val best = a[0];
    for (size_t i = 1; i < a.size(); ++i) {
        auto c = compare(a[i], best);
        if (c && (greatest ? *c > 0 : *c < 0))
            best = a[i];
    }
    return best;
}
Val fGreatest(Exec&, const Args& a) { return greatestLeast(a, true); }
Val fLeast(Exec&, const Args& a) { return greatestLeast(a, false); }

// ---- dates -------------------------------------------------------------------------------------

Val fSysdate(Exec&, const Args&) { return Val::date(DateTime::now()); }

int daysIn(int y, int m)
{
    static const int d[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d[m - 1] + (m == 2 && leap ? 1 : 0);
}

Val fAddMonths(Exec&, const Args& a)
{
    if (anyNull(a))
        return {};
    DateTime d = *toDate(a[0]);
    int64_t n = *toNumber(a[1])->trunc(0).toInt64();
    int y, m, dd, hh, mi, ss;
    d.toParts(y, m, dd, hh, mi, ss);
    bool last = dd == daysIn(y, m);
    int64_t months = static_cast<int64_t>(y) * 12 + (m - 1) + n;
    y = static_cast<int>(months / 12);
    m = static_cast<int>(months % 12) + 1;
    if (last || dd > daysIn(y, m))
        dd = daysIn(y, m);
    return Val::date(DateTime::fromParts(y, m, dd, hh, mi, ss));
}

Val fLastDay(Exec&, const Args& a)
{
    if (a[0].isNull())
        return {};
    int y, m, dd, hh, mi, ss;
    toDate(a[0])->toParts(y, m, dd, hh, mi, ss);
    return Val::date(DateTime::fromParts(y, m, daysIn(y, m), hh, mi, ss));
}

Val fMonthsBetween(Exec&, const Args& a)
{
    if (anyNull(a))
        return {};
    int y1, m1, d1, h1, i1, s1, y2, m2, d2, h2, i2, s2;
    DateTime a1 = *toDate(a[0]), a2 = *toDate(a[1]);
    a1.toParts(y1, m1, d1, h1, i1, s1);
    a2.toParts(y2, m2, d2, h2, i2, s2);
    int64_t months = (y1 - y2) * 12 + (m1 - m2);
    if (d1 == d2 || (d1 == daysIn(y1, m1) && d2 == daysIn(y2, m2)))
        return Val::integer(months);
    Number frac = Number::fromInt((d1 - d2) * 86400 + (h1 - h2) * 3600 + (i1 - i2) * 60 + (s1 - s2)) /
                  Number::fromInt(31 * 86400);
    return Val::number(Number::fromInt(months) + frac);
}

const char* const kMonthNames[] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
                                   "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
const char* const kDayNames[] = {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"};

std::string two(int v)
{
    char b[8];
    std::snprintf(b, sizeof b, "%02d", v);
    return b;
}

// Case of a format element applied to a name: MONTH, Month, month.
std::string cased(const std::string& name, const std::string& fmt)
{
    if (fmt.size() > 1 && std::islower(static_cast<unsigned char>(fmt[1])))
        return std::string(1, name[0]) + lowerStr(name.substr(1));
    if (std::islower(static_cast<unsigned char>(fmt[0])))
        return lowerStr(name);
    return name;
}

std::string formatDate(DateTime d, const std::string& fmt)
{
    int y, m, dd, hh, mi, ss;
    d.toParts(y, m, dd, hh, mi, ss);
    int64_t days = d.seconds / 86400;
    int dow = static_cast<int>((days + 1) % 7);   // 0001-01-01 was a Monday
    std::string out;
    size_t i = 0;
    bool fm = false;
    auto starts = [&](const char* t) {
        size_t n = std::strlen(t);
        return fmt.size() - i >= n && upperStr(fmt.substr(i, n)) == t;
    };
    while (i < fmt.size()) {
        if (starts("FM")) {
            fm = !fm;
            i += 2;
        } else if (starts("YYYY") || starts("RRRR")) {
            out += std::to_string(y);
            i += 4;
        } else if (starts("YY") || starts("RR")) {
            out += two(y % 100);
            i += 2;
        } else if (starts("MONTH")) {
            std::string n = cased(kMonthNames[m - 1], fmt.substr(i, 5));
            if (!fm)
                n.resize(9, ' ');
            out += n;
            i += 5;
        } else if (starts("MON")) {
            out += cased(std::string(kMonthNames[m - 1]).substr(0, 3), fmt.substr(i, 3));
            i += 3;
        } else if (starts("MM")) {
            out += fm ? std::to_string(m) : two(m);
            i += 2;
        } else if (starts("MI")) {
            out += fm ? std::to_string(mi) : two(mi);
            i += 2;
        } else if (starts("DAY")) {
            std::string n = cased(kDayNames[dow], fmt.substr(i, 3));
            if (!fm)
                n.resize(9, ' ');
            out += n;
            i += 3;
        } else if (starts("DY")) {
            out += cased(std::string(kDayNames[dow]).substr(0, 3), fmt.substr(i, 2));
            i += 2;
        } else if (starts("DDD")) {
            int doy = static_cast<int>(days - DateTime::fromParts(y, 1, 1).seconds / 86400) + 1;
            char b[16];
            std::snprintf(b, sizeof b, "%03d", doy);
            out += b;
            i += 3;
        } else if (starts("DD")) {
            out += fm ? std::to_string(dd) : two(dd);
            i += 2;
        } else if (starts("D")) {
            out += std::to_string(dow + 1);
            i += 1;
        } else if (starts("HH24")) {
            out += fm ? std::to_string(hh) : two(hh);
            i += 4;
        } else if (starts("HH12") || starts("HH")) {
            int h = hh % 12 == 0 ? 12 : hh % 12;
            out += fm ? std::to_string(h) : two(h);
            i += starts("HH12") ? 4 : 2;
        } else if (starts("SS")) {
            out += fm ? std::to_string(ss) : two(ss);
            i += 2;
        } else if (starts("AM") || starts("PM")) {
            out += hh < 12 ? "AM" : "PM";
            i += 2;
        } else if (starts("Q")) {
            out += std::to_string((m - 1) / 3 + 1);
            i += 1;
        } else if (fmt[i] == '"') {
            size_t e = fmt.find('"', i + 1);
            out += fmt.substr(i + 1, e == std::string::npos ? std::string::npos : e - i - 1);
            i = e == std::string::npos ? fmt.size() : e + 1;
        } else {
            out += fmt[i++];
        }
    }
    return out;
}

std::string formatNumber(const Number& n, const std::string& fmtIn)
{
    std::string fmt = upperStr(fmtIn);
    bool fm = false;
    if (fmt.rfind("FM", 0) == 0) {
        fm = true;
        fmt = fmt.substr(2);
    }
    size_t dot = fmt.find_first_of(".D");
    int decimals = 0;
    if (dot != std::string::npos)
        for (size_t i = dot + 1; i < fmt.size(); ++i)
            if (fmt[i] == '9' || fmt[i] == '0')
                ++decimals;
    std::string intFmt = fmt.substr(0, dot);
    Number r = n.abs().round(decimals);
    std::string t = r.toString();
    std::string ip = t.substr(0, t.find('.'));
    std::string fp = t.find('.') == std::string::npos ? "" : t.substr(t.find('.') + 1);
    if (ip == "0" || ip.empty())
        ip = "";
    fp.resize(static_cast<size_t>(decimals), '0');
    int digitSlots = 0;
    for (char c : intFmt)
        if (c == '9' || c == '0')
            ++digitSlots;
    if (static_cast<int>(ip.size()) > digitSlots)
        return std::string(fmt.size() + 1, '#');
    // Fill the integer format from the right.
    std::string out;
    int k = static_cast<int>(ip.size()) - 1;
    size_t firstZero = intFmt.find('0');
    for (int i = static_cast<int>(intFmt.size()) - 1; i >= 0; --i) {
        char c = intFmt[i];
        if (c == '9' || c == '0') {
            if (k >= 0)
                out.insert(out.begin(), ip[k--]);
            else if (c == '0' || (firstZero != std::string::npos && static_cast<size_t>(i) >= firstZero))
                out.insert(out.begin(), '0');
            else
                out.insert(out.begin(), ' ');
        } else if (c == ',' || c == 'G') {
            out.insert(out.begin(), k >= 0 ? ',' : ' ');
        }
    }
    if (dot != std::string::npos)
        out += "." + fp;
    if (out.find_first_not_of(' ') == std::string::npos || out.back() == ' ')
        out = out.empty() || dot == std::string::npos ? "0" : out;
    // The sign goes right before the first digit; a blank stands for "+".
    size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos)
        first = out.size();
    std::string lead = out.substr(0, first), body = out.substr(first);
    std::string res = lead + (n.isNegative() ? "-" : " ") + body;
    if (fm) {
        size_t b = res.find_first_not_of(' ');
        res = b == std::string::npos ? "" : res.substr(b);
    }
    return res;
}

Val fToChar(Exec&, const Args& a)
{
    if (a[0].isNull())
        return {};
    if (a.size() == 1 || a[1].isNull())
        return Val::str(toText(a[0]));
    std::string fmt = toText(a[1]);
    if (a[0].kind() == Val::K::Date)
        return Val::str(formatDate(a[0].asDate(), fmt));
    return Val::str(formatNumber(*toNumber(a[0]), fmt));
}

Val fToNumber(Exec&, const Args& a)
{
    if (a[0].isNull())
        return {};
    if (a[0].isNumeric())
        return a[0];
    std::string s = toText(a[0]);
    std::string clean;
    for (char c : s)
        if (c != ',' && c != '$')
            clean += c;
    auto n = Number::parse(a.size() > 1 ? clean : s);
    if (!n)
        throwValueError(": character to number conversion error");
    return Val::number(*n);
}

std::optional<DateTime> parseWithFormat(const std::string& s, const std::string& fmtIn)
{
    std::string fmt = upperStr(fmtIn);
    std::string v = upperStr(s);
    int y = 0, m = 1, d = 1, hh = 0, mi = 0, ss = 0;
    bool pm = false, hasAmPm = false;
    {
        DateTime now = DateTime::now();
        int a, b, c, e, f, g;
        now.toParts(a, b, c, e, f, g);
        y = a;
        m = b;
    }
    size_t i = 0, p = 0;
    auto num = [&](int maxDigits, int& out) {
        while (p < v.size() && v[p] == ' ')
            ++p;
        size_t b = p;
        out = 0;
        while (p < v.size() && p - b < static_cast<size_t>(maxDigits) && std::isdigit(static_cast<unsigned char>(v[p])))
            out = out * 10 + (v[p++] - '0');
        return p > b;
    };
    auto starts = [&](const char* t) {
        size_t n = std::strlen(t);
        return fmt.compare(i, n, t) == 0;
    };
    while (i < fmt.size()) {
        if (starts("FM")) {
            i += 2;
        } else if (starts("YYYY") || starts("RRRR")) {
            if (!num(4, y))
                return std::nullopt;
            i += 4;
        } else if (starts("YY") || starts("RR")) {
            size_t b = p;
            if (!num(4, y))
                return std::nullopt;
            if (p - b <= 2)
                y += y < 50 ? 2000 : 1900;
            i += 2;
        } else if (starts("MONTH") || starts("MON")) {
            bool found = false;
            for (int k = 0; k < 12 && !found; ++k) {
                std::string full = kMonthNames[k];
                if (v.compare(p, full.size(), full) == 0) {
                    m = k + 1;
                    p += full.size();
                    found = true;
                } else if (v.compare(p, 3, full.substr(0, 3)) == 0) {
                    m = k + 1;
                    p += 3;
                    found = true;
                }
            }
            if (!found)
                return std::nullopt;
            i += starts("MONTH") ? 5 : 3;
        } else if (starts("MM")) {
            if (!num(2, m))
                return std::nullopt;
            i += 2;
        } else if (starts("MI")) {
            if (!num(2, mi))
                return std::nullopt;
            i += 2;
        } else if (starts("DD")) {
            if (!num(2, d))
                return std::nullopt;
            i += 2;
        } else if (starts("HH24")) {
            if (!num(2, hh))
                return std::nullopt;
            i += 4;
        } else if (starts("HH12") || starts("HH")) {
            if (!num(2, hh))
                return std::nullopt;
            i += starts("HH12") ? 4 : 2;
        } else if (starts("SS")) {
            if (!num(2, ss))
                return std::nullopt;
            i += 2;
        } else if (starts("AM") || starts("PM")) {
            hasAmPm = true;
            pm = v.compare(p, 2, "PM") == 0;
            p += 2;
            i += 2;
        } else {
            if (p < v.size() && !std::isalnum(static_cast<unsigned char>(v[p])))
                ++p;
            ++i;
        }
    }
    while (p < v.size() && v[p] == ' ')
        ++p;
    if (p != v.size())
        return std::nullopt;
    if (hasAmPm) {
        if (hh == 12)
            hh = 0;
        if (pm)
            hh += 12;
    }
    if (m < 1 || m > 12 || d < 1 || d > daysIn(y < 1 ? 2000 : y, m) || hh > 23 || mi > 59 || ss > 59 || y < 1)
        return std::nullopt;
    return DateTime::fromParts(y, m, d, hh, mi, ss);
}

Val fToDate(Exec&, const Args& a)
{
    if (a[0].isNull())
        return {};
    if (a[0].kind() == Val::K::Date)
        return a[0];
    std::string s = toText(a[0]);
    std::optional<DateTime> d = a.size() > 1 && !a[1].isNull() ? parseWithFormat(s, toText(a[1])) : parseDateText(s);
    if (!d)
        throw OraError::make(1858, "a non-numeric character was found where a numeric was expected");
    return Val::date(*d);
}

Val fUser(Exec& x, const Args&) { return Val::str(x.svc.user()); }

Val fRaiseApplicationError(Exec&, const Args& a)
{
    int64_t n = a[0].isNull() ? 0 : *toInt(a[0]);
    if (n > -20000 || n < -20999)
        throw OraError::make(21000, "error number argument to raise_application_error of " + std::to_string(n) +
                                        " is out of range");
    std::string msg = toText(a[1]);
    if (msg.size() > 2048)
        msg.resize(2048);
    throw OraError(static_cast<int>(-n), oraCode(static_cast<int>(-n)) + ": " + msg);
}

// ---- lazy ones: arguments evaluated only as needed ---------------------------------------------

Val lNvl(Exec& x, const BuiltinExpr& e)
{
    Val v = e.args[0]->eval(x);
    return v.isNull() ? e.args[1]->eval(x) : v;
}

Val lNvl2(Exec& x, const BuiltinExpr& e)
{
    Val v = e.args[0]->eval(x);
    return v.isNull() ? e.args[2]->eval(x) : e.args[1]->eval(x);
}

Val lCoalesce(Exec& x, const BuiltinExpr& e)
{
    for (const auto& a : e.args) {
        Val v = a->eval(x);
        if (!v.isNull())
            return v;
    }
    return {};
}

Val lNullif(Exec& x, const BuiltinExpr& e)
{
    Val a = e.args[0]->eval(x);
    Val b = e.args[1]->eval(x);
    auto c = compare(a, b);
    return c && *c == 0 ? Val() : a;
}

Val lDecode(Exec& x, const BuiltinExpr& e)
{
    Val v = e.args[0]->eval(x);
    size_t n = e.args.size();
    for (size_t i = 1; i + 1 < n; i += 2) {
        Val w = e.args[i]->eval(x);
        if ((v.isNull() && w.isNull()) || (compare(v, w).value_or(1) == 0))
            return e.args[i + 1]->eval(x);
    }
    return n % 2 == 0 ? e.args[n - 1]->eval(x) : Val();
}

const std::map<std::string, BuiltinInfo>& table()
{
    static const std::map<std::string, BuiltinInfo> t = [] {
        std::map<std::string, BuiltinInfo> m;
        auto add = [&m](const char* name, int lo, int hi, char result, BuiltinFn fn, LazyBuiltinFn lazy = nullptr) {
            m[name] = BuiltinInfo{name, lo, hi, result, fn, lazy};
        };
        add("SUBSTR", 2, 3, 'S', fSubstr);
        add("INSTR", 2, 4, 'N', fInstr);
        add("LENGTH", 1, 1, 'N', fLength);
        add("UPPER", 1, 1, 'S', fUpper);
        add("LOWER", 1, 1, 'S', fLower);
        add("INITCAP", 1, 1, 'S', fInitcap);
        add("TRIM", 1, 1, 'S', fTrim);
        add("LTRIM", 1, 2, 'S', fLtrim);
        add("RTRIM", 1, 2, 'S', fRtrim);
        add("LPAD", 2, 3, 'S', fLpad);
        add("RPAD", 2, 3, 'S', fRpad);
        add("REPLACE", 2, 3, 'S', fReplace);
        add("CONCAT", 2, 2, 'S', fConcat);
        add("CHR", 1, 1, 'S', fChr);
        add("ASCII", 1, 1, 'N', fAscii);
        add("TRANSLATE", 3, 3, 'S', fTranslate);
        add("ABS", 1, 1, 'N', fAbs);
        add("SIGN", 1, 1, 'N', fSign);
        add("FLOOR", 1, 1, 'N', fFloor);
        add("CEIL", 1, 1, 'N', fCeil);
        add("MOD", 2, 2, 'N', fMod);
        add("REMAINDER", 2, 2, 'N', fRemainder);
        add("POWER", 2, 2, 'N', fPower);
        add("SQRT", 1, 1, 'N', fSqrt);
        add("ROUND", 1, 2, 'A', fRound);
        add("TRUNC", 1, 2, 'A', fTrunc);
        add("GREATEST", 1, 64, 'A', fGreatest);
        add("LEAST", 1, 64, 'A', fLeast);
        add("SYSDATE", 0, 0, 'D', fSysdate);
        add("ADD_MONTHS", 2, 2, 'D', fAddMonths);
        add("LAST_DAY", 1, 1, 'D', fLastDay);
        add("MONTHS_BETWEEN", 2, 2, 'N', fMonthsBetween);
        add("TO_CHAR", 1, 3, 'S', fToChar);
        add("TO_NUMBER", 1, 3, 'N', fToNumber);
        add("TO_DATE", 1, 3, 'D', fToDate);
        add("USER", 0, 0, 'S', fUser);
        add("NVL", 2, 2, 'A', nullptr, lNvl);
        add("NVL2", 3, 3, 'U', nullptr, lNvl2);
        add("COALESCE", 1, 64, 'A', nullptr, lCoalesce);
        add("NULLIF", 2, 2, 'A', nullptr, lNullif);
        add("DECODE", 3, 255, 'U', nullptr, lDecode);
        add("RAISE_APPLICATION_ERROR", 2, 3, 'P', fRaiseApplicationError);
        return m;
    }();
    return t;
}

} // namespace

const BuiltinInfo* findBuiltin(const std::string& name)
{
    auto it = table().find(name);
    return it == table().end() ? nullptr : &it->second;
}

namespace {
const std::map<std::string, std::pair<int, const char*>>& exceptions()
{
    static const std::map<std::string, std::pair<int, const char*>> m = {
        {"NO_DATA_FOUND", {1403, "no data found"}},
        {"TOO_MANY_ROWS", {1422, "exact fetch returns more than requested number of rows"}},
        {"ZERO_DIVIDE", {1476, "divisor is equal to zero"}},
        {"VALUE_ERROR", {6502, "PL/SQL: numeric or value error"}},
        {"INVALID_NUMBER", {1722, "invalid number"}},
        {"DUP_VAL_ON_INDEX", {1, "unique constraint violated"}},
        {"INVALID_CURSOR", {1001, "invalid cursor"}},
        {"CURSOR_ALREADY_OPEN", {6511, "PL/SQL: cursor already open"}},
        {"LOGIN_DENIED", {1017, "invalid username/password; logon denied"}},
        {"NOT_LOGGED_ON", {1012, "not logged on"}},
        {"PROGRAM_ERROR", {6501, "PL/SQL: program error"}},
        {"STORAGE_ERROR", {6500, "PL/SQL: storage error"}},
        {"ROWTYPE_MISMATCH", {6504, "PL/SQL: Return types of Result Set variables or query do not match"}},
        {"CASE_NOT_FOUND", {6592, "CASE not found while executing CASE statement"}},
        {"COLLECTION_IS_NULL", {6531, "Reference to uninitialized collection"}},
        {"SUBSCRIPT_BEYOND_COUNT", {6533, "Subscript beyond count"}},
        {"SUBSCRIPT_OUTSIDE_LIMIT", {6532, "Subscript outside of limit"}},
        {"ACCESS_INTO_NULL", {6530, "Reference to uninitialized composite"}},
        {"SELF_IS_NULL", {30625, "method dispatch on NULL SELF argument is disallowed"}},
        {"TIMEOUT_ON_RESOURCE", {51, "timeout occurred while waiting for a resource"}},
        {"SYS_INVALID_ROWID", {1410, "invalid ROWID"}},
    };
    return m;
}
} // namespace

int predefinedException(const std::string& name)
{
    auto it = exceptions().find(name);
    return it == exceptions().end() ? 0 : it->second.first;
}

std::string predefinedExceptionName(int code)
{
    for (const auto& [name, v] : exceptions())
        if (v.first == code)
            return name;
    return {};
}

OraError standardError(int code)
{
    for (const auto& [name, v] : exceptions())
        if (v.first == code)
            return OraError::make(code, v.second);
    return OraError::make(code, "");
}

} // namespace sandbox::plsql
