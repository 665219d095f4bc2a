// The realistic set of the analysis benchmarks: equal mobilities 20 free and 5 complexed,
// EOF 40 (1e-9 m^2/(V s)), D 5e-10 free and 3e-10 complexed, K 0.2 and 0.3 per mM, 0 to 50 mM
// in 101 points.
#pragma once

#include "model/Params.h"

inline Params RealisticSet(double Pressure = 0)
{
    Params p;
    p.cMax = 50;
    p.points = 101;
    p.phys.u01 = p.phys.u02 = 20e-9;
    p.phys.u1 = p.phys.u2 = 5e-9;
    p.phys.K1 = 0.2;
    p.phys.K2 = 0.3;
    p.phys.EOF = 40e-9;
    p.phys.D01 = p.phys.D02 = 5e-10;
    p.phys.D1 = p.phys.D2 = 3e-10;
    p.phys.Pressure = Pressure;
    p.Derive();
    return p;
}
