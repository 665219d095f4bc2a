// Answers modal windows in tests as a person would: waits for the window to open, then
// clicks or types into it from inside its own event loop.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Calls Answer with the next modal window that opens (one other than After). Gives up with a
// test failure when none opens within TimeoutMs (long enough for a sanitizer build on a busy
// machine: a window that opens after the answerer gave up would wait for ever).
inline void WhenModalOpens(std::function<void(QWidget*)> Answer, QWidget* After = nullptr,
                           int TimeoutMs = 60000)
{
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QPointer<QWidget> previous(After);
    const bool hadPrevious = After != nullptr;
    QObject::connect(timer, &QTimer::timeout, [=]() {
        QWidget* w = QApplication::activeModalWidget();
        const bool isNew = w != nullptr && w->isVisible() && (!hadPrevious || w != previous.data());
        if (isNew || clock->elapsed() > TimeoutMs) {
            timer->stop();
            timer->deleteLater();
            if (isNew)
                Answer(w);
            else
                ADD_FAILURE() << "no modal window opened";
        }
    });
    timer->start(10);
}

// The key goes where the person's keyboard goes: the window's focused control.
inline void PressKey(QWidget* Window, Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
{
    QWidget* target = Window->focusWidget() != nullptr ? Window->focusWidget() : Window;
    QTest::keyClick(target, Key, Modifiers);
}

// Clicks the button of a message box that carries Text (accelerator marks ignored).
inline bool ClickButton(QWidget* Window, const QString& Text)
{
    for (QAbstractButton* b : Window->findChildren<QAbstractButton*>()) {
        if (b->isVisible() && b->text().remove(QLatin1Char('&')) == Text) {
            QTest::mouseClick(b, Qt::LeftButton);
            return true;
        }
    }
    ADD_FAILURE() << "no button " << Text.toStdString();
    if (auto* dialog = qobject_cast<QDialog*>(Window))
        dialog->reject();  // do not leave the test waiting
    return false;
}

// While it lives, answers every message box that opens with the button Answer, as a person
// would, and keeps the boxes' texts in order.
class TBoxAnswerer {
public:
    explicit TBoxAnswerer(QString Answer = QStringLiteral("OK")) : FAnswer(std::move(Answer))
    {
        QObject::connect(&FTimer, &QTimer::timeout, [this]() {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible() || box == FAnswering)
                return;
            FAnswering = box;
            Texts.push_back(box->text().toStdString());
            if (!PictureFile.isEmpty() && Texts.size() == 1)
                box->grab().save(PictureFile);
            ClickButton(box, FAnswer);
            FAnswering = nullptr;
        });
        FTimer.start(5);
    }
    std::vector<std::string> Texts;
    // When set, the first box is saved there as a PNG picture before it is answered.
    QString PictureFile;

private:
    QString FAnswer;
    QTimer FTimer;
    QWidget* FAnswering = nullptr;
};
