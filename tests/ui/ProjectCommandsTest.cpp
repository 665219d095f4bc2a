// Save and Load through the window's buttons and file dialogs, the refusal of a damaged file,
// and the question on closing with unsaved changes.
#include "UiTestKit.h"
#include "tests/TempFolder.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QCompleter>
#include <QAbstractItemView>
#include <QTemporaryDir>



class ProjectCommands : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(Dir.isValid());
    }

    std::string Path(const char* Name) const { return Dir.filePath(Name).toStdString(); }

    // The dialog proposes the file, and the person confirms it with Enter.
    void SaveAs(const std::string& P)
    {
        F->SaveDialog1->SetFileName(P);
        WhenModalOpens([&](QWidget* w) { PressKey(w, Qt::Key_Return); });
        Click(F->BtnSave);
    }
    void Open(const std::string& P)
    {
        F->OpenDialog1->SetFileName(P);
        WhenModalOpens([&](QWidget* w) { PressKey(w, Qt::Key_Return); });
        Click(F->BtnLoad);
    }

    QTemporaryDir Dir;
};

TEST_F(ProjectCommands, SaveThenLoadGivesTheSameListAndColours)
{
    EnterRealisticSet();
    Enter(F->EdtName, "first");
    Click(F->BtnApply);
    Click(F->BtnAdd);
    Enter(F->EdtName, "second");
    Enter(F->NumK2, "700");
    Click(F->BtnApply);
    ClickRow(1);
    Click(F->BtnHide);

    const std::string file = Path("project.ini");
    SaveAs(Path("project"));  // the default extension is added
    ASSERT_TRUE(QFile::exists(QString::fromStdString(file)));
    EXPECT_EQ(F->ChrtDependencies->GetTitle()->GetText()->Get(0), file);
    EXPECT_EQ(F->OpenDialog1->GetFileName(), "project.ini");
    EXPECT_EQ(F->SaveDialog1->GetFileName(), file);
    const std::string bytes = ReadFileBytes(file);
    EXPECT_NE(bytes.find("[General]\r\nDecSep=46\r\nCount=2\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("name=second\r\n"), std::string::npos);
    EXPECT_FALSE(F->ProjectChanged());

    Click(F->BtnNew);
    ASSERT_EQ(F->Records.size(), 1u);
    EXPECT_TRUE(F->ProjectChanged());
    EXPECT_EQ(F->ChrtDependencies->GetTitle()->GetText()->Get(0), file);  // New keeps the title

    for (int pass = 0; pass < 2; ++pass) {
        Open(file);
        ASSERT_EQ(F->Records.size(), 2u);
        EXPECT_EQ(F->LstDependencies->Items->Get(0), "first");
        EXPECT_EQ(F->LstDependencies->Items->Get(1), "second");
        EXPECT_EQ(F->LstDependencies->GetSelCount(), 0);
        EXPECT_DOUBLE_EQ(F->Records[1].Params.phys.K2, 0.7);
        EXPECT_TRUE(F->Records[1].SeriesSet.IsVisible());  // the hidden state is not stored
        EXPECT_TRUE(F->Records[0].SeriesSet.t1Series->GetShowInLegend());
        EXPECT_FALSE(F->Records[1].SeriesSet.t1Series->GetShowInLegend());
        EXPECT_EQ(F->Records[1].SeriesSet.colour, RGB(255, 235, 235));
        EXPECT_EQ(Shown(F->EdtName), "second");
        EXPECT_EQ(F->SaveDialog1->GetFileName(), "project.ini");
        EXPECT_EQ(F->OpenDialog1->GetFileName(), file);
        EXPECT_FALSE(F->ProjectChanged());
    }
    // A file written by the program saves back byte for byte.
    SaveAs(Path("again.ini"));
    EXPECT_EQ(ReadFileBytes(Path("again.ini")), bytes);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(ProjectCommands, CommaSeparatorIsTakenFromTheFileAndKept)
{
    const std::string file = Path("comma.ini");
    WriteFileBytes(file, "[General]\r\nDecSep=44\r\nCount=1\r\n[Dependency0]\r\nNAME=Naprox\xE8ne\r\n"
                   "Analyte1=20 \xB5M\r\nanalyte2=25 \xB0" "C\r\nCapillary=0,485\r\nTemperature=20.5\r\n"
                   "Voltage=25000\r\nu01=2E-8\r\n");
    Open(file);
    ASSERT_EQ(F->Records.size(), 1u);
    EXPECT_EQ(FormatSettings.DecimalSeparator, L',');
    EXPECT_EQ(Shown(F->NumCapillary), "48,5");
    EXPECT_EQ(Shown(F->EdtName), "Naproxène");
    EXPECT_EQ(Shown(F->EdtAnalyte1), "20 µM");
    EXPECT_EQ(Shown(F->EdtAnalyte2), "25 °C");
    EXPECT_EQ(F->LstDependencies->Items->Get(0), "Naproxène");
    EXPECT_DOUBLE_EQ(F->Records[0].Params.phys.Temperature, 25);  // "20.5" is no number under ","
    EXPECT_DOUBLE_EQ(F->Records[0].Params.phys.u01, 2e-8);
    SaveAs(Path("out.ini"));
    const std::string out = ReadFileBytes(Path("out.ini"));
    EXPECT_NE(out.find("DecSep=44\r\n"), std::string::npos);
    EXPECT_NE(out.find("Capillary=0,485\r\n"), std::string::npos);
    EXPECT_NE(out.find("name=Naprox\xE8ne\r\n"), std::string::npos);
}

TEST_F(ProjectCommands, ADamagedFileChangesNothing)
{
    EnterRealisticSet();
    Enter(F->EdtName, "kept");
    Click(F->BtnApply);
    const struct {
        const char* Name;
        const char* Content;
    } damaged[] = {
        {"capillary0.ini", "[General]\r\nDecSep=46\r\nCount=1\r\n[Dependency0]\r\nCapillary=0\r\n"},
        {"negative.ini", "[General]\r\nDecSep=46\r\nCount=-1\r\n"},
        {"huge.ini", "[General]\r\nDecSep=46\r\nCount=99999999\r\n"},
        {"digit.ini", "[General]\r\nDecSep=48\r\nCount=1\r\n"},
    };
    for (const auto& d : damaged) {
        WriteFileBytes(Path(d.Name), d.Content);
        Errors.clear();
        Open(Path(d.Name));
        EXPECT_EQ(Errors.size(), 1u) << d.Name;
        ASSERT_EQ(F->Records.size(), 1u) << d.Name;
        EXPECT_EQ(F->LstDependencies->GetCount(), 1) << d.Name;
        EXPECT_EQ(F->Records[0].name, AnsiString("kept"));
        EXPECT_EQ(F->ChrtDependencies->GetTitle()->GetText()->Get(0), "[anonymous]");
        EXPECT_EQ(FormatSettings.DecimalSeparator, L'.');
        EXPECT_EQ(F->Records[0].SeriesSet.t1Series->Count(), 22);
    }
}

TEST_F(ProjectCommands, ASaveThatFailsKeepsTheOldFile)
{
    const std::string file = Path("readonly.ini");
    WriteFileBytes(file, "old bytes");
    QFile::setPermissions(QString::fromStdString(file), QFileDevice::ReadOwner);
    F->SaveProject(Path("ok.ini"));  // a direct save works
    EXPECT_THROW(F->SaveProject(file), Exception);
    EXPECT_EQ(ReadFileBytes(file), "old bytes");
}

TEST_F(ProjectCommands, ClosingWithUnsavedChangesAsks)
{
    // Unchanged since start-up: closes without a question.
    EXPECT_FALSE(F->ProjectChanged());
    bool canClose = true;
    F->FormCloseQuery(F, canClose);
    EXPECT_TRUE(canClose);

    Enter(F->NumEOF, "3");
    Click(F->BtnApply);
    ASSERT_TRUE(F->ProjectChanged());
    std::string question;
    auto answer = [&](const QString& button) {
        WhenModalOpens([&, button](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w))
                question = box->text().toStdString();
            ClickButton(w, button);
        });
        canClose = true;
        F->FormCloseQuery(F, canClose);
    };
    answer("Cancel");
    EXPECT_EQ(question, "Save changes to the project?");
    EXPECT_FALSE(canClose);
    answer("No");
    EXPECT_TRUE(canClose);
    // Yes saves through the Save command; a cancelled save dialog keeps the window open.
    WhenModalOpens([&](QWidget* w) {
        ClickButton(w, "Yes");
        WhenModalOpens([](QWidget* dialog) { PressKey(dialog, Qt::Key_Escape); }, w);
    });
    canClose = true;
    F->FormCloseQuery(F, canClose);
    EXPECT_FALSE(canClose);
    WhenModalOpens([&](QWidget* w) {
        ClickButton(w, "Yes");
        WhenModalOpens([&](QWidget* dialog) { TypeFileName(dialog, QString::fromStdString(Path("closing.ini"))); }, w);
    });
    canClose = false;
    F->FormCloseQuery(F, canClose);
    EXPECT_TRUE(canClose);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(Path("closing.ini"))));
    EXPECT_FALSE(F->ProjectChanged());
}

