// The project document without a window: its commands, its saved state, and undo and redo, which
// must bring back the very state of each step (the project file's bytes, the rows with their
// marks, colours, hidden states, the curves and their drawing order).
#include "project/Document.h"

#include "model/Sweep.h"
#include "platform/Series.h"
#include "project/DependencyChart.h"
#include "project/Palette.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

class Document : public ::testing::Test {
protected:
    void SetUp() override
    {
        Saved = FormatSettings;
        FormatSettings = TFormatSettings::Invariant();
        DressDependencyChart(&Chart);
        Chart.SetBounds(0, 0, 846, 437);
        Doc.OnShowRecord = [this](int Index) { Shown.push_back(Index); };
        Doc.Add();   // the start-up dependency
        Doc.ClearHistory();
        Doc.NoteSaved();
    }
    void TearDown() override { FormatSettings = Saved; }

    // Everything a person could tell apart, as text.
    std::string State()
    {
        std::ostringstream s;
        const std::string file = Folder.Path("state.ini");
        std::filesystem::remove(file);
        WriteProjectFile(file, Doc.Records);
        s << ReadFileBytes(file) << "\nrows:";
        for (int i = 0; i < Rows.GetCount(); ++i)
            s << " [" << Rows.GetText(i) << (Rows.GetSelected(i) ? " *" : "") << "]";
        s << "\ncurrent " << Rows.GetCurrent() << " shown " << Doc.GetShown() << " title " << Doc.GetTitle()
          << " separator " << char(FormatSettings.DecimalSeparator) << " modified " << Doc.GetModified() << "\n";
        for (const DependencyRecord& r : Doc.Records) {
            const SeriesSet& set = r.SeriesSet;
            s << "colour " << set.colour << " shown " << set.IsVisible() << " legend "
              << set.t1Series->GetShowInLegend() << " at " << Chart.IndexOfSeries(set.t1Series) << ","
              << Chart.IndexOfSeries(set.t2Series) << "," << Chart.IndexOfSeries(set.MeasureSeries) << " points";
            for (const TPointSeries* series : {set.t1Series, set.t2Series, set.MeasureSeries})
                for (int k = 0; k < series->Count(); ++k)
                    s << " " << series->XValue(k) << ":" << series->YValue(k);
            s << " " << series(set.MeasureSeries) << "\n";
        }
        return s.str();
    }
    static std::string series(const TPointSeries* S) { return S->GetTitle(); }

    // The record of the current row with a changed value, applied.
    void ApplyK2(double K2, const char* Name)
    {
        DependencyRecord r = Doc.Records[static_cast<size_t>(Doc.CurrentRow())];
        r.Params.phys.u01 = 2e-8;
        r.Params.phys.u02 = 2.1e-8;
        r.Params.phys.u1 = 5e-9;
        r.Params.phys.u2 = 5e-9;
        r.Params.phys.K1 = 0.2;
        r.Params.phys.K2 = K2;
        r.name = Name;
        Doc.Apply(r);
    }

    void Select(std::initializer_list<int> Selected, int Current)
    {
        for (int i = 0; i < Rows.GetCount(); ++i)
            Rows.SetSelected(i, false);
        for (int i : Selected)
            Rows.SetSelected(i, true);
        Rows.SetCurrent(Current);
        Doc.Sweep(Current);
        Doc.ColourBySelection();
    }

    TFormatSettings Saved;
    TTempFolder Folder{"corvane-document"};
    TChart Chart{nullptr};
    TPlainRows Rows;
    TProjectDocument Doc{&Chart, Rows};
    std::vector<int> Shown;
};

}  // namespace

