// text_to_double and log: the companion library's number primitives.
#include "kxtl.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace kxtl {
namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Decimal exponent of the leading nonzero digit of the mantissa [p, end) with exponent `exp10`
// (e.g. "123.4" -> 2, "0.005" -> -3). Only consulted when from_chars reports a value out of
// range, to tell overflow from underflow. Saturates instead of overflowing.
long long magnitude(const char* p, const char* end, long long exp10) {
    long long pos = 0;  // digits before the point, counted from the first nonzero one
    bool seenNonzero = false;
    bool afterPoint = false;
    for (; p < end; ++p) {
        if (*p == '.') {
            afterPoint = true;
        } else if (!seenNonzero && *p == '0') {
            if (afterPoint) --pos;
        } else if (!seenNonzero) {
            seenNonzero = true;
            if (afterPoint) --pos;
        } else if (!afterPoint) {
            ++pos;
        }
    }
    return exp10 + pos;
}

}  // namespace

extern "C" {

// Numeric value of the number that starts `text`, locale-independently and exactly (correctly
// rounded, as std::from_chars).
// - Leading white space (space, \t, \n, \v, \f, \r) is skipped. Then the longest prefix of the
//   form  [+|-] digits [. digits] [(e|E) [+|-] digits]  is taken, with at least one digit in
//   the mantissa (so "5.", ".5" and "+.5e1" are numbers). An exponent marker without digits
//   after it is not part of the number ("12e" and "12e+" give 12).
// - Whatever follows the number is ignored: "12abc" gives 12, "1,5" gives 1, "0x1A" gives 0.
// - Text without such a number yields NANUM: null, "", white space only, "abc", ".", "-", "e5",
//   "- 1", and also "inf", "infinity" and "nan" (no special values are read). Strings sort by
//   numeric value as doubles, so the missing-value sort modes place such strings first or last.
// - A value too large for a double gives +HUGE_VAL or -HUGE_VAL (the infinities, as strtod);
//   one too small to represent gives +0.0 or -0.0. "-0" gives -0.0.
// - Nothing past the number's last character (and so nothing past the NUL) is read; errno is
//   left alone.
KXTL_API double text_to_double(const char* text) {
    if (text == nullptr) return NANUM;
    const char* p = text;
    while (is_space(*p)) ++p;

    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    const char* start = p;  // from_chars takes no '+', so the sign is applied afterwards
    int digits = 0;
    for (; is_digit(*p); ++p) ++digits;
    if (*p == '.') {
        ++p;
        for (; is_digit(*p); ++p) ++digits;
    }
    if (digits == 0) return NANUM;
    const char* mantissaEnd = p;

    long long exp10 = 0;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        bool expNegative = false;
        if (*q == '+' || *q == '-') {
            expNegative = *q == '-';
            ++q;
        }
        if (is_digit(*q)) {
            for (; is_digit(*q); ++q) {
                if (exp10 < 1000000000) exp10 = exp10 * 10 + (*q - '0');
            }
            if (expNegative) exp10 = -exp10;
            p = q;
        }
    }

    double value = 0.0;
    std::from_chars_result r = std::from_chars(start, p, value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        value = magnitude(start, mantissaEnd, exp10) >= 0 ? HUGE_VAL : 0.0;
    } else if (r.ec != std::errc() || r.ptr != p) {
        return NANUM;  // not reached: the scan above admits only what from_chars accepts
    }
    return negative ? -value : value;
}

}  // extern "C"

// Natural logarithm, as std::log: log(-1.0) (any negative argument, or a NaN) is a quiet NaN,
// log(0.0) is -infinity. Used to make the NaN that stands for NANUM.
KXTL_API double log(double x) { return std::log(x); }

}  // namespace kxtl
