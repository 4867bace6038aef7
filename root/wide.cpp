// Wide binary numbers: the four operations on 256-bit mantissas (with a
// guard limb where an operation shifts), and log, log1p, exp and expm1 by
// their series after the usual reductions:
//
//   ln(2^k m) = k ln 2 + 2 atanh((m - 1) / (m + 1)),  m in [1/sqrt 2, sqrt 2)
//   ln(1 + x) = 2 atanh(x / (2 + x)),                 |x| < 1/2
//   e^x = 2^k e^r,  k = round(x / ln 2),  e^r = 1 + r + r^2/2! + ...
//   e^x - 1 = x + x^2/2! + ...                        |x| < 1/2
//
// each series summed until its terms fall 262 bits below the sum.
#include "root/wide.h"

#include <cmath>
#include <cstdio>
#include <cstring>

// The 128-bit products and quotients of two limbs (a GCC and Clang extension).
__extension__ typedef unsigned __int128 wide_u128;

enum { work_limbs = wide_limbs + 2 }; // with two guard limbs, lowest first
static const int wide_bits = 64 * wide_limbs;
static const int series_bits = wide_bits + 6;

// A mantissa in work limbs, least significant first.
struct work {
    uint64_t w[work_limbs];
};

static work to_work(const wide *a)
{
    work x = {};
    memcpy(x.w + 2, a->m, sizeof a->m);
    return x;
}

static int is_zero(const work *x)
{
    for (uint64_t limb : x->w)
        if (limb)
            return 0;
    return 1;
}

static void shift_right(work *x, int64_t bits)
{
    if (bits >= 64 * work_limbs) {
        *x = work{};
        return;
    }
    int limbs = static_cast<int>(bits / 64), rest = static_cast<int>(bits % 64);
    for (int k = 0; k < work_limbs; ++k) {
        int from = k + limbs;
        uint64_t lo = from < work_limbs ? x->w[from] : 0;
        uint64_t hi = from + 1 < work_limbs ? x->w[from + 1] : 0;
        x->w[k] = rest ? (lo >> rest) | (hi << (64 - rest)) : lo;
    }
}

static void shift_left(work *x, int bits) // bits < 64 * work_limbs
{
    int limbs = bits / 64, rest = bits % 64;
    for (int k = work_limbs - 1; k >= 0; --k) {
        int from = k - limbs;
        uint64_t hi = from >= 0 ? x->w[from] : 0;
        uint64_t lo = from - 1 >= 0 ? x->w[from - 1] : 0;
        x->w[k] = rest ? (hi << rest) | (lo >> (64 - rest)) : hi;
    }
}

static int leading_zeros(const work *x)
{
    int n = 0;
    for (int k = work_limbs - 1; k >= 0; --k) {
        if (x->w[k]) {
            uint64_t v = x->w[k];
            while (!(v >> 63)) {
                v <<= 1;
                ++n;
            }
            return n;
        }
        n += 64;
    }
    return n;
}

// The wide of sign * 0.x * 2^exp (x taken as a fraction of all work limbs),
// normalized and truncated.
static wide from_work(int sign, int64_t exp, work x)
{
    wide r = {};
    if (is_zero(&x))
        return r;
    int lz = leading_zeros(&x);
    shift_left(&x, lz);
    r.sign = sign;
    r.exp = exp - lz;
    memcpy(r.m, x.w + 2, sizeof r.m);
    return r;
}

wide wide_from_double(double v)
{
    wide r = {};
    if (v == 0.0)
        return r;
    int e = 0;
    double f = std::frexp(std::fabs(v), &e);
    r.sign = v < 0.0 ? -1 : 1;
    r.exp = e;
    r.m[wide_limbs - 1] = static_cast<uint64_t>(std::ldexp(f, 64));
    return r;
}

wide wide_from_int(int64_t v)
{
    if (v == 0)
        return wide{};
    work x = {};
    x.w[work_limbs - 1] =
        v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    return from_work(v < 0 ? -1 : 1, 64, x);
}

// The bit of the mantissa pos places below its top (0: the top bit), and
// whether any bit below it is set.
static int bit_at(const wide *a, int64_t pos)
{
    if (pos < 0 || pos >= wide_bits)
        return 0;
    int64_t from_low = wide_bits - 1 - pos;
    return static_cast<int>((a->m[from_low / 64] >> (from_low % 64)) & 1);
}

