// number.cpp - Oracle NUMBER as a decimal: a 128-bit coefficient times a
// power of ten, kept to at most 38 significant digits.
#include "sandbox/ora_error.h"
#include "sandbox/value.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace sandbox {

namespace {

using i128 = Int128;
constexpr int kMaxDigits = 38;

i128 pow10(int n)
{
    static const auto table = [] {
        std::array<i128, 39> t{};
        t[0] = 1;
        for (int i = 1; i < 39; ++i)
            t[i] = t[i - 1] * 10;
        return t;
    }();
    return table[static_cast<size_t>(n)];
}

i128 absval(i128 v) { return v < 0 ? -v : v; }

int digitCount(i128 v)
{
    v = absval(v);
    int n = 1;
    while (n < 39 && v >= pow10(n))
        ++n;
    return n;
}

// Divides by 10^n, rounding half away from zero.
i128 divRound(i128 v, int n)
{
    if (n <= 0)
        return v;
    if (n > 38)
        return 0;
    i128 p = pow10(n);
    i128 q = v / p;
    i128 r = absval(v % p);
    if (r * 2 >= p)
        q += v < 0 ? -1 : 1;
    return q;
}

} // namespace

struct NumberOps {
    // Brings coefficients to a common exponent. When the exact alignment
    // would not fit, the operand with the smaller exponent loses its lowest
    // digits, which lie beyond the precision of the result anyway.
    static void align(Number& a, Number& b)
    {
        if (a.exp_ == b.exp_)
            return;
        Number& hi = a.exp_ > b.exp_ ? a : b;
        Number& lo = a.exp_ > b.exp_ ? b : a;
        int d = hi.exp_ - lo.exp_;
        int room = hi.coef_ == 0 ? 38 : kMaxDigits - digitCount(hi.coef_);
        int k = std::min(d, room);
        hi.coef_ *= pow10(k);
        hi.exp_ -= k;
        if (hi.exp_ != lo.exp_) {
            lo.coef_ = divRound(lo.coef_, hi.exp_ - lo.exp_);
            lo.exp_ = hi.exp_;
        }
    }

    static Number make(i128 coef, int exp)
    {
        Number n(coef, exp);
        n.normalize();
        return n;
    }
};

void Number::normalize()
{
    if (coef_ == 0) {
        exp_ = 0;
        return;
    }
    int excess = digitCount(coef_) - kMaxDigits;
    if (excess > 0) {
        coef_ = divRound(coef_, excess);
        exp_ += excess;
    }
    while (coef_ % 10 == 0) {
        coef_ /= 10;
        ++exp_;
    }
}

Number Number::fromInt(int64_t v) { return NumberOps::make(v, 0); }

