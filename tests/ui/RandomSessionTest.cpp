// A randomized session: a seeded generator sends real mouse and keyboard events to the main
// window and the pH dialog, answers every box they raise, and checks after every event that the
// rows equal the records, that every record's series are on the chart and that no curve holds a
// NaN or an infinity. It runs once for each of a few fixed seeds (each its own CTest entry, see
// tests/CMakeLists.txt); CORVANE_SEED=n replays seed n alone, CORVANE_EVENTS=n sets the length.
// The undo session mixes Ctrl+Z and Ctrl+Y in and checks that an undo and its redo leave the
// project, its rows and their colours as they were.
#include "UiTestKit.h"
#include "project/ProjectFile.h"
#include "tests/TempFolder.h"

#include <QMessageBox>
#include <QTimer>

#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const Garbage[] = {"", "abc", "1e400", "-1e400", "1e308", "5%", "--3", "1,5", "0x10", " 7 ",
                               "nan", "inf", "2147483648", "-2147483649", "1e-320", "3.", ".5", "e",
                               "99999999999999999999", "0", "-0", "12", "-5", "2.5", "1E3"};

// The seeds the suite runs, or the one CORVANE_SEED names.
std::vector<unsigned> Seeds()
{
    if (const char* fromEnv = std::getenv("CORVANE_SEED"))
        return {unsigned(std::strtoul(fromEnv, nullptr, 10))};
    return {CORVANE_RANDOM_SEEDS};
}

std::vector<unsigned> UndoSeeds()
{
    if (const char* fromEnv = std::getenv("CORVANE_SEED"))
        return {unsigned(std::strtoul(fromEnv, nullptr, 10))};
    return {CORVANE_UNDO_SEEDS};
}

std::string RandomNumber(std::mt19937& R)
{
    std::uniform_int_distribution<int> pick(0, 3);
    switch (pick(R)) {
    case 0:
        return Garbage[std::uniform_int_distribution<size_t>(0, std::size(Garbage) - 1)(R)];
    case 1:
        return std::to_string(std::uniform_int_distribution<int>(-50, 500)(R));
    case 2: {
        char b[32];
        std::snprintf(b, sizeof b, "%.6g", std::uniform_real_distribution<double>(-100, 1000)(R));
        return b;
    }
    default:
        return std::to_string(std::uniform_int_distribution<int>(1, 60)(R));
    }
}

}  // namespace

