#include "model/Measured.h"

namespace {
constexpr double SecondsPerMinute = 60;
}

std::optional<double> MeasuredTime(const MeasuredRow& Row, int Analyte)
{
    const auto& t = Row.t[Analyte];
    return t && Row.tEOF ? t : std::nullopt;
}

std::optional<double> MeasuredMobility(const MeasuredRow& Row, int Analyte, const PhysParams& Phys,
                                       double ViscositySlope)
{
    double u = 0;
    if (const auto t = MeasuredTime(Row, Analyte)) {
        const double inverse = FSub(FDiv(1, FMul(*t, SecondsPerMinute)), FDiv(1, FMul(*Row.tEOF, SecondsPerMinute)));
        u = FMul(FDiv(FMul(Phys.Capillary, Phys.Detector), Phys.Voltage), inverse);
    } else if (Row.u[Analyte]) {
        u = *Row.u[Analyte];
    } else {
        return std::nullopt;
    }
    return FMul(u, FAdd(1, FMul(ViscositySlope, Row.c)));
}