std::optional<Number> Number::parse(std::string_view s)
{
    size_t i = 0, n = s.size();
    while (i < n && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r'))
        ++i;
    while (n > i && (s[n - 1] == ' ' || s[n - 1] == '\t' || s[n - 1] == '\n' || s[n - 1] == '\r'))
        --n;
    bool neg = false;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        neg = s[i++] == '-';
    i128 coef = 0;
    int exp = 0, digits = 0, sig = 0;
    bool seenPoint = false, lostNonZero = false;
    int roundDigit = -1;
    for (; i < n; ++i) {
        char c = s[i];
        if (c == '.') {
            if (seenPoint)
                return std::nullopt;
            seenPoint = true;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        ++digits;
        if (sig == 0 && c == '0') {
            if (seenPoint)
                --exp;
            continue;
        }
        if (sig < kMaxDigits) {
            coef = coef * 10 + (c - '0');
            ++sig;
            if (seenPoint)
                --exp;
        } else {
            if (roundDigit < 0)
                roundDigit = c - '0';
            else if (c != '0')
                lostNonZero = true;
            if (!seenPoint)
                ++exp;
        }
    }
    (void)lostNonZero;
    if (digits == 0)
        return std::nullopt;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool eneg = false;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            eneg = s[i++] == '-';
        if (i >= n)
            return std::nullopt;
        int e = 0;
        for (; i < n; ++i) {
            if (s[i] < '0' || s[i] > '9')
                return std::nullopt;
            if (e < 100000)
                e = e * 10 + (s[i] - '0');
        }
        exp += eneg ? -e : e;
    }
    if (i != n)
        return std::nullopt;
    if (roundDigit >= 5)
        coef += 1;
    if (exp > 125 + 1 && coef != 0)
        return std::nullopt;
    return NumberOps::make(neg ? -coef : coef, exp);
}

Number Number::fromDouble(double v)
{
    if (!std::isfinite(v))
        return Number();
    char buf[64];
    for (int prec = 1; prec <= 17; ++prec) {
        std::snprintf(buf, sizeof buf, "%.*g", prec, v);
        if (std::strtod(buf, nullptr) == v)
            break;
    }
    return parse(buf).value_or(Number());
}

std::string Number::toString() const
{
    if (coef_ == 0)
        return "0";
    std::string digits;
    for (i128 c = absval(coef_); c > 0; c /= 10)
        digits.push_back(static_cast<char>('0' + static_cast<int>(c % 10)));
    std::reverse(digits.begin(), digits.end());
    std::string out = coef_ < 0 ? "-" : "";
    int len = static_cast<int>(digits.size());
    int point = len + exp_;
    std::string body;
    if (exp_ >= 0)
        body = digits + std::string(static_cast<size_t>(exp_), '0');
    else if (point > 0)
        body = digits.substr(0, static_cast<size_t>(point)) + "." + digits.substr(static_cast<size_t>(point));
    else
        body = "." + std::string(static_cast<size_t>(-point), '0') + digits;
    if (body.size() > 64) {
        // Scientific form, as TO_CHAR does past 64 characters.
        std::string mant = digits.substr(0, 1);
        if (len > 1)
            mant += "." + digits.substr(1);
        int e = point - 1;
        char eb[16];
        std::snprintf(eb, sizeof eb, "E%c%02d", e < 0 ? '-' : '+', e < 0 ? -e : e);
        body = mant + eb;
    }
    return out + body;
}

double Number::toDouble() const { return std::strtod(toString().c_str(), nullptr); }

bool Number::isInteger() const { return exp_ >= 0; }

std::optional<int64_t> Number::toInt64() const
{
    if (exp_ < 0)
        return std::nullopt;
    if (exp_ > 18)
        return coef_ == 0 ? std::optional<int64_t>(0) : std::nullopt;
    i128 v = coef_ * pow10(exp_);
    if (v > INT64_MAX || v < INT64_MIN)
        return std::nullopt;
    return static_cast<int64_t>(v);
}

Number Number::operator-() const { return Number(-coef_, exp_); }

Number operator+(const Number& x, const Number& y)
{
    if (x.coef_ == 0)
        return y;
    if (y.coef_ == 0)
        return x;
    Number a = x, b = y;
    NumberOps::align(a, b);
    return NumberOps::make(a.coef_ + b.coef_, a.exp_);
}

Number operator-(const Number& x, const Number& y) { return x + (-y); }

Number operator*(const Number& x, const Number& y)
{
    i128 a = x.coef_, b = y.coef_;
    int exp = x.exp_ + y.exp_;
    int da = digitCount(a), db = digitCount(b);
    // Shed the lowest digits of the longer operand until the product fits.
    while (da + db > kMaxDigits) {
        if (da >= db) {
            a = divRound(a, 1);
            --da;
        } else {
            b = divRound(b, 1);
            --db;
        }
        ++exp;
    }
    return NumberOps::make(a * b, exp);
}

Number operator/(const Number& x, const Number& y)
{
    if (y.coef_ == 0)
        throw OraError::make(1476, "divisor is equal to zero");
    if (x.coef_ == 0)
        return Number();
    i128 a = absval(x.coef_), b = absval(y.coef_);
    int exp = x.exp_ - y.exp_;
    int excess = digitCount(b) - 37;
    if (excess > 0) {
        b = divRound(b, excess);
        exp -= excess;
    }
    i128 q = a / b, r = a % b;
    // Long division until the quotient holds every significant digit.
    while (r != 0 && digitCount(q) < kMaxDigits) {
        r *= 10;
        q = q * 10 + r / b;
        r %= b;
        --exp;
    }
    if (r * 2 >= b)
        ++q;
    bool neg = (x.coef_ < 0) != (y.coef_ < 0);
    return NumberOps::make(neg ? -q : q, exp);
}

bool operator==(const Number& a, const Number& b) { return a.coef_ == b.coef_ && a.exp_ == b.exp_; }

std::strong_ordering operator<=>(const Number& x, const Number& y)
{
    int sx = x.sign(), sy = y.sign();
    if (sx != sy)
        return sx <=> sy;
    if (sx == 0)
        return std::strong_ordering::equal;
    // Same sign: compare magnitudes by the position of the leading digit first.
    int mx = digitCount(x.coef_) + x.exp_, my = digitCount(y.coef_) + y.exp_;
    if (mx != my)
        return sx > 0 ? mx <=> my : my <=> mx;
    Number a = x, b = y;
    NumberOps::align(a, b);
    return a.coef_ <=> b.coef_;
}

Number Number::trunc(int places) const
{
    if (exp_ >= -places)
        return *this;
    int cut = -places - exp_;
    if (cut > 38)
        return Number();
    return NumberOps::make(coef_ / pow10(cut), -places);
}

Number Number::round(int places) const
{
    if (exp_ >= -places)
        return *this;
    int cut = -places - exp_;
    if (cut > 39)
        return Number();
    if (cut == 39)
        return Number();
    return NumberOps::make(divRound(coef_, cut), -places);
}

Number Number::floor() const
{
    Number t = trunc(0);
    if (coef_ < 0 && !(t == *this))
        t = t - fromInt(1);
    return t;
}

Number Number::ceil() const
{
    Number t = trunc(0);
    if (coef_ > 0 && !(t == *this))
        t = t + fromInt(1);
    return t;
}

Number Number::abs() const { return Number(absval(coef_), exp_); }

int Number::sign() const { return coef_ > 0 ? 1 : coef_ < 0 ? -1 : 0; }

Number Number::mod(const Number& d) const
{
    if (d.coef_ == 0)
        return *this;
    Number a = *this, b = d;
    NumberOps::align(a, b);
    if (b.coef_ == 0)
        return *this;
    return NumberOps::make(a.coef_ % b.coef_, a.exp_);
}

} // namespace sandbox
