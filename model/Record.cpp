#include "model/Record.h"

void DependencyRecord::AssignData(const DependencyRecord& source)
{
    if (&source == this)
        return;
    analyte1 = source.analyte1;
    analyte2 = source.analyte2;
    selector = source.selector;
    Params = source.Params;
}

void DependencyRecord::Sweep(int choice) const
{
    SeriesSet.Sweep(Params, choice);
    SeriesSet.ShowMeasured(Measured);
}
