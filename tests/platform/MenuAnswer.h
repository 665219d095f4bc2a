// Popup menus in tests as a person meets them: a right-click on a control, then waiting for the
// menu to open and clicking one of its entries (or pressing a key in it) from inside the
// menu's own loop.
#pragma once

#include "platform/Controls.h"
#include "platform/qt/QtAccess.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The popup menu that is open, or null.
inline QMenu* OpenMenu()
{
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    return menu != nullptr && menu->isVisible() ? menu : nullptr;
}

// Calls Answer with the next popup menu that opens; fails the test when none opens within
// TimeoutMs.
inline void WhenMenuOpens(std::function<void(QMenu*)> Answer, int TimeoutMs = 10000)
{
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [=]() {
        QMenu* menu = OpenMenu();
        if (menu == nullptr && clock->elapsed() <= TimeoutMs)
            return;
        timer->stop();
        timer->deleteLater();
        if (menu != nullptr)
            Answer(menu);
        else
            ADD_FAILURE() << "no menu opened";
    });
    timer->start(10);
}

// An entry's caption as a person reads it: without the accelerator mark ("&&" is one "&") and
// the shortcut text (which stands after a tab).
inline QString MenuCaption(const QAction* Action)
{
    const QString text = Action->text().section(QLatin1Char('\t'), 0, 0);
    QString caption;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        caption += text[i];
    }
    return caption;
}

// Moves the mouse onto the visible entry with that caption and clicks it. Without such an
// entry the test fails and the menu closes, so that nothing waits for it.
inline bool ChooseMenuItem(QMenu* Menu, const QString& CaptionWithoutAmpersand)
{
    for (QAction* a : Menu->actions()) {
        if (a->isSeparator() || !a->isVisible() || MenuCaption(a) != CaptionWithoutAmpersand)
            continue;
        const QPoint p = Menu->actionGeometry(a).center();
        QTest::mouseMove(Menu, p);
        QTest::mouseClick(Menu, Qt::LeftButton, Qt::NoModifier, p);
        return true;
    }
    ADD_FAILURE() << "no menu entry " << CaptionWithoutAmpersand.toStdString();
    Menu->close();
    return false;
}

// The widget that shows Control, and P (a client point of Control) made a point of it: a
// graphic control shows on its windowed parent.
inline QWidget* WidgetAt(const TControl* Control, QPoint& P)
{
    while (Control != nullptr && dynamic_cast<const TWinControl*>(Control) == nullptr) {
        P += QPoint(Control->GetLeft(), Control->GetTop());
        Control = Control->GetParent();
    }
    return Control != nullptr ? WidgetOf(static_cast<const TWinControl*>(Control)) : nullptr;
}

// A right-button click at client point (X, Y) of Control as a person gives it: the mouse moves
// there, presses and releases. Returns once it is handled, a menu it opened included.
inline void RightClick(const TControl* Control, int X, int Y)
{
    QPoint p(X, Y);
    QWidget* w = WidgetAt(Control, p);
    ASSERT_NE(w, nullptr);
    QTest::mouseMove(w, p);
    QTest::mouseClick(w, Qt::RightButton, Qt::NoModifier, p);
    QTest::qWait(20);
}

// Counts the popup menus that open while it lives and closes each one still open after
// CloseAfterMs: at once for what must not open a menu, later so that a menu nobody answers
// (one opened twice, say) cannot hold the test.
class TMenuGuard {
public:
    explicit TMenuGuard(int CloseAfterMs = 0)
    {
        QObject::connect(&FTimer, &QTimer::timeout, [this, CloseAfterMs] {
            QMenu* menu = OpenMenu();
            if (menu != FSeen) {
                FSeen = menu;
                FSince.start();
                Count += menu != nullptr;
            }
            if (menu != nullptr && FSince.elapsed() >= CloseAfterMs)
                menu->close();
        });
        FTimer.start(10);
    }
    int Count = 0;

private:
    QTimer FTimer;
    QMenu* FSeen = nullptr;
    QElapsedTimer FSince;
};
