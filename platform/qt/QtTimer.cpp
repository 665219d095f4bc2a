// The timer on Qt: a QTimer whose timeouts call OnTimer through the event path's guard.
#include "platform/ExtCtrls.h"

#include "platform/ControlsPrivate.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>

struct TTimer::TImpl {
    QTimer* Timer = nullptr;
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FImpl(std::make_unique<TImpl>())
{
    FImpl->Timer = new QTimer();
    QObject::connect(FImpl->Timer, &QTimer::timeout, [this] {
        EventPath::Guarded(this, [this] {
            if (OnTimer) OnTimer(this);
        });
    });
    Restart();
}

TTimer::~TTimer()
{
    // The handler may be what destroys the timer: the QTimer goes once its signal has returned.
    FImpl->Timer->stop();
    QObject::disconnect(FImpl->Timer, nullptr, nullptr, nullptr);
    FImpl->Timer->deleteLater();
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