// A project named on the command line opens after the start-up dependency, as Load would; one
// that cannot be loaded shows its error and leaves the default dependency.
TEST(StartupFile, OpensTheProjectOrKeepsTheDefault)
{
    TTempFolder folder("corvane-startup");
    const std::string good = folder.Path("given.ini");
    WriteFileBytes(good, "[General]\r\nDecSep=46\r\nCount=2\r\n[Dependency0]\r\nname=one\r\n[Dependency1]\r\nname=two\r\n");
    const std::string bad = folder.Path("bad.ini");
    WriteFileBytes(bad, "[General]\r\nCount=-1\r\n");
    // A name that names no file is no empty project.
    const std::string missing = folder.Path("missing.ini");
    for (const std::string& file : {good, bad, missing}) {
        std::vector<std::string> errors;
        Application->OnException = [&](TObject*, Exception* E) { errors.push_back(E->Message()); };
        Application->CreateForm(FrmCorvane);
        Application->CreateForm(FrmpHSetup);
        FrmCorvane->StartupFile = file;
        FrmCorvane->Show();
        QApplication::processEvents();
        if (file == good) {
            ASSERT_EQ(FrmCorvane->Records.size(), 2u);
            EXPECT_EQ(FrmCorvane->LstDependencies->Items->Get(1), "two");
            EXPECT_EQ(FrmCorvane->ChrtDependencies->GetTitle()->GetText()->Get(0), good);
            EXPECT_TRUE(errors.empty());
        } else {
            ASSERT_EQ(FrmCorvane->Records.size(), 1u);
            EXPECT_EQ(FrmCorvane->LstDependencies->Items->Get(0), "<unnamed>");
            ASSERT_EQ(errors.size(), 1u);
            if (file == missing) {
                EXPECT_EQ(errors[0], "Cannot load " + missing + ": the file does not exist.");
            }
        }
        Application->OnException = nullptr;
        delete FrmpHSetup;
        delete FrmCorvane;
    }
}

// A dependency whose sweep fails while a project loads: the error shows once, every record keeps
// its row, and the others are swept.
TEST_F(ProjectCommands, ASweepThatFailsDuringLoadKeepsEveryRow)
{
    const std::string file = Path("one-fails.ini");
    WriteFileBytes(file, "[General]\r\nDecSep=46\r\nCount=3\r\n[Dependency0]\r\nname=one\r\n"
                         "[Dependency1]\r\nname=two\r\npoints=0\r\n[Dependency2]\r\nname=three\r\n");
    // Load's handler hands the error to the error display.
    EXPECT_THROW(F->LoadFile(file), Exception);
    ASSERT_EQ(F->Records.size(), 3u);
    EXPECT_EQ(F->LstDependencies->GetCount(), 3);
    EXPECT_EQ(F->LstDependencies->Items->Get(2), "three");
    EXPECT_GT(F->Records[0].SeriesSet.t1Series->Count(), 0);
    EXPECT_GT(F->Records[2].SeriesSet.t1Series->Count(), 0);
    EXPECT_EQ(F->ChrtDependencies->GetTitle()->GetText()->Get(0), file);
}
