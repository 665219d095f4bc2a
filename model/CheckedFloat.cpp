#include "model/CheckedFloat.h"

namespace checked {

void RaiseZeroDivide() { throw EZeroDivide("Floating point division by zero"); }
void RaiseInvalidOp() { throw EInvalidOp("Invalid floating point operation"); }
void RaiseOverflow() { throw EOverflow("Floating point overflow"); }

double Pow10(double x)
{
    // An underflow to zero is not a fault; only overflow and NaN are.
    return Result(std::pow(10.0, Result(x)));
}

}  // namespace checked
