// Parameter defaults, the pH model and the physical derivation.
#include "model/Params.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ParamsDefaults, DefaultBlockIsAlreadyDerived)
{
    Params p;
    EXPECT_EQ(p.cMin, 0);
    EXPECT_EQ(p.cMax, 20);
    EXPECT_EQ(p.points, 21);
    EXPECT_EQ(p.pH, 7);
    EXPECT_FALSE(p.applypH);
    EXPECT_EQ(p.a1.hu0, 1e-9);
    EXPECT_EQ(p.a2.lK, 1);
    EXPECT_EQ(p.phys.D2, 1e-9);
    EXPECT_DOUBLE_EQ(p.phys.AbsTemperature, 298.15);
    EXPECT_NEAR(p.phys.FieldStrength, 51546.39, 0.01);

    const PhysParams before = p.phys;
    p.Derive();
    // Deriving the defaults changes no bit: the initial derived values are exact.
    EXPECT_EQ(p.phys.AbsTemperature, before.AbsTemperature);
    EXPECT_EQ(p.phys.FieldStrength, 25000 / 0.485);
    EXPECT_EQ(p.phys.FlowVelocity, 0);
    EXPECT_EQ(p.phys.D01, 1e-9);  // zero charges leave the coefficients alone
    EXPECT_EQ(p.phys.D1, 1e-9);
}

TEST(PhModel, AtPkaBothFormsWeighEqually)
{
    PhParams a;
    a.pKa = 4.5;
    a.lu0 = 10e-9;
    a.hu0 = 30e-9;
    a.lK = 0.2;
    a.hK = 0.6;
    a.luCS = 5e-9;
    a.huCS = 15e-9;
    const PhValues v = a.At(4.5);
    EXPECT_DOUBLE_EQ(v.u0, 20e-9);
    EXPECT_DOUBLE_EQ(v.K, 0.4);
    // Weighted by each form's share of the complexed amount: (0.1*5 + 0.3*15) / 0.4.
    EXPECT_DOUBLE_EQ(v.uCS, 12.5e-9);
}

TEST(PhModel, EqualConstantsMixComplexMobilitiesByFraction)
{
    PhParams a;
    a.pKa = 5;
    a.lK = a.hK = 0.3;
    a.luCS = 4e-9;
    a.huCS = -8e-9;
    const double h = 1 / (std::pow(10.0, 6.0 - 5.0) + 1);
    const PhValues v = a.At(6);
    EXPECT_DOUBLE_EQ(v.K, 0.3);
    EXPECT_DOUBLE_EQ(v.uCS, h * 4e-9 + (1 - h) * -8e-9);
    // Far from the pKa one form takes over.
    EXPECT_NEAR(a.At(-20).uCS, 4e-9, 1e-20);
    EXPECT_NEAR(a.At(30).uCS, -8e-9, 1e-20);
}

TEST(PhModel, FaultsOfTheModel)
{
    PhParams a;
    a.lK = a.hK = 0;
    EXPECT_THROW(a.At(7), EInvalidOp);  // 0 / 0
    a.lK = 1;
    a.hK = -1;
    a.luCS = 2e-9;
    a.huCS = 1e-9;
    EXPECT_THROW(a.At(0), EZeroDivide);  // K is 0 at pH = pKa, the numerator is not
    PhParams b;
    EXPECT_THROW(b.At(400), EOverflow);  // 10^400
    EXPECT_NO_THROW(b.At(-400));         // 10^-400 underflows to 0: h = 1
    EXPECT_EQ(b.At(-400).u0, b.lu0);
}

TEST(ParamsDerive, PhCorrectionOnlyWhenSwitchedOn)
{
    Params p;
    p.a1.lu0 = 7e-9;
    p.a2.hK = 3;
    p.pH = 0;  // equal to the default pKa: h = 0.5
    p.phys.u01 = 42e-9;
    p.Derive();
    EXPECT_EQ(p.phys.u01, 42e-9);
    EXPECT_EQ(p.phys.K2, 0);

    p.applypH = true;
    p.Derive();
    EXPECT_DOUBLE_EQ(p.phys.u01, 0.5 * 7e-9 + 0.5 * 1e-9);
    EXPECT_DOUBLE_EQ(p.phys.u1, 1e-9);
    EXPECT_DOUBLE_EQ(p.phys.K1, 1);
    EXPECT_DOUBLE_EQ(p.phys.K2, 2);
    EXPECT_DOUBLE_EQ(p.phys.u02, 1e-9);
}

