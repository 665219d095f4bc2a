// The dependency record: defaults, copies and AssignData.
#include "model/Record.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordDefaults, NewRecordHoldsTheDefaultTable)
{
    const DependencyRecord r;
    EXPECT_EQ(r.name, AnsiString("<unnamed>"));
    EXPECT_EQ(r.analyte1, AnsiString("<Analyte 1>"));
    EXPECT_EQ(r.analyte2, AnsiString("<Analyte 2>"));
    EXPECT_EQ(r.selector, AnsiString("<Selector>"));
    EXPECT_EQ(r.Params.cMax, 20);
    EXPECT_EQ(r.Params.phys.Capillary, 0.485);
    EXPECT_EQ(r.Params.phys.Radius, 5e-5);
    EXPECT_EQ(r.Params.phys.FieldStrength, 25000 / 0.485);
    EXPECT_DOUBLE_EQ(r.Params.phys.AbsTemperature, 298.15);
    EXPECT_EQ(r.SeriesSet.colour, 0u);
    EXPECT_EQ(r.SeriesSet.t1Series, nullptr);
    EXPECT_EQ(r.SeriesSet.t2Series, nullptr);
    EXPECT_EQ(r.SeriesSet.MeasureSeries, nullptr);
}

TEST(RecordCopy, TextsAreIndependent)
{
    DependencyRecord a;
    a.name = "CE run";
    DependencyRecord b = a;
    b.name = "other";
    b.analyte1 = "\xE9thanol";  // 8-bit text
    EXPECT_EQ(a.name, AnsiString("CE run"));
    EXPECT_EQ(a.analyte1, AnsiString("<Analyte 1>"));
    a = b;
    EXPECT_EQ(a.analyte1.Bytes(), "\xE9thanol");
}

TEST(RecordAssignData, TakesEverythingButNameAndSeries)
{
    DependencyRecord source;
    source.name = "source";
    source.analyte1 = "A";
    source.analyte2 = "B";
    source.selector = "S";
    source.Params.points = 50;
    source.Params.a2.pKa = 4.2;
    source.Params.phys.Voltage = 30000;
    source.Params.Derive();
    source.SeriesSet.colour = 0x123456;

    DependencyRecord target;
    target.AssignData(source);
    EXPECT_EQ(target.name, AnsiString("<unnamed>"));
    EXPECT_EQ(target.analyte1, AnsiString("A"));
    EXPECT_EQ(target.analyte2, AnsiString("B"));
    EXPECT_EQ(target.selector, AnsiString("S"));
    EXPECT_EQ(target.Params.points, 50);
    EXPECT_EQ(target.Params.a2.pKa, 4.2);
    EXPECT_EQ(target.Params.phys.FieldStrength, source.Params.phys.FieldStrength);  // derived too
    EXPECT_EQ(target.SeriesSet.colour, 0u);

    source.AssignData(source);
    EXPECT_EQ(source.name, AnsiString("source"));
    EXPECT_EQ(source.analyte1, AnsiString("A"));
    EXPECT_EQ(source.Params.points, 50);
}

}  // namespace
