// Wide binary numbers for the true root: a sign, a 64-bit exponent and a
// 256-bit mantissa, value = sign * 0.m * 2^exp with 0.m in [1/2, 1). Every
// operation truncates its result to 256 bits (an error below 2^-255 of it);
// the exponent does not overflow for any value a double circuit leads to.
// No special values: the callers keep to finite numbers.
#ifndef ROOT_WIDE_H_
#define ROOT_WIDE_H_

#include <cstddef>
#include <cstdint>

enum { wide_limbs = 4 }; // 64 bits each, m[0] the least significant

struct wide {
    int sign;               // +1, -1, or 0 for zero
    int64_t exp;            // of 2, with the mantissa in [1/2, 1)
    uint64_t m[wide_limbs]; // the top bit of m[wide_limbs - 1] is set
                            // unless the number is 0
};

wide wide_from_double(double v);      // exactly; v finite
wide wide_from_int(int64_t v);        // exactly
double wide_to_double(const wide *a); // rounded to nearest, ties to even;
                                      // inf beyond the doubles
int64_t wide_to_int(const wide *a);   // rounded to nearest; |a| < 2^62

wide wide_neg(wide a);
wide wide_abs(wide a);
int wide_cmp(const wide *a, const wide *b); // -1, 0 or 1
wide wide_ldexp(wide a, int64_t k);         // a * 2^k, exactly

wide wide_add(const wide *a, const wide *b);
wide wide_sub(const wide *a, const wide *b);
wide wide_mul(const wide *a, const wide *b);
wide wide_div(const wide *a, const wide *b);    // b not 0
wide wide_div_small(const wide *a, uint32_t d); // d not 0

wide wide_ln2();
wide wide_log(const wide *a);   // a > 0
wide wide_log1p(const wide *a); // a > -1, exactly relative for small a
wide wide_exp(const wide *a);   // 0 where it lies below 2^-2^40
wide wide_expm1(const wide *a); // exactly relative for small a

// log2 |a| to a double's precision, for measures on a logarithmic scale;
// -inf for 0.
double wide_log2(const wide *a);

// a rounded to digits significant decimal digits (at most 100) in buf
// (size bytes), as "0.004422540516" or "-1.23e-300" (an exponent where the
// number is below 1e-5 or from 1e16 on). Returns buf.
char *wide_digits(const wide *a, int digits, char *buf, size_t size);

#endif // ROOT_WIDE_H_