static int any_below(const wide *a, int64_t pos)
{
    for (int64_t p = pos + 1 < 0 ? 0 : pos + 1; p < wide_bits; ++p)
        if (bit_at(a, p))
            return 1;
    return 0;
}

double wide_to_double(const wide *a)
{
    if (a->sign == 0)
        return 0.0;
    // The double's quantum 2^q where a lies: 2^(E - 52) for a normal
    // double of exponent E, 2^-1074 below them.
    int64_t e = a->exp - 1;
    int64_t q = (e < -1022 ? -1022 : e) - 52;
    if (e > 1023)
        return a->sign * HUGE_VAL;
    int64_t bits = a->exp - q; // integer bits of |a| / 2^q, at most 53
    uint64_t n = 0;
    for (int64_t p = 0; p < bits; ++p)
        n = (n << 1) | static_cast<uint64_t>(bit_at(a, p));
    if (bits >= 0 && bit_at(a, bits) &&
        (any_below(a, bits) || (n & 1) != 0)) // nearest, ties to even
        ++n;
    double r = std::ldexp(static_cast<double>(n), static_cast<int>(q));
    return a->sign < 0 ? -r : r;
}

int64_t wide_to_int(const wide *a)
{
    if (a->sign == 0 || a->exp < 0)
        return 0;
    int64_t n = 0;
    for (int64_t p = 0; p < a->exp; ++p)
        n = n * 2 + bit_at(a, p);
    n += bit_at(a, a->exp); // half away from zero
    return a->sign * n;
}

wide wide_neg(wide a)
{
    a.sign = -a.sign;
    return a;
}

wide wide_abs(wide a)
{
    a.sign = a.sign < 0 ? 1 : a.sign;
    return a;
}

static int cmp_magnitude(const wide *a, const wide *b)
{
    if (a->sign == 0 || b->sign == 0)
        return (a->sign != 0) - (b->sign != 0);
    if (a->exp != b->exp)
        return a->exp < b->exp ? -1 : 1;
    for (int k = wide_limbs - 1; k >= 0; --k)
        if (a->m[k] != b->m[k])
            return a->m[k] < b->m[k] ? -1 : 1;
    return 0;
}

int wide_cmp(const wide *a, const wide *b)
{
    if (a->sign != b->sign)
        return a->sign < b->sign ? -1 : 1;
    int c = cmp_magnitude(a, b);
    return a->sign < 0 ? -c : c;
}

wide wide_ldexp(wide a, int64_t k)
{
    if (a.sign != 0)
        a.exp += k;
    return a;
}

wide wide_add(const wide *a, const wide *b)
{
    if (a->sign == 0)
        return *b;
    if (b->sign == 0)
        return *a;
    const wide *big = cmp_magnitude(a, b) >= 0 ? a : b;
    const wide *small = big == a ? b : a;
    work x = to_work(big);
    work y = to_work(small);
    shift_right(&y, big->exp - small->exp);
    work z = {};
    if (a->sign == b->sign) {
        uint64_t carry = 0;
        for (int k = 0; k < work_limbs; ++k) {
            wide_u128 s = static_cast<wide_u128>(x.w[k]) + y.w[k] + carry;
            z.w[k] = static_cast<uint64_t>(s);
            carry = static_cast<uint64_t>(s >> 64);
        }
        if (carry) {
            shift_right(&z, 1);
            z.w[work_limbs - 1] |= uint64_t{1} << 63;
            return from_work(big->sign, big->exp + 1, z);
        }
        return from_work(big->sign, big->exp, z);
    }
    uint64_t borrow = 0;
    for (int k = 0; k < work_limbs; ++k) {
        wide_u128 d = static_cast<wide_u128>(x.w[k]) - y.w[k] - borrow;
        z.w[k] = static_cast<uint64_t>(d);
        borrow = static_cast<uint64_t>(d >> 64) & 1;
    }
    return from_work(big->sign, big->exp, z);
}

wide wide_sub(const wide *a, const wide *b)
{
    wide nb = wide_neg(*b);
    return wide_add(a, &nb);
}

