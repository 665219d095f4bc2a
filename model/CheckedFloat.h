// Floating-point arithmetic that faults as the original runtime does: a
// division by zero, an invalid operation or an overflow raises EZeroDivide,
// EInvalidOp or EOverflow instead of yielding an infinity or a NaN.
#pragma once

#include "platform/SysUtils.h"

#include <cmath>

namespace checked {

[[noreturn]] void RaiseZeroDivide();
[[noreturn]] void RaiseInvalidOp();
[[noreturn]] void RaiseOverflow();

// The result of an operation on finite operands: NaN is an invalid operation,
// an infinity an overflow.
inline double Result(double r)
{
    if (!std::isfinite(r)) [[unlikely]] {
        if (std::isnan(r)) RaiseInvalidOp();
        RaiseOverflow();
    }
    return r;
}

inline double Add(double a, double b) { return Result(a + b); }
inline double Sub(double a, double b) { return Result(a - b); }
inline double Mul(double a, double b) { return Result(a * b); }

// a / b; 0 / 0 (or NaN / 0) is an invalid operation, any other x / 0 a division by zero.
inline double Div(double a, double b)
{
    if (b == 0) [[unlikely]] {
        if (a == 0 || std::isnan(a)) RaiseInvalidOp();
        RaiseZeroDivide();
    }
    return Result(a / b);
}

// 10 raised to x.
double Pow10(double x);

}  // namespace checked
