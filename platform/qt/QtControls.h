// The toolkit side of the controls (platform/qt only): the widget behind a windowed control,
// the painting surface, the registry of widgets, and the conversions between the two worlds.
#pragma once

#include "platform/Controls.h"
#include "platform/ControlsPrivate.h"
#include "platform/VectorPicture.h"

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QImage>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
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
    // On a screen of Scale device pixels per pixel (above 1), the raster's sharp mirror: every
    // canvas that draws into the raster carries the live picture, which draws each shape again,
    // Scale times larger, into Sharp; the widget shows Sharp.
    int Scale = 1;
    QImage Sharp;
    std::unique_ptr<TVectorPicture> Live;
};

// The widget of a painting surface: the paint event draws the control's raster.
class TSurfaceWidget : public QWidget {
public:
    explicit TSurfaceWidget(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

namespace QtControls {

// The parts of a windowed control on the toolkit's side.
TWinControlImpl& ImplOf(const TWinControl* Control);
// The widget behind a windowed control.
QWidget* WidgetOf(const TWinControl* Control);
// The widget of a control that is a widget of class W (an edit, a button ...).
template <class W>
W* WidgetAs(const TWinControl* Control)
{
    return static_cast<W*>(WidgetOf(Control));
}
// The maker of such a control's widget, for TWinControl's constructor.
template <class W>
void MakeWidget(TWinControlImpl& Impl)
{
    Impl.Widget = new W;
}
// The control behind a widget (its own widget or one registered for it), or null.
TWinControl* ControlOf(const QObject* Widget);
// Routes the events of an extra widget (a viewport, an inner edit) to Control as well.
void RegisterWidget(QWidget* Widget, TWinControl* Control);
void UnregisterWidget(QWidget* Widget);
// Installs the event path on a widget (done by RegisterWidget).
void InstallEventPath(QWidget* Widget);
void RemoveEventPath(QObject* Widget);

// Marks a widget as in use while its event or signal is being handled: a control destroyed
// meanwhile leaves its widget to the event loop instead of deleting it under Qt's feet.
struct TBusyScope {
    explicit TBusyScope(const QObject* Object);
    ~TBusyScope();
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;
};
// Whether W or one of its descendants is in use.
bool InUse(const QObject* W);

// The virtual-key code of a toolkit key event.
Word VirtualKey(const QKeyEvent* Event);
Word VirtualKey(int QtKey, Qt::KeyboardModifiers Modifiers, const QString& Text);
TShiftState ShiftState(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons);
// The MK_* flags of a mouse message.
WPARAM MouseKeys(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Modifiers);
// Keyboard modifiers of the latest input event (the state the handlers ask for).
void SetInputModifiers(Qt::KeyboardModifiers Modifiers);

QColor ToQColor(TColor Color);
QFont ToQFont(const TFont& Font);
Qt::CursorShape ToQtCursor(TCursor Cursor);
QRect ToQRect(const TRect& R);
TRect ToTRect(const QRect& R);
// Texts: UnicodeString is UTF-8.
QString ToQ(const UnicodeString& S);
UnicodeString FromQ(const QString& S);

// Makes sure the raster of a surface matches the control's size (a new one is wholly dirty).
void EnsureRaster(TWinControl* Control);
// Paints a surface: renders the dirty part of the raster and draws Rect of it on the widget.
void PaintSurface(TWinControl* Control, QWidget* Widget, const QRect& Rect);

}  // namespace QtControls

namespace QtControls {

// Runs Body on behalf of a Qt event or signal for Control: Busy counts as in use meanwhile,
// Body runs only while the control exists (Alive), and an exception goes to the error display.
template <class F>
void Entry(TWinControl* Control, const QObject* Busy, const TAliveCheck& Alive, F&& Body)
{
    TBusyScope busy(Busy);
    EventPath::Guarded(Control, [&] {
        if (Alive)
            Body();
    });
}

// Connects a signal of a control's widget (or of a widget inside it) to Body, the one way the
// platform listens to Qt's signals: the connection goes with the control, and Body is an Entry
// for the control's widget. Body takes the signal's arguments.
template <class Sender, class Signal, class F>
void Connect(TWinControl* Control, Sender* From, Signal Sig, F Body)
{
    QWidget* widget = WidgetOf(Control);
    QObject::connect(From, Sig, ImplOf(Control).Guard.get(),
                     [Control, widget, Body = std::move(Body)](const auto&... Args) {
                         Entry(Control, widget, TAliveCheck(Control), [&] { Body(Args...); });
                     });
}

}  // namespace QtControls