wide wide_mul(const wide *a, const wide *b)
{
    if (a->sign == 0 || b->sign == 0)
        return wide{};
    uint64_t p[2 * wide_limbs] = {};
    for (int i = 0; i < wide_limbs; ++i) {
        uint64_t carry = 0;
        for (int j = 0; j < wide_limbs; ++j) {
            wide_u128 t =
                static_cast<wide_u128>(a->m[i]) * b->m[j] + p[i + j] + carry;
            p[i + j] = static_cast<uint64_t>(t);
            carry = static_cast<uint64_t>(t >> 64);
        }
        p[i + wide_limbs] = carry;
    }
    work x;
    memcpy(x.w, p + 2 * wide_limbs - work_limbs, sizeof x.w);
    return from_work(a->sign * b->sign, a->exp + b->exp, x);
}

wide wide_div(const wide *a, const wide *b)
{
    if (a->sign == 0)
        return wide{};
    // Restoring division of the mantissas, one quotient bit a step: the
    // quotient of two mantissas in [1/2, 1) lies in (1/2, 2).
    work r = to_work(a), d = to_work(b), q = {};
    shift_right(&r, 1); // room for r < 2d
    shift_right(&d, 1);
    for (int bit = 64 * work_limbs - 1; bit >= 0; --bit) {
        int ge = 1;
        for (int k = work_limbs - 1; k >= 0; --k)
            if (r.w[k] != d.w[k]) {
                ge = r.w[k] > d.w[k];
                break;
            }
        if (ge) {
            uint64_t borrow = 0;
            for (int k = 0; k < work_limbs; ++k) {
                wide_u128 t = static_cast<wide_u128>(r.w[k]) - d.w[k] - borrow;
                r.w[k] = static_cast<uint64_t>(t);
                borrow = static_cast<uint64_t>(t >> 64) & 1;
            }
            q.w[bit / 64] |= uint64_t{1} << (bit % 64);
        }
        shift_left(&r, 1);
    }
    // q holds a / b with its integer bit at the top.
    return from_work(a->sign * b->sign, a->exp - b->exp + 1, q);
}

wide wide_div_small(const wide *a, uint32_t d)
{
    work x = to_work(a), q = {};
    wide_u128 rem = 0;
    for (int k = work_limbs - 1; k >= 0; --k) {
        wide_u128 cur = (rem << 64) | x.w[k];
        q.w[k] = static_cast<uint64_t>(cur / d);
        rem = cur % d;
    }
    return from_work(a->sign, a->exp, q);
}

// t + t^3/3 + t^5/5 + ..., |t| < 1/2.
static wide atanh_series(const wide *t)
{
    wide sum = *t, power = *t;
    wide t2 = wide_mul(t, t);
    for (uint32_t j = 3; power.sign != 0; j += 2) {
        power = wide_mul(&power, &t2);
        wide term = wide_div_small(&power, j);
        if (term.sign == 0 || term.exp < sum.exp - series_bits)
            break;
        sum = wide_add(&sum, &term);
    }
    return wide_ldexp(sum, 1);
}

wide wide_ln2()
{
    static const wide ln2 = [] {
        wide one = wide_from_int(1);
        wide third = wide_div_small(&one, 3);
        return atanh_series(&third);
    }();
    return ln2;
}

wide wide_log(const wide *a)
{
    int64_t k = a->exp;
    wide m = *a;
    m.exp = 0;
    if (m.m[wide_limbs - 1] < 0xb504f333f9de6484u) { // below 1/sqrt(2)
        m.exp = 1;
        --k;
    }
    wide one = wide_from_int(1);
    wide num = wide_sub(&m, &one);
    wide den = wide_add(&m, &one);
    wide t = wide_div(&num, &den);
    wide s = atanh_series(&t);
    wide ln2 = wide_ln2();
    wide kw = wide_from_int(k);
    wide kl = wide_mul(&kw, &ln2);
    return wide_add(&kl, &s);
}

wide wide_log1p(const wide *a)
{
    wide one = wide_from_int(1);
    if (a->sign != 0 && a->exp <= -1) { // |a| < 1/2
        wide two = wide_from_int(2);
        wide den = wide_add(&two, a);
        wide t = wide_div(a, &den);
        return atanh_series(&t);
    }
    wide w = wide_add(&one, a);
    return wide_log(&w);
}

// The Taylor series of e^r from its term of degree first on, for small r.
static wide exp_series(const wide *r, int first)
{
    wide term = first == 0 ? wide_from_int(1) : *r;
    wide sum = term;
    for (uint32_t n = static_cast<uint32_t>(first) + 1; term.sign != 0; ++n) {
        term = wide_mul(&term, r);
        term = wide_div_small(&term, n);
        if (term.sign == 0 || term.exp < sum.exp - series_bits)
            break;
        sum = wide_add(&sum, &term);
    }
    return sum;
}

