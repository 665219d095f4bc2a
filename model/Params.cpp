#include "model/Params.h"

#include <cmath>

PhValues PhParams::At(double pH) const
{
    // h is the fraction of the low-pH form.
    const double h = FDiv(1.0, FAdd(FPow(10.0, FSub(pH, pKa)), 1.0));
    const double l = FSub(1.0, h);
    PhValues v;
    v.u0 = FAdd(FMul(h, lu0), FMul(l, hu0));
    v.K = FAdd(FMul(h, lK), FMul(l, hK));
    // The complex mobilities weighted by each form's share of the complexed amount.
    v.uCS = FDiv(FAdd(FMul(FMul(h, lK), luCS), FMul(FMul(l, hK), huCS)), v.K);
    return v;
}

namespace {

// Nernst-Einstein: |kB T u / (e z)|.
double Diffusion(double absTemperature, double u, double z)
{
    const double kTu = FMul(FMul(BoltzmannConstant, absTemperature), u);
    return std::fabs(FDiv(kTu, FMul(ElementaryCharge, z)));
}

}  // namespace

void PhysParams::Derive()
{
    AbsTemperature = FAdd(Temperature, 273.15);
    if (z01 != 0)
        D01 = Diffusion(AbsTemperature, u01, z01);
    if (z02 != 0)
        D02 = Diffusion(AbsTemperature, u02, z02);
    // A complex carries the charges of analyte and selector together.
    const double z1 = FAdd(z01, zCS);
    if (z1 != 0)
        D1 = Diffusion(AbsTemperature, u1, z1);
    const double z2 = FAdd(z02, zCS);
    if (z2 != 0)
        D2 = Diffusion(AbsTemperature, u2, z2);
    FieldStrength = FDiv(Voltage, Capillary);
    // Mean velocity of Poiseuille flow: p r^2 / (8 eta L).
    FlowVelocity = FDiv(FMul(FMul(FMul(FMul(Pressure, Radius), Radius), 0.125), InverseViscosity), Capillary);
}

void Params::Derive()
{
    if (applypH) {
        const PhValues v1 = a1.At(pH);
        phys.u01 = v1.u0;
        phys.u1 = v1.uCS;
        phys.K1 = v1.K;
        const PhValues v2 = a2.At(pH);
        phys.u02 = v2.u0;
        phys.u2 = v2.uCS;
        phys.K2 = v2.K;
    }
    phys.Derive();
}
