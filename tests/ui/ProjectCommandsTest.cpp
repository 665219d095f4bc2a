// Save and Load through the window's buttons and file dialogs, the refusal of a damaged file,
// and the question on closing with unsaved changes.
#include "UiTestKit.h"
#include "project/CurvesText.h"
#include "project/ProjectFile.h"
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
    // Returns the texts of the boxes that followed (the load report), each answered with OK; the
    // first is saved as a picture in Picture when one is named.
    std::vector<std::string> Open(const std::string& P, const char* Picture = nullptr)
    {
        F->OpenDialog1->SetFileName(P);
        WhenModalOpens([&](QWidget* w) { PressKey(w, Qt::Key_Return); });
        TBoxAnswerer boxes;
        if (Picture != nullptr)
            boxes.PictureFile = QString::fromStdString(BuildPath(Picture));
        Click(F->BtnLoad);
        return boxes.Texts;
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
    EXPECT_FALSE(F->ProjectChanged());  // only the default dependency: nothing to lose
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
    Click(F->BtnAdd);
    Enter(F->EdtName, "second");
    Click(F->BtnApply);
    F->SaveProject(Path("kept.ini"));   // nothing unsaved: Load asks no question
    const std::string png("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
    const struct {
        const char* Name;
        std::string Content;
        std::string Message;   // after "Cannot load <path>" or as it stands
    } damaged[] = {
        {"capillary0.ini", "[General]\r\nDecSep=46\r\nCount=2\r\n[Dependency0]\r\n[Dependency1]\r\nname=K2=500\r\n"
                           "Capillary=0\r\n", "Dependency 2 (K2=500): Capillary: Floating point division by zero"},
        {"points0.ini", "[General]\r\nDecSep=46\r\nCount=3\r\n[Dependency0]\r\nname=one\r\n[Dependency1]\r\n"
                        "name=two\r\npoints=0\r\n[Dependency2]\r\nname=three\r\n",
         "Dependency 2 (two): points: Floating point division by zero"},
        {"negative.ini", "[General]\r\nDecSep=46\r\nCount=-1\r\n", ": the number of dependencies (-1)"},
        {"huge.ini", "[General]\r\nDecSep=46\r\nCount=99999999\r\n", ": the number of dependencies (99999999)"},
        {"digit.ini", "[General]\r\nDecSep=48\r\nCount=1\r\n", ": its decimal separator (character code 48)"},
        {"letter.txt.ini", "Dear colleague,\r\nthe buffer is 25 mM borate.\r\n", ": it is not a Corvane project"},
        {"picture.ini", png, ": it is not a Corvane project"},
        {"empty.ini", "", ": it is not a Corvane project"},
    };
    for (const auto& d : damaged) {
        WriteFileBytes(Path(d.Name), d.Content);
        Errors.clear();
        const std::vector<std::string> boxes = Open(Path(d.Name));
        EXPECT_TRUE(boxes.empty()) << d.Name;
        ASSERT_EQ(Errors.size(), 1u) << d.Name;
        EXPECT_TRUE(Errors[0] == d.Message || Errors[0].rfind("Cannot load " + Path(d.Name) + d.Message, 0) == 0)
            << Errors[0];
        ASSERT_EQ(F->Records.size(), 2u) << d.Name;
        EXPECT_EQ(F->LstDependencies->GetCount(), 2) << d.Name;
        EXPECT_EQ(F->LstDependencies->Items->Get(1), "second") << d.Name;
        EXPECT_EQ(F->Records[0].name, AnsiString("kept"));
        EXPECT_EQ(Shown(F->EdtName), "second");
        EXPECT_EQ(F->ChrtDependencies->GetTitle()->GetText()->Get(0), "[anonymous]");
        EXPECT_EQ(FormatSettings.DecimalSeparator, L'.');
        EXPECT_EQ(F->Records[0].SeriesSet.t1Series->Count(), 22);
        // The chart holds the two dependencies' series and the cross-hair, nothing left over.
        EXPECT_EQ(F->ChrtDependencies->SeriesCount(), 2 * 4 + 2) << d.Name;
        EXPECT_EQ(F->ChrtDependencies->GetLegend()->Count(), 3) << d.Name;
    }
}

// A load that had to guess says so in one information box; a clean one says nothing.
TEST_F(ProjectCommands, ALoadThatGuessedSaysSo)
{
    const std::string file = Path("guessed.ini");
    WriteFileBytes(file, "[General]\r\nDecSep=44\r\nCount=2\r\n[Dependency0]\r\nname=first\r\nTemperature=20.5\r\n");
    std::vector<std::string> boxes = Open(file, "corvane_load_report.png");
    ASSERT_EQ(boxes.size(), 1u);
    const std::string& report = boxes[0];
    EXPECT_EQ(report.rfind(file + " was loaded, but not all of it could be read:\n", 0), 0u) << report;
    EXPECT_NE(report.find("\nDependency 1 (first): Temperature \"20.5\" is not a number; 25 used.\n"),
              std::string::npos) << report;
    EXPECT_NE(report.find("\nDependency 2: no section [Dependency1]; the default dependency is used.\n"),
              std::string::npos) << report;
    EXPECT_NE(report.find("The decimal separator is now \",\" (it was \".\")"), std::string::npos) << report;
    // What is loaded is what the file gives.
    ASSERT_EQ(F->Records.size(), 2u);
    EXPECT_EQ(F->Records[0].Params.phys.Temperature, 25);
    EXPECT_EQ(FormatSettings.DecimalSeparator, L',');
    EXPECT_TRUE(Errors.empty());

    // Saved by the program, it loads without a word.
    SaveAs(Path("clean.ini"));
    boxes = Open(Path("clean.ini"));
    EXPECT_TRUE(boxes.empty()) << boxes[0];
    EXPECT_EQ(F->Records.size(), 2u);
}

// New and Load ask before they discard unsaved changes, as closing does; the default dependency
// alone never asks.
TEST_F(ProjectCommands, NewAndLoadAskBeforeDiscardingChanges)
{
    // A complete file, so that loading it shows no report.
    const std::string other = Path("other.ini");
    F->SaveProject(other);
    {
        // Start-up, then New, then closing: never a question.
        TBoxAnswerer boxes("Cancel");
        Click(F->BtnNew);
        bool canClose = false;
        F->FormCloseQuery(F, canClose);
        EXPECT_TRUE(canClose);
        EXPECT_TRUE(boxes.Texts.empty());
    }
    enum TAnswer { Cancel, No, YesThenCancelTheSave, YesAndSave };
    int round = 0;
    for (TButton* command : {F->BtnNew, F->BtnLoad}) {
        for (TAnswer answer : {Cancel, No, YesThenCancelTheSave, YesAndSave}) {
            SCOPED_TRACE((command == F->BtnNew ? "New, answer " : "Load, answer ") + std::to_string(answer));
            const std::string name = "unsaved " + std::to_string(++round);
            Enter(F->EdtName, name);
            Click(F->BtnApply);
            Click(F->BtnAdd);
            ASSERT_TRUE(F->ProjectChanged());
            const std::string saved = Path(("saved" + std::to_string(round) + ".ini").c_str());
            std::string question;
            // The dialogs propose the files, and Enter takes them: the save dialog the new file, the
            // open dialog other.ini, or after a save the saved file.
            F->SaveDialog1->SetFileName(saved);
            F->OpenDialog1->SetFileName(other);
            WhenModalOpens([&](QWidget* box) {
                question = static_cast<QMessageBox*>(box)->text().toStdString();
                ClickButton(box, answer == Cancel ? "Cancel" : answer == No ? "No" : "Yes");
                if (answer == YesThenCancelTheSave)
                    WhenModalOpens([](QWidget* dialog) { PressKey(dialog, Qt::Key_Escape); }, box);
                if (answer == YesAndSave)
                    WhenModalOpens([&](QWidget* dialog) {
                        PressKey(dialog, Qt::Key_Return);
                        if (command == F->BtnLoad)
                            WhenModalOpens([](QWidget* open) { PressKey(open, Qt::Key_Return); }, dialog);
                    }, box);
                if (answer == No && command == F->BtnLoad)
                    WhenModalOpens([](QWidget* open) { PressKey(open, Qt::Key_Return); }, box);
            });
            Click(command);
            EXPECT_EQ(question, "Save changes to the project?");
            const bool goesOn = answer == No || answer == YesAndSave;
            if (goesOn) {
                const bool loadsTheSavedFile = command == F->BtnLoad && answer == YesAndSave;
                ASSERT_EQ(F->Records.size(), loadsTheSavedFile ? 2u : 1u);
                EXPECT_FALSE(F->ProjectChanged());
            } else {
                ASSERT_EQ(F->Records.size(), 2u);
                EXPECT_EQ(F->LstDependencies->Items->Get(0), name);
                EXPECT_TRUE(F->ProjectChanged());
            }
            EXPECT_EQ(QFile::exists(QString::fromStdString(saved)), answer == YesAndSave);
            if (!goesOn) {
                // Back to one dependency for the next round.
                TBoxAnswerer boxes("No");
                Click(F->BtnNew);
            }
        }
    }
    EXPECT_TRUE(Errors.empty());
}

// Delete of the dependency the window shows: the window then shows the current one, so that
// Apply cannot write the deleted values onto another.
TEST_F(ProjectCommands, DeletingTheShownDependencyShowsTheCurrentOne)
{
    EnterRealisticSet();
    Enter(F->EdtName, "K2=500 30kV");
    Enter(F->NumVoltage, "30");
    Click(F->BtnApply);
    Click(F->BtnAdd);
    Enter(F->EdtName, "K2=500 20kV");
    Enter(F->NumVoltage, "20");
    Click(F->BtnApply);
    ClickRow(1);   // shown, selected and current
    ASSERT_EQ(Shown(F->EdtName), "K2=500 20kV");
    WhenModalOpens([](QWidget* box) { ClickButton(box, "Yes"); });
    Click(F->BtnDelete);
    ASSERT_EQ(F->Records.size(), 1u);
    ASSERT_EQ(F->CurrentRow(), 0);
    EXPECT_EQ(Shown(F->EdtName), "K2=500 30kV");
    EXPECT_EQ(Shown(F->NumVoltage), "30");
    Click(F->BtnApply);
    EXPECT_EQ(F->Records[0].name, AnsiString("K2=500 30kV"));
    EXPECT_DOUBLE_EQ(F->Records[0].Params.phys.Voltage, 30000);

    // Deleting another row leaves the window as it is, edits and mark included.
    Click(F->BtnAdd);
    Enter(F->EdtName, "edited");
    ClickRow(0);
    ClickRow(1, Qt::ControlModifier);
    ClickRow(0, Qt::ControlModifier);   // row 1 selected, row 0 current and shown
    Enter(F->EdtName, "edited");
    WhenModalOpens([](QWidget* box) { ClickButton(box, "Yes"); });
    Click(F->BtnDelete);
    ASSERT_EQ(F->Records.size(), 1u);
    EXPECT_EQ(Shown(F->EdtName), "edited");
    EXPECT_TRUE(ApplyIsRed());
    EXPECT_TRUE(Errors.empty());
}

TEST_F(ProjectCommands, ApplyRefusesMorePointsThanASweepTakes)
{
    const std::vector<double> before = {F->Records[0].Params.cMax, double(F->Records[0].Params.points)};
    const int drawn = F->Records[0].SeriesSet.t1Series->Count();
    Enter(F->NumMaxC, "30");
    Enter(F->NumPoints, "2000000");
    Click(F->BtnApply);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], "Too many data points: 2000000 (at most 1000000).");
    EXPECT_EQ(F->Records[0].Params.cMax, before[0]);
    EXPECT_EQ(F->Records[0].Params.points, before[1]);
    EXPECT_EQ(F->Records[0].SeriesSet.t1Series->Count(), drawn);
    EXPECT_EQ(Shown(F->NumPoints), "2E0006");   // the field keeps the edit, in its own format
    EXPECT_TRUE(ApplyIsRed());
    // Selecting the row again shows it whole, with no error.
    ClickRow(0);
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_EQ(F->Records[0].SeriesSet.t1Series->Count(), drawn);
}

