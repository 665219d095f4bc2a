// The toolkit side of the controls (platform/qt only): the widget behind a windowed control,
// the painting surface, the one event path that turns toolkit events into messages, and the
// conversions between the two worlds.
#pragma once

#include "platform/Controls.h"
#include "platform/ControlsPrivate.h"

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QImage>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <memory>

struct TWinControlImpl {
    TWinControl* Control = nullptr;
    QPointer<QWidget> Widget;
    // Context of every signal connection made for the control: deleted with the control, so no
    // signal reaches a destroyed control.
    std::unique_ptr<QObject> Guard;
    // The control paints its widget with our canvas (forms, panels, custom controls).
    bool Surface = false;
    // Backing raster of a surface and the canvas attached to it.
    QImage Raster;
    std::unique_ptr<TCanvas> Canvas;
    // Part of the raster to draw again before the next blit (empty: the raster is current).
    QRect Dirty;
    bool Rendering = false;
    // Graphic children that hold the mouse (pressed) or are under it.
    TControl* Capture = nullptr;
    TControl* Hover = nullptr;
};

// The widget of a painting surface: the paint event draws the control's raster.
class TSurfaceWidget : public QWidget {
public:
    explicit TSurfaceWidget(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

namespace QtControls {

// The control behind a widget (its own widget or one registered for it), or null.
TWinControl* ControlOf(const QObject* Widget);
// Routes the events of an extra widget (a viewport, an inner edit) to Control as well.
void RegisterWidget(QWidget* Widget, TWinControl* Control);
void UnregisterWidget(QWidget* Widget);

// Marks a widget as in use while its event or signal is being handled: a control destroyed
// meanwhile leaves its widget to the event loop instead of deleting it under Qt's feet.
struct TBusyScope {
    explicit TBusyScope(const QObject* Object);
    ~TBusyScope();
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;
};

// Hands the exception being handled to the application's error display. Sender may be null.
void ReportException(TObject* Sender);
// Runs Body; any exception goes to the error display (for every entry from the toolkit).
template <class F>
void Guarded(TObject* Sender, F&& Body)
{
    try {
        Body();
    } catch (...) {
        ReportException(Sender);
    }
}

// Delivers a message that stands for a toolkit event: true when it reached DefaultHandler
// (the toolkit may handle the event). Alive tells whether Target survived the delivery.
bool Deliver(TControl* Target, TMessage& M, bool& Alive);
// Whether Message is one of the toolkit's messages being delivered.
bool IsToolkitMessage(const void* Message);
void MarkPassed(const void* Message);

// The virtual-key code of a toolkit key event.
Word VirtualKey(const QKeyEvent* Event);
Word VirtualKey(int QtKey, Qt::KeyboardModifiers Modifiers, const QString& Text);
TShiftState ShiftState(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons);

QColor ToQColor(TColor Color);
QFont ToQFont(const TFont& Font);
Qt::CursorShape ToQtCursor(TCursor Cursor);

// Paints a surface: renders the dirty part of the raster and draws Rect of it on the widget.
void PaintSurface(TWinControl* Control, QWidget* Widget, const QRect& Rect);

}  // namespace QtControls
