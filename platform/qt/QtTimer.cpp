// The timer on Qt: a QTimer whose timeouts call OnTimer through the event path's guard.
#include "platform/ExtCtrls.h"

#include "platform/ControlsPrivate.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <memory>

struct TTimer::TImpl {
    QTimer* Timer = nullptr;
    bool Firing = false;  // inside the timeout's handler
    std::shared_ptr<int> Life = std::make_shared<int>(0);  // expires with the timer
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FImpl(std::make_unique<TImpl>())
{
    FImpl->Timer = new QTimer();
    QObject::connect(FImpl->Timer, &QTimer::timeout, [this, life = std::weak_ptr<int>(FImpl->Life)] {
        FImpl->Firing = true;
        EventPath::Guarded(this, [this] {
            if (OnTimer) OnTimer(this);
        });
        if (!life.expired()) FImpl->Firing = false;
    });
    Restart();
}

TTimer::~TTimer()
{
    // The handler may be what destroys the timer: then the QTimer goes once its signal has
    // returned.
    FImpl->Timer->stop();
    QObject::disconnect(FImpl->Timer, nullptr, nullptr, nullptr);
    if (FImpl->Firing) FImpl->Timer->deleteLater();
    else delete FImpl->Timer;
}

void TTimer::SetEnabled(bool Value)
{
    FEnabled = Value;
    Restart();
}

void TTimer::SetInterval(unsigned Value)
{
    FInterval = Value;
    Restart();
}

void TTimer::Restart()
{
    FImpl->Timer->stop();
    if (FEnabled) FImpl->Timer->start(static_cast<int>(std::min<unsigned>(FInterval, 0x7FFFFFFF)));
}