class RandomSession : public MainWindowTest, public ::testing::WithParamInterface<unsigned> {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // Answers every modal window as soon as it is up: message boxes with a random button,
        // the pH dialog with a few keys and then Enter or Escape.
        Answerer = new QTimer;
        QObject::connect(Answerer, &QTimer::timeout, [this]() {
            QWidget* w = QApplication::activeModalWidget();
            if (w == nullptr || !w->isVisible() || Answering)
                return;
            Answering = true;
            ++Boxes;
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                auto buttons = box->buttons();
                QTest::mouseClick(buttons[int(Rng() % buttons.size())], Qt::LeftButton);
            } else if (w == W(D)) {
                TNumEdit* fields[] = {D->NumpKa1, D->NumK1Low, D->NumU01High, D->NumK2High};
                TNumEdit* f = fields[Rng() % 4];
                QTest::mouseClick(W(f), Qt::LeftButton, Qt::NoModifier, Centre(f));
                QTest::keyClicks(W(f), QString::fromStdString(RandomNumber(Rng)).toLatin1());
                if (Rng() % 3 == 0)
                    QTest::mouseClick(W(D->ChcbApply), Qt::LeftButton, Qt::NoModifier, QPoint(5, 8));
                PressKey(w, Rng() % 2 ? Qt::Key_Escape : Qt::Key_Return);
            } else {
                PressKey(w, Qt::Key_Escape);
            }
            Answering = false;
        });
        Answerer->start(1);
    }

    void TearDown() override
    {
        delete Answerer;
        MainWindowTest::TearDown();
    }

    // What must hold after every event.
    void Run(int Events);

    void CheckInvariants(int Event)
    {
        ASSERT_EQ(F->LstDependencies->GetCount(), static_cast<int>(F->Records.size())) << "event " << Event;
        for (const DependencyRecord& r : F->Records)
            for (TPointSeries* s : {r.SeriesSet.t1Series, r.SeriesSet.t2Series, r.SeriesSet.MeasureSeries}) {
                ASSERT_NE(s, nullptr) << "event " << Event;
                ASSERT_GE(F->ChrtDependencies->IndexOfSeries(s), 0) << "event " << Event;
                for (int i = 0; i < s->Count(); ++i)
                    ASSERT_TRUE(std::isfinite(s->XValue(i)) && std::isfinite(s->YValue(i))) << "event " << Event;
            }
    }

    // The project as its file's bytes, with what the file does not hold: each row's text,
    // selection, visibility and colour.
    std::string Snapshot()
    {
        const std::string file = Folder.Path("snapshot.ini");
        WriteProjectFile(file, F->Records);
        std::string s = ReadFileBytes(file);
        for (int i = 0; i < F->LstDependencies->GetCount(); ++i) {
            const SeriesSet& set = F->Records[size_t(i)].SeriesSet;
            s += F->LstDependencies->GetItems()->Get(i).c_str();
            s += F->LstDependencies->GetSelected(i) ? "+" : "-";
            s += set.IsVisible() ? "v" : "h";
            s += std::to_string(set.colour) + "\n";
        }
        return s;
    }

    static void Keys(Qt::Key Key, Qt::KeyboardModifiers Mods)
    {
        if (QWidget* w = QApplication::focusWidget())
            QTest::keyClick(w, Key, Mods);
        QApplication::processEvents();
    }

    // Ctrl+Z and Ctrl+Y: an undo followed by its redo changes nothing.
    void UndoEvent(int Event)
    {
        if (Rng() % 3 == 0 || !F->Document.CanUndo()) {
            Keys(Qt::Key_Y, Qt::ControlModifier);
            return;
        }
        const std::string before = Snapshot();
        Keys(Qt::Key_Z, Qt::ControlModifier);
        Keys(Qt::Key_Y, Qt::ControlModifier);
        ASSERT_EQ(Snapshot(), before) << "event " << Event << ": undo and redo changed the project";
        if (Rng() % 2 == 0)
            Keys(Qt::Key_Z, Qt::ControlModifier);
    }

    void OneEvent(int Event)
    {
        if (WithUndo && Rng() % 6 == 0) {
            UndoEvent(Event);
            return;
        }
        TButton* buttons[] = {F->BtnApply, F->BtnAdd, F->BtnHide, F->BtnDelete, F->BtnNew, F->BtnpH};
        TNumEdit* fields[] = {F->NumU01, F->NumU02, F->NumU1, F->NumU2, F->NumK1, F->NumK2,
                              F->NumCapillary, F->NumDetector, F->NumVoltage, F->NumEOF,
                              F->NumMinC, F->NumMaxC, F->NumPoints, F->NumpH};
        const int kind = int(Rng() % 100);
        const auto mods = [&]() {
            const int m = int(Rng() % 4);
            return m == 1 ? Qt::ShiftModifier : m == 2 ? Qt::ControlModifier : Qt::NoModifier;
        };
        if (kind < 14) {
            // Add less often than the rest, so the list stays small enough to click through.
            TButton* b = buttons[Rng() % std::size(buttons)];
            if (b == F->BtnAdd && F->Records.size() > 12)
                b = F->BtnDelete;
            if (b == F->BtnNew && Rng() % 4 != 0)
                b = F->BtnApply;
            Click(b);
        } else if (kind < 34) {
            const int n = F->LstDependencies->GetCount();
            if (n > 0)
                ClickRow(int(Rng() % n), mods());
        } else if (kind < 38) {
            const int n = F->LstDependencies->GetCount();
            if (n > 0)
                DoubleClickRow(int(Rng() % n));
        } else if (kind < 62) {
            TNumEdit* f = fields[Rng() % std::size(fields)];
            if (f->Showing() && !f->GetReadOnly()) {
                QTest::mouseClick(W(f), Qt::LeftButton, Qt::NoModifier, Centre(f));
                f->SelectAll();
                QTest::keyClicks(W(f), QString::fromStdString(RandomNumber(Rng)).toLatin1());
                const int end = int(Rng() % 3);
                QTest::keyClick(W(f), end == 0 ? Qt::Key_Return : end == 1 ? Qt::Key_Escape : Qt::Key_Tab);
            }
        } else if (kind < 66) {
            TEdit* e = (Rng() % 2) ? F->EdtName : F->EdtAnalyte1;
            QTest::mouseClick(W(e), Qt::LeftButton, Qt::NoModifier, Centre(e));
            QTest::keyClicks(W(e), QString::number(Rng() % 1000));
        } else if (kind < 90) {
            TChart* c = F->ChrtDependencies;
            const QPoint p(int(Rng() % c->GetWidth()), int(Rng() % c->GetHeight()));
            QTest::mouseMove(W(c), p);
            if (Rng() % 8 == 0)
                QTest::mouseDClick(W(c), Qt::LeftButton, Qt::NoModifier, p);
            if (Rng() % 10 == 0) {
                const QPoint q(int(Rng() % c->GetWidth()), int(Rng() % c->GetHeight()));
                QTest::mousePress(W(c), Qt::LeftButton, Qt::NoModifier, p);
                QTest::mouseMove(W(c), q);
                QTest::mouseRelease(W(c), Qt::LeftButton, Qt::NoModifier, q);
            }
        } else if (kind < 94) {
            QTest::mouseClick(W(F->CbxGraph), Qt::LeftButton, Qt::NoModifier, Centre(F->CbxGraph));
            QApplication::processEvents();
            const int steps = int(Rng() % 6);
            for (int i = 0; i < steps; ++i)
                QTest::keyClick(QApplication::focusWidget(), Rng() % 2 ? Qt::Key_Down : Qt::Key_Up);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else {
            // Keys on the list: arrows with and without Shift and Ctrl.
            QTest::mouseClick(W(F->LstDependencies), Qt::LeftButton, Qt::NoModifier, QPoint(100, 400));
            QTest::keyClick(W(F->LstDependencies), Rng() % 2 ? Qt::Key_Down : Qt::Key_Up, mods());
        }
        QApplication::processEvents();
    }

    std::mt19937 Rng;
    bool WithUndo = false;
    TTempFolder Folder{"corvane-random"};
    QTimer* Answerer = nullptr;
    bool Answering = false;
    int Boxes = 0;
};

