// The main window and the pH dialog as a person meets them: both forms created as the program
// creates them, the main window shown (which adds the default dependency), and helpers that
// click, type and answer boxes through the real event path.
#pragma once

#include "platform/qt/QtAccess.h"
#include "tests/platform/ModalAnswer.h"
#include "ui/FCorvane.h"
#include "ui/FpHSetup.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

inline QWidget* W(const TWinControl* Control) { return WidgetOf(Control); }

// A path in the build folder (beside the test programs' folder).
inline std::string BuildPath(const char* Name)
{
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QString("../") + Name).toStdString();
}

// Goes to the file's folder in a file dialog, picks filter FilterIndex (1-based; 0 keeps the
// dialog's) and types the file's name, as a person does (a typed path would open the name
// completer's list, which takes the Enter).
inline void TypeFileName(QWidget* Dialog, const QString& Path, int FilterIndex = 0)
{
    auto* dialog = qobject_cast<QFileDialog*>(Dialog);
    ASSERT_NE(dialog, nullptr);
    if (FilterIndex > 0) {
        // Down and Up in the file type box, as on the keyboard.
        auto* types = Dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        ASSERT_LE(FilterIndex, types->count());
        types->setFocus();
        while (types->currentIndex() < FilterIndex - 1) QTest::keyClick(types, Qt::Key_Down);
        while (types->currentIndex() > FilterIndex - 1) QTest::keyClick(types, Qt::Key_Up);
    }
    const QFileInfo file(Path);
    dialog->setDirectory(file.absolutePath());
    auto* edit = Dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->clear();
    QTest::keyClicks(edit, file.fileName());
    // The name of an existing file opens the completer's list; Escape closes it first.
    if (edit->completer() != nullptr && edit->completer()->popup()->isVisible())
        QTest::keyClick(edit->completer()->popup(), Qt::Key_Escape);
    QTest::keyClick(edit, Qt::Key_Return);
}

class MainWindowTest : public ::testing::Test {
protected:
    // Every window test starts with "." as the program-wide decimal separator (a loaded project
    // may change it) and gives the separator back afterwards.
    void SetUp() override
    {
        SavedSeparator = FormatSettings.DecimalSeparator;
        FormatSettings.DecimalSeparator = L'.';
        Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->Message()); };
        Application->CreateForm(FrmCorvane);
        Application->CreateForm(FrmpHSetup);
        F = FrmCorvane;
        D = FrmpHSetup;
        F->Show();
        W(F)->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(W(F)));
    }

    void TearDown() override
    {
        Application->OnException = nullptr;
        delete D;
        delete F;
        QApplication::processEvents();
        FormatSettings.DecimalSeparator = SavedSeparator;
    }
    WideChar SavedSeparator = L'.';

    static QPoint Centre(const TControl* C) { return QPoint(C->GetWidth() / 2, C->GetHeight() / 2); }

    void Click(TWinControl* C, Qt::KeyboardModifiers Mods = Qt::NoModifier)
    {
        QTest::mouseClick(W(C), Qt::LeftButton, Mods, Centre(C));
        QApplication::processEvents();
    }

    // Clicks a button that raises a box, and answers the box with the button Answer; returns
    // the box's text.
    std::string ClickAndAnswer(TWinControl* C, const QString& Answer)
    {
        std::string text;
        WhenModalOpens([&](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w))
                text = box->text().toStdString();
            ClickButton(w, Answer);
        });
        Click(C);
        return text;
    }

    void ClickRow(int Row, Qt::KeyboardModifiers Mods = Qt::NoModifier)
    {
        const TRect r = F->LstDependencies->ItemRect(Row);
        QTest::mouseClick(W(F->LstDependencies), Qt::LeftButton, Mods, QPoint(r.Left + 20, r.Top + 6));
        QApplication::processEvents();
    }

    void DoubleClickRow(int Row)
    {
        const TRect r = F->LstDependencies->ItemRect(Row);
        const QPoint p(r.Left + 20, r.Top + 6);
        QTest::mouseClick(W(F->LstDependencies), Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseDClick(W(F->LstDependencies), Qt::LeftButton, Qt::NoModifier, p);
        QApplication::processEvents();
    }

    // Focuses a field with the mouse and replaces its text by typing, without confirming.
    void Type(TCustomEdit* E, const std::string& Text)
    {
        QTest::mouseClick(W(E), Qt::LeftButton, Qt::NoModifier, Centre(E));
        E->SelectAll();
        QTest::keyClick(W(E), Qt::Key_Delete);
        TypeKeys(E, Text);
        QApplication::processEvents();
    }

    // The same, confirmed with Enter.
    void Enter(TCustomEdit* E, const std::string& Text)
    {
        Type(E, Text);
        QTest::keyClick(W(E), Qt::Key_Return);
        QApplication::processEvents();
    }

    // Key presses for every character; those without a key of their own arrive as text, as an
    // input method sends them.
    static void TypeKeys(TCustomEdit* E, const std::string& Text)
    {
        for (QChar ch : QString::fromStdString(Text)) {
            if (ch.unicode() < 128)
                QTest::keyClick(W(E), ch.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, W(E), Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }

    static std::string Shown(const TCustomEdit* E)
    {
        return static_cast<QLineEdit*>(W(E))->text().toStdString();
    }

    bool ApplyIsRed() const { return F->BtnApply->Font->GetColor() == clRed; }

    // A realistic pair: two analytes with free mobilities 20 and 21, complex mobility 5,
    // constants 200 and 500 per M, EOF 40 (window units), applied to the current dependency.
    void EnterRealisticSet()
    {
        Enter(F->NumU01, "20");
        Enter(F->NumU02, "21");
        Enter(F->NumU1, "5");
        Enter(F->NumU2, "5");
        Enter(F->NumK1, "200");
        Enter(F->NumK2, "500");
        Enter(F->NumEOF, "40");
        Enter(F->NumVoltage, "25");
        Click(F->BtnApply);
    }

    TFrmCorvane* F = nullptr;
    TFrmpHSetup* D = nullptr;
    std::vector<std::string> Errors;
};
