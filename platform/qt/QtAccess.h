// The Qt widgets behind the platform's controls, for tests that send real Qt events
// (QTest::mouseClick(WidgetOf(Button), ...)). Only tests and platform/qt include this header;
// the rest of the program reaches controls through the platform's own classes.
//
// A widget's objectName follows its control's Name, so a test may also find it by name:
// WidgetOf(Form)->findChild<QWidget*>("EditName").
#pragma once

class QWidget;
class TWinControl;

// The widget behind a windowed control (a form's widget is its window).
QWidget* WidgetOf(const TWinControl* Control);
