// Uncertainties in the project file and in the document: the Uncertainty sections, their round
// trips, files without them, faulty values in the load report, and the undo of their command.
#include "project/DependencyChart.h"
#include "project/Document.h"
#include "project/ProjectFile.h"

#include "tests/TempFolder.h"

#include <gtest/gtest.h>

namespace {

class UncertaintyFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        FSaved = FormatSettings;
        FormatSettings = TFormatSettings::Invariant();
    }
    void TearDown() override { FormatSettings = FSaved; }
    std::string Path(const char* Name = "uncertain.ini") { return Temp.Path(Name); }

    TTempFolder Temp{"corvane-uncertainty"};

private:
    TFormatSettings FSaved;
};

Uncertainties Sample()
{
    Uncertainties u;
    u.u[unU01] = 2.5e-10;
    u.u[unK1] = 0.0125;
    u.u[unK2] = 0.015;
    u.SetRho(unK1, unK2, 0.75);
    u.SetRho(unU01, unK1, -0.5);
    u.FromFit = true;
    return u;
}

const char* const SampleSection = "[Uncertainty1]\r\nu01=2.5E-10\r\nK1=0.0125\r\nK2=0.015\r\nr_u01_K1=-0.5\r\n"
                                  "r_K1_K2=0.75\r\nFromFit=1\r\n";

}  // namespace

TEST_F(UncertaintyFile, WrittenInTheirOwnSectionAndReadBack)
{
    for (const WideChar separator : {L'.', L','}) {
        FormatSettings.DecimalSeparator = separator;
        std::vector<DependencyRecord> records(2);
        records[1].Uncertainty = Sample();
        const std::string file = Path(separator == L'.' ? "dot.ini" : "comma.ini");
        WriteProjectFile(file, records);
        const std::string bytes = ReadFileBytes(file);
        if (separator == L'.') {
            EXPECT_EQ(bytes.substr(bytes.size() - std::string(SampleSection).size()), SampleSection);
            EXPECT_EQ(bytes.find("[Uncertainty0]"), std::string::npos);
        } else {
            EXPECT_NE(bytes.find("K1=0,0125\r\n"), std::string::npos);
        }
        FormatSettings.DecimalSeparator = L'.';
        const ProjectContents read = ReadProjectFile(file);
        ASSERT_EQ(read.Records.size(), 2u);
        EXPECT_TRUE(read.Guesses.empty());
        EXPECT_TRUE(read.Records[0].Uncertainty.Empty());
        EXPECT_EQ(read.Records[1].Uncertainty, Sample());
        EXPECT_TRUE(SameStoredData(read.Records[1], records[1]));
        // Every part of the uncertainties counts as stored data.
        for (auto change : {+[](Uncertainties& u) { u.u[unU2] = 1e-10; }, +[](Uncertainties& u) { u.SetRho(unK1, unK2, 0.5); },
                            +[](Uncertainties& u) { u.FromFit = false; }}) {
            DependencyRecord other = records[1];
            change(other.Uncertainty);
            EXPECT_FALSE(SameStoredData(other, records[1]));
        }
    }
}

TEST_F(UncertaintyFile, AProjectWithoutUncertaintiesKeepsItsBytes)
{
    std::vector<DependencyRecord> records(2);
    records[0].name = "plain";
    WriteProjectFile(Path("plain.ini"), records);
    const std::string plain = ReadFileBytes(Path("plain.ini"));
    EXPECT_EQ(plain.find("Uncertainty"), std::string::npos);
    WriteProjectFile(Path("plain.ini"), ReadProjectFile(Path("plain.ini")).Records);
    EXPECT_EQ(ReadFileBytes(Path("plain.ini")), plain);
    // Removed again, they leave no section behind.
    records[1].Uncertainty = Sample();
    WriteProjectFile(Path("plain.ini"), records);
    records[1].Uncertainty = Uncertainties();
    WriteProjectFile(Path("plain.ini"), records);
    EXPECT_EQ(ReadFileBytes(Path("plain.ini")), plain);
}

TEST_F(UncertaintyFile, FaultyValuesAreLeftOutAndListed)
{
    WriteProjectFile(Path(), {DependencyRecord{}, DependencyRecord{}});
    std::string bytes = ReadFileBytes(Path());
    bytes += "[Uncertainty0]\nu01=x\nK1=-0.1\nK2=0.02\nr_K1_K2=1.5\nu2=1E-10\n"
             // Three correlations that cannot hold together.
             "[Uncertainty1]\nu01=1E-10\nu02=1E-10\nK1=0.1\nr_u01_K1=0.9\nr_u01_u02=0.9\nr_K1_u02=-0.9\n";
    WriteFileBytes(Path(), bytes);
    const ProjectContents read = ReadProjectFile(Path());
    ASSERT_EQ(read.Records.size(), 2u);
    const Uncertainties& a = read.Records[0].Uncertainty;
    EXPECT_EQ(a.u[unU01], 0);
    EXPECT_EQ(a.u[unK1], 0);
    EXPECT_EQ(a.u[unK2], 0.02);
    EXPECT_EQ(a.u[unU2], 1e-10);
    EXPECT_EQ(a.Rho(unK1, unK2), 0);
    const Uncertainties& b = read.Records[1].Uncertainty;
    EXPECT_EQ(b.u[unK1], 0.1);
    EXPECT_TRUE(b.Correlation.empty());
    ASSERT_EQ(read.Guesses.size(), 4u);
    const char* expected[] = {"[Uncertainty0] u01 \"x\" is not a number from 0 up", "[Uncertainty0] K1 \"-0.1\"",
                              "[Uncertainty0] r_K1_K2 \"1.5\" is not a correlation", "[Uncertainty1] The correlations contradict"};
    for (size_t k = 0; k < 4; ++k)
        EXPECT_NE(read.Guesses[k].find(expected[k]), std::string::npos) << read.Guesses[k];
}

TEST_F(UncertaintyFile, TheDocumentUndoesUncertaintiesAndKeepsThemThroughApply)
{
    TChart chart{nullptr};
    DressDependencyChart(&chart);
    TPlainRows rows;
    TProjectDocument doc{&chart, rows};
    doc.Add();
    doc.Add();
    doc.Save(Path());
    EXPECT_FALSE(doc.GetModified());

    doc.SetUncertainties(1, Sample());
    EXPECT_EQ(doc.UndoName(), "Uncertainties");
    EXPECT_TRUE(doc.GetModified());
    // The same uncertainties again are no step.
    doc.SetUncertainties(1, Sample());
    doc.Undo();
    EXPECT_TRUE(doc.Records[1].Uncertainty.Empty());
    EXPECT_FALSE(doc.GetModified());
    EXPECT_EQ(doc.UndoName(), "Add");
    doc.Redo();
    EXPECT_EQ(doc.Records[1].Uncertainty, Sample());

    // Apply stores the window into a copy of the record: the uncertainties stay.
    rows.SetCurrent(1);
    DependencyRecord edited = doc.Records[1];
    edited.Params.phys.K1 = 0.4;
    doc.Apply(edited);
    EXPECT_EQ(doc.Records[1].Uncertainty, Sample());

    doc.Save(Path());
    doc.Load(Path());
    EXPECT_EQ(doc.Records[1].Uncertainty, Sample());
    EXPECT_FALSE(doc.GetModified());
}
