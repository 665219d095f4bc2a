// The timer: OnTimer from the message loop while enabled, a handler that ends its own timer, an
// exception of the handler at the general error display.
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Runs the message loop for about Ms milliseconds.
void Loop(int Ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < Ms) QTest::qWait(5);
}

}  // namespace

TEST(Timer, FiresWhileEnabledOnly)
{
    TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](TObject* Sender) { ticks += Sender == &timer; };
    timer.SetInterval(10);
    Loop(120);
    EXPECT_GT(ticks, 1);
    timer.SetEnabled(false);
    const int before = ticks;
    Loop(60);
    EXPECT_EQ(ticks, before);
    // A long interval starts the count again.
    timer.SetInterval(100000);
    timer.SetEnabled(true);
    Loop(60);
    EXPECT_EQ(ticks, before);
}

TEST(Timer, AHandlerMayEndItsTimerAndItsErrorsAreShown)
{
    std::vector<std::string> errors;
    Application->OnException = [&](TObject*, Exception* E) { errors.push_back(E->Message()); };
    auto* timer = new TTimer(nullptr);
    timer->SetInterval(5);
    int ticks = 0;
    timer->OnTimer = [&](TObject*) {
        ++ticks;
        if (ticks == 2) throw Exception("tick failed");
        if (ticks == 3) delete timer;
    };
    Loop(150);
    Application->OnException = nullptr;
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(errors, std::vector<std::string>{"tick failed"});
}
