// Parameters of one dependency and their derivation.
//
// Stored units: SI (m, V, Pa, m^2/(V s), m^2/s), temperatures in degrees Celsius
// with the derived absolute temperature in K, selector concentrations in mM and
// complexation constants in 1/mM, so that a constant times a concentration is
// dimensionless.
#pragma once

#include <cstdint>
#include <cstdio>

// The electro-osmotic mobility is the field EOF, named as its project key; the
// C library's end-of-file macro of that name gives way to it. <cstdio> is
// included first so that no later include brings the macro back.
#undef EOF

#include "platform/SysUtils.h"

// Mobilities and complexation constant of one analyte at a given pH.
struct PhValues {
    double u0 = 0;   // free mobility, m^2/(V s)
    double uCS = 0;  // mobility of the complex, m^2/(V s)
    double K = 0;    // complexation constant, 1/mM
};

// How one analyte behaves with pH: an acid/base pair whose low-pH and high-pH
// forms each have their own free mobility, complex mobility and constant.
struct PhParams {
    double pKa = 0;
    double hu0 = 1e-9;   // free mobility of the high-pH form
    double huCS = 1e-9;  // complex mobility of the high-pH form
    double hK = 1;       // complexation constant of the high-pH form, 1/mM
    double lu0 = 1e-9;   // free mobility of the low-pH form
    double luCS = 1e-9;  // complex mobility of the low-pH form
    double lK = 1;       // complexation constant of the low-pH form, 1/mM

    // The values of the analyte at pH. A zero mean constant or an overflowing
    // power of ten raises the floating-point fault.
    PhValues At(double pH) const;
};

// Run conditions, analyte properties and the quantities derived from them.
struct PhysParams {
    double Capillary = 0.485;  // total length, m
    double Detector = 0.4;     // inlet to detector, m
    double Voltage = 25000;    // V
    double Temperature = 25;   // degrees Celsius
    double EOF = 0;            // electro-osmotic mobility at zero selector, m^2/(V s)
    double EOFSlope = 0;       // its change per mM of selector
    double Pressure = 0;       // Pa
    double Radius = 5e-5;      // inner radius, m
    double u01 = 0;            // free mobility of analyte 1
    double u02 = 0;            // free mobility of analyte 2
    double u1 = 0;             // complex mobility of analyte 1
    double u2 = 0;             // complex mobility of analyte 2
    double K1 = 0;             // complexation constant of analyte 1, 1/mM
    double K2 = 0;             // complexation constant of analyte 2, 1/mM
    double z01 = 0;            // charge of free analyte 1 (whole number)
    double z02 = 0;            // charge of free analyte 2
    double zCS = 0;            // charge of the selector
    double D01 = 1e-9;         // diffusion coefficients, m^2/s
    double D02 = 1e-9;
    double D1 = 1e-9;
    double D2 = 1e-9;
    // Derived by Derive() (the initial values are those of the defaults above),
    // never stored in a project.
    double FlowVelocity = 0;                 // mean velocity of the pressure-driven flow, m/s
    double FieldStrength = 25000.0 / 0.485;  // V/m
    double AbsTemperature = 25.0 + 273.15;   // K

    // Absolute temperature, the diffusion coefficients of every species with a
    // non-zero charge (Nernst-Einstein), field strength and flow velocity, in
    // that order. A floating-point fault (zero capillary, overflow) is raised
    // with the fields before it already written.
    void Derive();
    // The key of the field whose value makes Derive() fault (the divisor of a
    // division by zero, the largest factor of an overflow), or nullptr when it
    // does not fault. Changes nothing.
    const char* FaultKey() const;
};

// The whole parameter block of a dependency.
struct Params {
    double cMin = 0;       // lowest selector concentration, mM
    double cMax = 20;      // highest selector concentration, mM
    std::int32_t points = 21;  // concentration steps of the sweep
    double pH = 7;
    bool applypH = false;  // derive mobilities and constants from a1, a2 at pH
    PhParams a1;
    PhParams a2;
    PhysParams phys;

    // The pH correction when applypH is set, then the physical derivation.
    void Derive();
};

// Boltzmann constant (J/K) and elementary charge (C) of the Nernst-Einstein relation.
inline constexpr double BoltzmannConstant = 1.38064852e-23;
inline constexpr double ElementaryCharge = 1.60217662e-19;
// 1 / viscosity of the electrolyte (0.0009229 Pa s).
inline constexpr double InverseViscosity = 1083.5410120273052;