TEST(ParamsDerive, DiffusionFollowsThePhCorrectedMobilities)
{
    Params p;
    p.applypH = true;
    p.a1.lu0 = p.a1.hu0 = 30e-9;
    p.phys.z01 = 1;
    p.Derive();
    EXPECT_DOUBLE_EQ(p.phys.D01, 1.38064852e-23 * 298.15 * 30e-9 / 1.60217662e-19);
}

TEST(NernstEinstein, CoefficientIsPositiveWhateverTheSigns)
{
    PhysParams p;
    p.u01 = -20e-9;
    p.z01 = 1;
    p.u02 = 20e-9;
    p.z02 = -2;
    p.Derive();
    const double d = 1.38064852e-23 * 298.15 * 20e-9 / 1.60217662e-19;
    EXPECT_DOUBLE_EQ(p.D01, d);
    EXPECT_DOUBLE_EQ(p.D02, d / 2);
    EXPECT_GT(p.D01, 0);
    EXPECT_GT(p.D02, 0);
}

TEST(NernstEinstein, ChargeSumsDecideWhichCoefficientsChange)
{
    PhysParams p;
    p.u01 = p.u1 = p.u02 = p.u2 = 10e-9;
    p.Derive();  // all charges zero: nothing changes
    EXPECT_EQ(p.D01, 1e-9);
    EXPECT_EQ(p.D1, 1e-9);
    EXPECT_EQ(p.D02, 1e-9);
    EXPECT_EQ(p.D2, 1e-9);

    p.z01 = 1;
    p.zCS = -1;  // the complex of analyte 1 is neutral, that of analyte 2 is not
    p.Derive();
    EXPECT_NE(p.D01, 1e-9);
    EXPECT_EQ(p.D1, 1e-9);
    EXPECT_EQ(p.D02, 1e-9);
    EXPECT_DOUBLE_EQ(p.D2, 1.38064852e-23 * 298.15 * 10e-9 / 1.60217662e-19);

    p.Temperature = 35;  // the temperature feeds the coefficients
    const double before = p.D01;
    p.Derive();
    EXPECT_DOUBLE_EQ(p.AbsTemperature, 308.15);
    EXPECT_DOUBLE_EQ(p.D01 / before, 308.15 / 298.15);
}

TEST(PhysDerive, FieldAndPoiseuilleFlow)
{
    PhysParams p;
    p.Pressure = 5000;
    p.Radius = 25e-6;
    p.Voltage = 30000;
    p.Capillary = 0.6;
    p.Derive();
    EXPECT_DOUBLE_EQ(p.FieldStrength, 50000);
    EXPECT_DOUBLE_EQ(p.FlowVelocity, 5000 * 25e-6 * 25e-6 / (8 * 0.0009229 * 0.6));
    p.Pressure = 0;
    p.Radius = 1;
    p.Derive();
    EXPECT_EQ(p.FlowVelocity, 0);
}

TEST(PhysDerive, ZeroCapillaryFaultsAfterTheFieldsBeforeIt)
{
    PhysParams p;
    p.Capillary = 0;
    p.Temperature = 30;
    p.u01 = 10e-9;
    p.z01 = 1;
    p.FieldStrength = 123;
    p.FlowVelocity = 456;
    EXPECT_THROW(p.Derive(), EZeroDivide);
    EXPECT_DOUBLE_EQ(p.AbsTemperature, 303.15);
    EXPECT_NE(p.D01, 1e-9);
    EXPECT_EQ(p.FieldStrength, 123);
    EXPECT_EQ(p.FlowVelocity, 456);

    p.Voltage = 0;
    EXPECT_THROW(p.Derive(), EInvalidOp);  // 0 / 0
}

TEST(PhysDerive, OverflowIsAFault)
{
    PhysParams p;
    p.Pressure = 1e300;
    p.Radius = 1e10;
    EXPECT_THROW(p.Derive(), EOverflow);
    EXPECT_EQ(p.FieldStrength, 25000 / 0.485);  // written before the flow
}

TEST(ParamsDerive, FaultInThePhModelKeepsWhatWasWritten)
{
    Params p;
    p.applypH = true;
    p.a2.lK = p.a2.hK = 0;
    p.phys.Temperature = 40;
    EXPECT_THROW(p.Derive(), EMathError);
    EXPECT_EQ(p.phys.K1, 1);  // analyte 1 was corrected
    EXPECT_EQ(p.phys.K2, 0);  // analyte 2 was not
    EXPECT_DOUBLE_EQ(p.phys.AbsTemperature, 298.15);  // the physical part never ran
}

}  // namespace