TEST_F(Document, EveryCommandIsUndoneAndRedoneToTheSameState)
{
    const std::string project = Folder.Path("five.ini");
    {
        // A project on disk to load: five dependencies, comma as separator.
        std::vector<DependencyRecord> five(5);
        for (size_t i = 0; i < five.size(); ++i) {
            five[i].name = AnsiString(("K2=" + std::to_string(300 + 100 * i)).c_str());
            five[i].Params.phys.u01 = 2e-8;
            five[i].Params.phys.K2 = 0.3 + 0.1 * static_cast<double>(i);
        }
        FormatSettings.DecimalSeparator = L',';
        WriteProjectFile(project, five);
        FormatSettings.DecimalSeparator = L'.';
    }
    // Each command after the selection it runs on (the view's own, not a step).
    const struct {
        const char* Name;
        std::function<void()> Selection;
        std::function<void()> Command;
    } steps[] = {
        {"Apply", [] {}, [&] { ApplyK2(0.5, "first"); }},
        {"Add", [] {}, [&] { Doc.Add(); }},
        {"Apply", [] {}, [&] { ApplyK2(0.7, "second"); }},
        {"Add", [] {}, [&] { Doc.Add(); }},
        {"Hide / Show", [&] { Select({1}, 1); }, [&] { Doc.HideShow(); }},
        {"Delete", [&] { Select({0, 2}, 2); }, [&] { Doc.Delete(); }},
        {"Load", [] {}, [&] { Doc.Load(project); }},
        {"Delete", [&] { Select({1, 3}, 3); }, [&] { Doc.Delete(); }},
        {"Hide / Show", [&] { Select({0, 2}, 0); }, [&] { Doc.HideShow(); }},
        {"Apply", [&] { Select({1}, 1); }, [&] { ApplyK2(0.25, "third"); }},
        {"New", [] {}, [&] { Doc.New(); }},
        {"Add", [] {}, [&] { Doc.Add(); }},
    };
    std::vector<std::string> before, after;
    for (const auto& step : steps) {
        step.Selection();
        before.push_back(State());
        step.Command();
        after.push_back(State());
        EXPECT_EQ(Doc.UndoName(), step.Name);
    }
    // Undone to the start step by step, each back to the state right before its command; then
    // redone, each to the state right after it with the rows chosen before it was undone (those
    // of the next step).
    for (size_t i = std::size(steps); i-- > 0;) {
        SCOPED_TRACE(std::string("undo ") + steps[i].Name + " #" + std::to_string(i));
        ASSERT_TRUE(Doc.CanUndo());
        Doc.Undo();
        EXPECT_EQ(Doc.RedoName(), steps[i].Name);
        EXPECT_EQ(State(), before[i]);
    }
    EXPECT_FALSE(Doc.CanUndo());
    EXPECT_FALSE(Doc.GetModified());   // back where it was saved
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(std::string("redo ") + steps[i].Name + " #" + std::to_string(i));
        steps[i].Selection();   // whatever the view did meanwhile
        Doc.Redo();
        EXPECT_EQ(State(), i + 1 < std::size(steps) ? before[i + 1] : after[i]);
    }
    EXPECT_FALSE(Doc.CanRedo());
    EXPECT_EQ(FormatSettings.DecimalSeparator, L',');   // the loaded project's, which New keeps
}

// The rows' selection and the current row between two commands come back with the command's
// undo, since the command ran on them.
TEST_F(Document, UndoBringsBackTheSelectionTheCommandRanOn)
{
    Doc.Add();
    Doc.Add();
    Doc.Add();
    Select({1, 2}, 2);
    const std::string selected = State();
    Doc.Delete();
    ASSERT_EQ(Doc.Records.size(), 2u);
    Doc.Undo();
    EXPECT_EQ(State(), selected);
    Doc.Redo();
    EXPECT_EQ(Doc.Records.size(), 2u);
    EXPECT_EQ(Rows.GetCount(), 2);

    // Rows chosen after a command are what an undo and its redo (or a redo and its undo) come
    // back to.
    Select({0}, 0);
    const std::string chosen = State();
    Doc.Undo();
    Doc.Redo();
    EXPECT_EQ(State(), chosen);
    Doc.Undo();
    Select({3}, 3);
    const std::string chosenAfterUndo = State();
    Doc.Redo();
    Doc.Undo();
    EXPECT_EQ(State(), chosenAfterUndo);
}

