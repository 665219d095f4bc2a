// The message boxes of the platform (the error display, MessageDlg): Qt's own box, opened over
// the active window and centred on it.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QShowEvent>

// The window a dialog belongs to: the modal window on top, else the active window.
inline QWidget* DialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// A message box centred on its parent window. Qt places a dialog before the box has measured
// its text (in its show event), so a box that then grows would hang low and to the right; and
// Qt's placing guesses the window frame (10 x 40 pixels) where it does not know it.
class TCentredMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* Event) override
    {
        QMessageBox::showEvent(Event);  // takes its final size
        if (testAttribute(Qt::WA_Moved))
            return;
        const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
        if (owner == nullptr || !owner->isVisible()) {
            adjustPosition(nullptr);  // the screen's centre
            return;
        }
        QRect box = rect();
        box.moveCenter(owner->frameGeometry().center());
        move(box.topLeft());
        setAttribute(Qt::WA_Moved, false);  // placed for the window, not by the program
    }
};