// Runs the session of the seed; Events unless CORVANE_EVENTS says how many.
void RandomSession::Run(int Events)
{
    const unsigned seed = GetParam();
    Rng.seed(seed);
    const char* count = std::getenv("CORVANE_EVENTS");
    const int events = count ? std::atoi(count) : Events;
    std::printf("random session: seed %u, %d events (replay with CORVANE_SEED=%u)\n", seed, events, seed);
    for (int i = 0; i < events; ++i) {
        OneEvent(i);
        if (!HasFatalFailure())
            CheckInvariants(i);
        if (HasFatalFailure()) {
            ADD_FAILURE() << "seed " << seed << " failed at event " << i;
            return;
        }
    }
    std::printf("random session: %zu dependencies at the end, %d boxes answered, %zu errors shown\n",
                F->Records.size(), Boxes, Errors.size());
    std::map<std::string, int> kinds;
    for (const std::string& e : Errors) ++kinds[e];
    for (const auto& [message, times] : kinds) std::printf("  %d x %s\n", times, message.c_str());
}

TEST_P(RandomSession, TwentyThousandEventsKeepTheWindowConsistent)
{
    Run(20000);
}

// With undo and redo among the events (a separate seed list: the sessions above stay as they were).
class RandomUndoSession : public RandomSession {};

TEST_P(RandomUndoSession, UndoAndRedoAmongFiveThousandEventsChangeNothingBack)
{
    WithUndo = true;
    Run(5000);
}

INSTANTIATE_TEST_SUITE_P(Seed, RandomSession, ::testing::ValuesIn(Seeds()),
                         [](const ::testing::TestParamInfo<unsigned>& Info) { return std::to_string(Info.param); });

INSTANTIATE_TEST_SUITE_P(Seed, RandomUndoSession, ::testing::ValuesIn(UndoSeeds()),
                         [](const ::testing::TestParamInfo<unsigned>& Info) { return std::to_string(Info.param); });