TEST_F(Document, AUsualSessionOfRandomCommandsUndoesToItsStart)
{
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        Doc.ClearHistory();
        const std::string start = State();
        int commands = 0;
        for (int n = 0; n < 40; ++n) {
            const int rows = Rows.GetCount();
            if (rows > 0) {
                for (int i = 0; i < rows; ++i)
                    Rows.SetSelected(i, random() % 3 == 0);
                Rows.SetCurrent(static_cast<int>(random() % static_cast<unsigned>(rows)));
            }
            switch (random() % 6) {
            case 0: Doc.Add(); break;
            case 1: if (Doc.ApplyRefusal().empty()) ApplyK2(0.1 + (random() % 90) / 100.0, "run"); break;
            case 2: if (rows > 1) Doc.Delete(); break;
            case 3: Doc.HideShow(); break;
            case 4: if (random() % 4 == 0) Doc.New(); break;
            default: if (Doc.CurrentRow() >= 0) Doc.Sweep(Doc.CurrentRow()); Doc.ColourBySelection(); break;
            }
            ++commands;
        }
        const std::string end = State();
        while (Doc.CanUndo())
            Doc.Undo();
        // The colours and marks of a selection made before the first command stay the view's.
        Doc.ColourBySelection();
        EXPECT_EQ(State().substr(0, State().find("\nrows:")), start.substr(0, start.find("\nrows:")));
        while (Doc.CanRedo())
            Doc.Redo();
        EXPECT_EQ(State().substr(0, State().find("\nrows:")), end.substr(0, end.find("\nrows:")));
        EXPECT_GT(commands, 0);
    }
}

TEST_F(Document, ARefusedOrFailedCommandIsNoStepAndANewOneDropsTheRedo)
{
    DependencyRecord tooMany = Doc.Records[0];
    tooMany.Params.points = MaxSweepPoints + 1;
    EXPECT_THROW(Doc.Apply(tooMany), Exception);
    DependencyRecord zero = Doc.Records[0];
    zero.Params.phys.Capillary = 0;
    EXPECT_THROW(Doc.Apply(zero), EZeroDivide);
    EXPECT_THROW(Doc.Load(Folder.Path("missing.ini")), EProjectFileError);
    EXPECT_FALSE(Doc.CanUndo());

    ApplyK2(0.5, "a");
    ApplyK2(0.6, "b");
    Doc.Undo();
    EXPECT_EQ(Doc.RedoName(), "Apply");
    Doc.Add();
    EXPECT_FALSE(Doc.CanRedo());
    // Hide / Show with nothing selected changes nothing, and is no step.
    Doc.HideShow();
    EXPECT_EQ(Doc.UndoName(), "Add");
}

TEST_F(Document, UndoingBackToTheSavedStateLeavesNothingUnsaved)
{
    Doc.Add();   // two dependencies: more than the default one, which never counts as unsaved
    ApplyK2(0.5, "kept");
    Doc.Save(Folder.Path("saved.ini"));
    EXPECT_FALSE(Doc.GetModified());
    ApplyK2(0.6, "changed");
    EXPECT_TRUE(Doc.GetModified());
    Doc.Undo();
    EXPECT_FALSE(Doc.GetModified());
    // The save stays: the title is still the file's.
    EXPECT_EQ(Doc.GetTitle(), Folder.Path("saved.ini"));
    Doc.Undo();
    EXPECT_TRUE(Doc.GetModified());
    EXPECT_EQ(Doc.GetTitle(), Folder.Path("saved.ini"));
}

TEST_F(Document, TheHistoryKeepsItsLastHundredSteps)
{
    for (int i = 0; i < 130; ++i)
        ApplyK2(0.1 + i / 1000.0, "step");
    int undone = 0;
    while (Doc.CanUndo()) {
        Doc.Undo();
        ++undone;
    }
    EXPECT_EQ(undone, static_cast<int>(TProjectDocument::MaxSteps));
    EXPECT_DOUBLE_EQ(Doc.Records[0].Params.phys.K2, 0.1 + 29 / 1000.0);
    EXPECT_GT(Doc.HistoryBytes(), 0u);
    EXPECT_LT(Doc.HistoryBytes(), TProjectDocument::MaxHistoryBytes);
}
