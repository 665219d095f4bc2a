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

// Of two values whose product or quotient faults, the key of the one further from 1 in orders
// of magnitude (a zero is furthest).
const char* Blame(const char* KeyA, double A, const char* KeyB, double B)
{
    return std::fabs(std::log10(std::fabs(A))) >= std::fabs(std::log10(std::fabs(B))) ? KeyA : KeyB;
}

// Runs the derivation as steps, each named by the key of the field its fault
// is blamed on: Step(Key, Work) runs Work.
template <class Step>
void DeriveSteps(PhysParams& p, Step&& step)
{
    step("Temperature", [&] { p.AbsTemperature = FAdd(p.Temperature, 273.15); });
    if (p.z01 != 0)
        step("u01", [&] { p.D01 = Diffusion(p.AbsTemperature, p.u01, p.z01); });
    if (p.z02 != 0)
        step("u02", [&] { p.D02 = Diffusion(p.AbsTemperature, p.u02, p.z02); });
    // A complex carries the charges of analyte and selector together.
    double z1 = 0, z2 = 0;
    step("zCS", [&] { z1 = FAdd(p.z01, p.zCS); });
    if (z1 != 0)
        step("u1", [&] { p.D1 = Diffusion(p.AbsTemperature, p.u1, z1); });
    step("zCS", [&] { z2 = FAdd(p.z02, p.zCS); });
    if (z2 != 0)
        step("u2", [&] { p.D2 = Diffusion(p.AbsTemperature, p.u2, z2); });
    step(Blame("Capillary", p.Capillary, "Voltage", p.Voltage),
         [&] { p.FieldStrength = FDiv(p.Voltage, p.Capillary); });
    // Mean velocity of Poiseuille flow: p r^2 / (8 eta L).
    step(Blame("Pressure", p.Pressure, "Radius", p.Radius), [&] {
        p.FlowVelocity = FDiv(FMul(FMul(FMul(FMul(p.Pressure, p.Radius), p.Radius), 0.125), InverseViscosity),
                              p.Capillary);
    });
}

}  // namespace

void PhysParams::Derive()
{
    DeriveSteps(*this, [](const char*, auto&& Work) { Work(); });
}

const char* PhysParams::FaultKey() const
{
    PhysParams copy = *this;
    const char* key = nullptr;
    try {
        DeriveSteps(copy, [&](const char* Key, auto&& Work) {
            key = Key;
            Work();
        });
    } catch (const EMathError&) {
        return key;
    }
    return nullptr;
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
