// A realistic pair of enantiomers for design-space maps: two weak acids (a profen-like pKa of 4.3
// and 4.4) with a neutral cyclodextrin, whose neutral forms bind strongly and differently and
// whose anions bind weakly, under an electro-osmotic flow that carries the anions to the detector.
#pragma once

#include "model/DesignSpace.h"
#include "model/Params.h"

inline Params ChiralPair()
{
    Params p;
    p.cMin = 0;
    p.cMax = 20;
    p.points = 21;
    p.applypH = true;
    p.pH = 4.5;
    auto acid = [](double pKa, double lK, double hK) {
        PhParams a;
        a.pKa = pKa;
        a.hu0 = -2.4e-8;  // the anion
        a.huCS = -0.6e-8;
        a.hK = hK;
        a.lu0 = 0;  // the neutral acid
        a.luCS = 0;
        a.lK = lK;
        return a;
    };
    p.a1 = acid(4.30, 0.30, 0.050);
    p.a2 = acid(4.40, 0.315, 0.051);
    p.phys.EOF = 5e-8;
    p.phys.z01 = -1;
    p.phys.z02 = -1;
    p.Derive();
    return p;
}

// The map of the pair over pH 3 to 6 (grid Nx x Ny) with a longest run of LongestMinutes.
inline DesignSpaceSettings ChiralPairSettings(int Nx, int Ny, double LongestMinutes = 4.5)
{
    DesignSpaceSettings s = DefaultDesignSpace(ChiralPair(), TMapCondition::pH);
    s.yFrom = 3;
    s.yTo = 6;
    s.nx = Nx;
    s.ny = Ny;
    s.Analysis.LongestRun = LongestMinutes * 60;
    return s;
}