// A text longer than its edit can show is kept whole by an Apply that does not touch it.
TEST_F(ProjectCommands, ApplyKeepsALongTextItDidNotEdit)
{
    const std::string longName(100000, 'n');
    const std::string file = Path("long.ini");
    WriteFileBytes(file, "[General]\r\nDecSep=46\r\nCount=1\r\n[Dependency0]\r\nname=" + longName +
                             "\r\nanalyte1=" + longName + "\r\n");
    const std::vector<std::string> boxes = Open(file);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(": name has 100000 characters; its field shows the first 32767."), std::string::npos);
    EXPECT_EQ(Shown(F->EdtName).size(), 32767u);
    Enter(F->NumK2, "600");
    Click(F->BtnApply);
    EXPECT_EQ(F->Records[0].name.Bytes(), longName);
    EXPECT_EQ(F->Records[0].analyte1.Bytes(), longName);
    EXPECT_DOUBLE_EQ(F->Records[0].Params.phys.K2, 0.6);
    // An edited text is taken as the edit holds it.
    Enter(F->EdtAnalyte1, "short");
    Click(F->BtnApply);
    EXPECT_EQ(F->Records[0].analyte1, AnsiString("short"));
    EXPECT_EQ(F->Records[0].name.Bytes(), longName);
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
    const std::string text = folder.Path("text.ini");
    WriteFileBytes(text, "just words\r\n");
    // A name that names no file is no empty project.
    const std::string missing = folder.Path("missing.ini");
    for (const std::string& file : {good, bad, text, missing}) {
        std::vector<std::string> errors;
        Application->OnException = [&](TObject*, Exception* E) { errors.push_back(E->Message()); };
        Application->CreateForm(FrmCorvane);
        Application->CreateForm(FrmpHSetup);
        FrmCorvane->StartupFile = file;
        TBoxAnswerer reports;
        FrmCorvane->Show();
        QApplication::processEvents();
        EXPECT_EQ(reports.Texts.size(), file == good ? 1u : 0u);
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
            if (file == text) {
                EXPECT_EQ(errors[0], "Cannot load " + text +
                                         ": it is not a Corvane project (it has no [General] section with a Count).");
            }
        }
        Application->OnException = nullptr;
        delete FrmpHSetup;
        delete FrmCorvane;
    }
}