wide wide_exp(const wide *a)
{
    if (a->sign == 0)
        return wide_from_int(1);
    if (a->exp > 40) // |a| >= 2^40: e^a is 0 here, or beyond every use
        return a->sign < 0 ? wide{}
                           : wide_ldexp(wide_from_int(1), int64_t{1} << 40);
    wide ln2 = wide_ln2();
    wide ratio = wide_div(a, &ln2);
    int64_t k = wide_to_int(&ratio);
    wide kw = wide_from_int(k);
    wide kl = wide_mul(&kw, &ln2);
    wide r = wide_sub(a, &kl);
    wide e = exp_series(&r, 0);
    return wide_ldexp(e, k);
}

wide wide_expm1(const wide *a)
{
    if (a->sign == 0 || a->exp <= -1) // |a| < 1/2
        return a->sign == 0 ? wide{} : exp_series(a, 1);
    wide e = wide_exp(a);
    wide one = wide_from_int(1);
    return wide_sub(&e, &one);
}

double wide_log2(const wide *a)
{
    if (a->sign == 0)
        return -HUGE_VAL;
    double top =
        std::ldexp(static_cast<double>(a->m[wide_limbs - 1] >> 11), -53);
    return std::log2(top) + static_cast<double>(a->exp);
}

// 10^k, k >= 0, by squaring.
static wide power_of_ten(int64_t k)
{
    wide result = wide_from_int(1), base = wide_from_int(10);
    for (; k > 0; k /= 2) {
        if (k & 1)
            result = wide_mul(&result, &base);
        base = wide_mul(&base, &base);
    }
    return result;
}

char *wide_digits(const wide *a, int digits, char *buf, size_t size)
{
    if (a->sign == 0) {
        snprintf(buf, size, "0");
        return buf;
    }
    // v = |a| / 10^e in [1, 10).
    wide v = wide_abs(*a);
    int64_t e =
        static_cast<int64_t>(std::floor(wide_log2(&v) * 0.30102999566398120));
    wide p = power_of_ten(e < 0 ? -e : e);
    v = e < 0 ? wide_mul(&v, &p) : wide_div(&v, &p);
    wide ten = wide_from_int(10), one = wide_from_int(1);
    if (wide_cmp(&v, &ten) >= 0) {
        v = wide_div_small(&v, 10);
        ++e;
    } else if (wide_cmp(&v, &one) < 0) {
        v = wide_mul(&v, &ten);
        --e;
    }
    // Rounded to n digits: half a unit of the last one added.
    int n = digits < 1 ? 1 : digits > 100 ? 100 : digits;
    wide five = wide_from_int(5);
    wide scale = power_of_ten(n);
    wide half = wide_div(&five, &scale);
    v = wide_add(&v, &half);
    if (wide_cmp(&v, &ten) >= 0) {
        v = wide_div_small(&v, 10);
        ++e;
    }
    char d[128];
    for (int k = 0; k < n; ++k) {
        int64_t digit =
            v.exp <= 0
                ? 0
                : static_cast<int64_t>(v.m[wide_limbs - 1] >> (64 - v.exp));
        d[k] = static_cast<char>('0' + (digit > 9 ? 9 : digit));
        wide dw = wide_from_int(digit);
        v = wide_sub(&v, &dw);
        v = wide_mul(&v, &ten);
    }
    d[n] = '\0';
    // Fixed notation from 1e-5 to below 1e16, else with an exponent.
    char text[256];
    int at = 0;
    if (a->sign < 0)
        text[at++] = '-';
    if (e >= -5 && e < 16) {
        int point = static_cast<int>(e) + 1; // digits before the point
        if (point <= 0) {
            text[at++] = '0';
            text[at++] = '.';
            for (int k = point; k < 0; ++k)
                text[at++] = '0';
            point = 0;
        }
        for (int k = 0; k < n || k < point; ++k) {
            if (k == point && point > 0)
                text[at++] = '.';
            text[at++] = k < n ? d[k] : '0';
        }
        text[at] = '\0';
    } else {
        snprintf(text + at, sizeof text - static_cast<size_t>(at),
                 "%c.%se%+lld", d[0], d + 1, static_cast<long long>(e));
    }
    snprintf(buf, size, "%s", text);
    return buf;
}
