// Measured data in the project file and in the document: the Measured sections, their round trips,
// files without them, and the measurements under undo, redo and the saved state.
#include "project/Document.h"
#include "project/DependencyChart.h"
#include "project/ProjectFile.h"

#include "tests/TempFolder.h"

#include <gtest/gtest.h>

namespace {

class MeasuredFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        FSaved = FormatSettings;
        FormatSettings = TFormatSettings::Invariant();
    }
    void TearDown() override { FormatSettings = FSaved; }
    std::string Path(const char* Name = "measured.ini") { return Temp.Path(Name); }

    TTempFolder Temp{"corvane-measured"};

private:
    TFormatSettings FSaved;
};

// Three rows: times of both analytes with tEOF, a mobility of analyte 1 only, a time of analyte 2
// without tEOF beside a mobility of analyte 2.
Measurements Sample()
{
    Measurements m;
    MeasuredRow r0;
    r0.c = 0;
    r0.t[0] = 3.25;
    r0.t[1] = 3.5;
    r0.tEOF = 2.125;
    MeasuredRow r1;
    r1.c = 2.5;
    r1.u[0] = -1.5e-8;
    MeasuredRow r2;
    r2.c = 10;
    r2.t[1] = 4;
    r2.u[1] = -1.25e-8;
    m.Rows = {r0, r1, r2};
    m.ViscositySlope = 0.0025;
    m.Options.Fixed[1][fpK] = true;
    m.Options.SharedU0 = true;
    return m;
}

const char* const SampleSection =
    "[Measured0]\r\nCount=3\r\nc0=0\r\nt1_0=3.25\r\nt2_0=3.5\r\ntEOF0=2.125\r\nc1=2.5\r\nu1_1=-1.5E-8\r\n"
    "c2=10\r\nt2_2=4\r\nu2_2=-1.25E-8\r\nViscositySlope=0.0025\r\nFix1_u0=0\r\nFix1_uCS=0\r\nFix1_K=0\r\n"
    "Fix2_u0=0\r\nFix2_uCS=0\r\nFix2_K=1\r\nSharedU0=1\r\nWeighted=0\r\n";

} // namespace

TEST_F(MeasuredFile, MeasurementsAreWrittenInTheirOwnSectionAndReadBack)
{
    for (const WideChar separator : {L'.', L','}) {
        FormatSettings.DecimalSeparator = separator;
        std::vector<DependencyRecord> records(2);
        records[1].Measured = Sample();
        const std::string file = Path(separator == L'.' ? "dot.ini" : "comma.ini");
        WriteProjectFile(file, records);
        const std::string bytes = ReadFileBytes(file);
        if (separator == L'.') {
            // After the dependencies' sections, and only for the dependency with measurements.
            std::string section = SampleSection;
            section.replace(section.find("Measured0"), 9, "Measured1");
            EXPECT_EQ(bytes.substr(bytes.size() - section.size()), section);
            EXPECT_EQ(bytes.find("[Measured0]"), std::string::npos);
        } else {
            EXPECT_NE(bytes.find("t1_0=3,25\r\n"), std::string::npos);
        }
        FormatSettings.DecimalSeparator = L'.';
        const ProjectContents read = ReadProjectFile(file);
        ASSERT_EQ(read.Records.size(), 2u);
        EXPECT_TRUE(read.Guesses.empty());
        EXPECT_TRUE(read.Records[0].Measured.Empty());
        EXPECT_EQ(read.Records[1].Measured, Sample());
        EXPECT_TRUE(SameStoredData(read.Records[1], records[1]));
        EXPECT_FALSE(SameStoredData(read.Records[0], records[1]));
    }
}