// Names typed in the chemist's own letters are kept exactly: record, row, project file, chart
// title, and the curves' text.
TEST_F(ProjectCommands, NamesInAnyLettersAreKeptEverywhere)
{
    Type(F->EdtName, "γ-CD 5 %");
    Type(F->EdtAnalyte1, "(S)-Naproxène");
    Type(F->EdtAnalyte2, "µ-test");
    Type(F->EdtSelector, "β-CD");
    Click(F->BtnApply);
    const DependencyRecord r = F->Records[0];
    EXPECT_EQ(AnsiToUtf8(r.name), "γ-CD 5 %");
    EXPECT_EQ(AnsiToUtf8(r.analyte1), "(S)-Naproxène");
    EXPECT_EQ(AnsiToUtf8(r.analyte2), "µ-test");
    EXPECT_EQ(AnsiToUtf8(r.selector), "β-CD");
    EXPECT_EQ(F->LstDependencies->Items->Get(0), "γ-CD 5 %");
    EXPECT_EQ(D->LblAnalyte1->GetCaption(), "(S)-Naproxène");

    const std::string file = Path("β-CD runs.ini");
    SaveAs(file);
    EXPECT_EQ(F->ChrtDependencies->GetTitle()->GetText()->Get(0), file);
    const std::string bytes = ReadFileBytes(file);
    EXPECT_NE(bytes.find("Encoding=UTF-8\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nselector=\xCE\xB2-CD\r\n"), std::string::npos);

    const std::vector<std::string> reports = Open(file);
    EXPECT_TRUE(reports.empty());
    ASSERT_EQ(F->Records.size(), 1u);
    EXPECT_EQ(Shown(F->EdtName), "γ-CD 5 %");
    EXPECT_EQ(Shown(F->EdtAnalyte1), "(S)-Naproxène");
    EXPECT_EQ(Shown(F->EdtSelector), "β-CD");
    EXPECT_EQ(F->Records[0].selector, r.selector);
    EXPECT_EQ(F->Records[0].analyte1, r.analyte1);

    const std::string csv = CurvesText(F->Records, F->CurvesOptions());
    EXPECT_NE(csv.find("γ-CD 5 %,(S)-Naproxène,µ-test,β-CD,"), std::string::npos) << csv.substr(0, 300);
    EXPECT_TRUE(Errors.empty());
}