TEST_F(MeasuredFile, AProjectWithoutMeasurementsKeepsItsBytes)
{
    std::vector<DependencyRecord> records(2);
    records[0].name = "plain";
    WriteProjectFile(Path("plain.ini"), records);
    const std::string plain = ReadFileBytes(Path("plain.ini"));
    EXPECT_EQ(plain.find("Measured"), std::string::npos);
    // Read and written again: the same bytes.
    WriteProjectFile(Path("plain.ini"), ReadProjectFile(Path("plain.ini")).Records);
    EXPECT_EQ(ReadFileBytes(Path("plain.ini")), plain);
    // Measurements removed again leave no section behind, not even a stale one.
    records[1].Measured = Sample();
    WriteProjectFile(Path("plain.ini"), records);
    records[1].Measured = Measurements();
    WriteProjectFile(Path("plain.ini"), records);
    EXPECT_EQ(ReadFileBytes(Path("plain.ini")), plain);
}

TEST_F(MeasuredFile, FilesOfOtherProgramsAreReadAndTheirFaultsListed)
{
    WriteProjectFile(Path(), {DependencyRecord{}, DependencyRecord{}});
    std::string bytes = ReadFileBytes(Path());
    // Minimal hand-written sections: no options, a value that is no number, a bad row count.
    bytes += "[Measured0]\nCount=2\nc0=1\nu1_0=2E-8\nc1=3\nt1_1=x\ntEOF1=2\n"
             "[Measured1]\nCount=-4\nc0=1\n";
    WriteFileBytes(Path(), bytes);
    const ProjectContents read = ReadProjectFile(Path());
    ASSERT_EQ(read.Records.size(), 2u);
    const Measurements& m = read.Records[0].Measured;
    ASSERT_EQ(m.Rows.size(), 2u);
    EXPECT_EQ(m.Rows[0].c, 1);
    EXPECT_EQ(m.Rows[0].u[0], 2e-8);
    EXPECT_FALSE(m.Rows[1].t[0]);
    EXPECT_EQ(m.Rows[1].tEOF, 2);
    EXPECT_EQ(m.ViscositySlope, 0);
    EXPECT_FALSE(m.Options.SharedU0);
    EXPECT_TRUE(read.Records[1].Measured.Rows.empty());
    ASSERT_EQ(read.Guesses.size(), 2u);
    EXPECT_NE(read.Guesses[0].find("[Measured0] t1_1 \"x\" is not a number"), std::string::npos) << read.Guesses[0];
    EXPECT_NE(read.Guesses[1].find("[Measured1] Count \"-4\""), std::string::npos) << read.Guesses[1];
}

TEST_F(MeasuredFile, TheDocumentUndoesMeasurementsAndKeepsThemThroughApply)
{
    TChart chart{nullptr};
    DressDependencyChart(&chart);
    TPlainRows rows;
    TProjectDocument doc{&chart, rows};
    doc.Add();
    doc.Add();
    doc.Save(Path());
    EXPECT_FALSE(doc.GetModified());

    doc.SetMeasurements(1, Sample());
    EXPECT_EQ(doc.UndoName(), "Measurements");
    EXPECT_TRUE(doc.GetModified());
    // The same measurements again are no step.
    doc.SetMeasurements(1, Sample());
    doc.Undo();
    EXPECT_TRUE(doc.Records[1].Measured.Empty());
    EXPECT_FALSE(doc.GetModified());
    doc.Redo();
    EXPECT_EQ(doc.Records[1].Measured, Sample());

    // Apply stores the window into a copy of the record: the measurements stay.
    rows.SetCurrent(1);
    DependencyRecord edited = doc.Records[1];
    edited.Params.phys.K1 = 0.4;
    doc.Apply(edited);
    EXPECT_EQ(doc.Records[1].Measured, Sample());
    doc.Undo();
    doc.Undo();
    EXPECT_TRUE(doc.Records[1].Measured.Empty());
    EXPECT_FALSE(doc.GetModified());

    // Saved and loaded again.
    doc.Redo();
    doc.Save(Path());
    doc.Load(Path());
    EXPECT_EQ(doc.Records[1].Measured, Sample());
    EXPECT_FALSE(doc.GetModified());
}
