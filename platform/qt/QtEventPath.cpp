// The event path on Qt: one event filter on every widget of a control turns Qt's events into
// the platform's messages (platform/EventPath.cpp delivers them) and tells Qt whether to go on.
#include "platform/qt/QtControls.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <QToolTip>
#include <QWheelEvent>

namespace {

using QtControls::ImplOf;
using QtControls::TBusyScope;
using QtControls::WidgetOf;

class TEventPath : public QObject {
public:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    bool Handle(TWinControl* C, QWidget* W, QEvent* E);
    bool HandleKey(TWinControl* C, QWidget* W, QKeyEvent* E);
    bool HandleMouse(TWinControl* C, QWidget* W, QMouseEvent* E);
    bool HandleShortcut(TWinControl* C, QShortcutEvent* E);
    bool HandleToolTip(TWinControl* C, QWidget* W, QHelpEvent* E);
};

TEventPath* Path()
{
    static TEventPath* path = new TEventPath;
    return path;
}

Cardinal MouseMessage(QEvent::Type Type, Qt::MouseButton Button)
{
    const int b = Button == Qt::RightButton ? 1 : Button == Qt::MiddleButton ? 2 : 0;
    static const Cardinal down[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const Cardinal up[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    static const Cardinal dbl[] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
    switch (Type) {
    case QEvent::MouseButtonPress:
        return down[b];
    case QEvent::MouseButtonRelease:
        return up[b];
    case QEvent::MouseButtonDblClick:
        return dbl[b];
    default:
        return WM_MOUSEMOVE;
    }
}

EventPath::TMouseKind MouseKind(QEvent::Type Type)
{
    switch (Type) {
    case QEvent::MouseButtonPress:
        return EventPath::mkPress;
    case QEvent::MouseButtonDblClick:
        return EventPath::mkDouble;
    case QEvent::MouseButtonRelease:
        return EventPath::mkRelease;
    default:
        return EventPath::mkMove;
    }
}

// The context menu, as the original opens it after a right-button release that reached the
// end of the control's chain and after the menu keys: a context-menu event through the event
// path, so that the control gets WM_CONTEXTMENU; unanswered, Qt hands it to the widget (an edit
// shows its own menu) and on to the parent widgets.
void OpenContextMenu(QWidget* W, QContextMenuEvent::Reason Reason, QPoint Local, Qt::KeyboardModifiers Mods)
{
    QContextMenuEvent e(Reason, Local, W->mapToGlobal(Local), Mods);
    QApplication::sendEvent(W, &e);
}

// The point P of widget W (the control's own widget or one registered for it) in the client
// coordinates of C.
QPoint ClientPoint(TWinControl* C, QWidget* W, QPoint P)
{
    return W != WidgetOf(C) ? W->mapTo(WidgetOf(C), P) : P;
}

bool TEventPath::eventFilter(QObject* Watched, QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::ContextMenu:
    case QEvent::Wheel:
    case QEvent::Resize:
    case QEvent::Close:
    case QEvent::ToolTip:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::Shortcut:
        break;
    default:
        return false;
    }
    TWinControl* c = QtControls::ControlOf(Watched);
    auto* w = qobject_cast<QWidget*>(Watched);
    if (c == nullptr || w == nullptr)
        return false;
    // A window being torn down (focus moving among its remaining children) gets no messages.
    for (const TControl* p = c; p != nullptr; p = p->GetParent())
        if (p->ControlDestroying())
            return false;
    TBusyScope busy(Watched);
    const TAliveCheck alive(c);
    try {
        return Handle(c, w, Event);
    } catch (...) {
        EventPath::ReportException(alive ? c : nullptr);
        return true;
    }
}

bool TEventPath::Handle(TWinControl* C, QWidget* W, QEvent* E)
{
    bool alive = true;
    TMessage m;
    const bool own = W == WidgetOf(C);          // the control's own widget, not an extra one
    const bool window = own && C->GetParent() == nullptr;
    switch (E->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return HandleKey(C, W, static_cast<QKeyEvent*>(E));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return HandleMouse(C, W, static_cast<QMouseEvent*>(E));
    case QEvent::Enter:
        m.Msg = CM_MOUSEENTER;
        EventPath::Deliver(C, m, alive);
        return false;
    case QEvent::Leave: {
        const TAliveCheck control(C);
        if (ImplOf(C).Surface)
            EventPath::SetHover(C, nullptr);
        if (!control)
            return false;
        m.Msg = CM_MOUSELEAVE;
        EventPath::Deliver(C, m, alive);
        return false;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // A popup (the context menu) takes the focus only for a while: the control keeps it.
        const auto* fe = static_cast<QFocusEvent*>(E);
        if (fe->reason() == Qt::PopupFocusReason)
            return false;
        m.Msg = E->type() == QEvent::FocusIn ? WM_SETFOCUS : WM_KILLFOCUS;
        EventPath::Deliver(C, m, alive);
        // Qt keeps its own focus bookkeeping: the event always goes on while the widget lives.
        return !alive;
    }
    case QEvent::ContextMenu: {
        // The window system's own (on a right-button press, or the menu key) is dropped: the
        // event path opens context menus itself, as the original does.
        if (E->spontaneous())
            return true;
        const auto* ce = static_cast<QContextMenuEvent*>(E);
        m.Msg = WM_CONTEXTMENU;
        m.LParam = ce->reason() == QContextMenuEvent::Keyboard
                       ? MakeLParam(-1, -1)
                       : MakeLParam(ce->globalPos().x(), ce->globalPos().y());
        const bool passed = EventPath::Deliver(C, m, alive);
        return !alive || !passed;
    }
    case QEvent::Wheel: {
        const auto* we = static_cast<QWheelEvent*>(E);
        QtControls::SetInputModifiers(we->modifiers());
        m.Msg = WM_MOUSEWHEEL;
        m.WParam = (WPARAM(Word(std::int16_t(we->angleDelta().y()))) << 16) |
                   QtControls::MouseKeys(we->buttons(), we->modifiers());
        const QPoint g = we->globalPosition().toPoint();
        m.LParam = MakeLParam(g.x(), g.y());
        const bool passed = EventPath::Deliver(C, m, alive);
        return !alive || !passed;
    }
    case QEvent::Resize:
        // The window manager resized a top-level window: lay it out anew.
        if (window && (W->width() != C->GetWidth() || W->height() != C->GetHeight()))
            TEventPathAccess::SyncSize(C, W->width(), W->height());
        return false;
    case QEvent::Close: {
        if (!window)
            return false;
        m.Msg = WM_CLOSE;
        const bool passed = EventPath::Deliver(C, m, alive);
        if (!alive || !passed) {
            E->ignore();
            return true;
        }
        return false;
    }
    case QEvent::Shortcut:
        return HandleShortcut(C, static_cast<QShortcutEvent*>(E));
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        if (!window)
            return false;
        m.Msg = WM_ACTIVATE;
        m.WParam = E->type() == QEvent::WindowActivate ? 1 : 0;
        EventPath::Deliver(C, m, alive);
        return false;
    case QEvent::ToolTip:
        return HandleToolTip(C, W, static_cast<QHelpEvent*>(E));
    default:
        return false;
    }
}

// The accelerator of a control's caption ("&Add"): it goes to the control as the dialog
// character it is, so that the control answers at once, as the original does, instead of the
// toolkit's delayed animated click.
bool TEventPath::HandleShortcut(TWinControl* C, QShortcutEvent* E)
{
    if (E->isAmbiguous() || !C->CanFocus())
        return true;
    if (E->key().isEmpty())
        return false;
    const int key = E->key()[0].key();
    if (key <= 0 || key > 0xFFFF)
        return false;
    TMessage m;
    m.Msg = CM_DIALOGCHAR;
    m.WParam = QChar(char16_t(key)).toUpper().unicode();
    bool alive = true;
    EventPath::Deliver(C, m, alive);
    return !alive || m.Result != 0;
}

bool TEventPath::HandleToolTip(TWinControl* C, QWidget* W, QHelpEvent* E)
{
    const QPoint p = ClientPoint(C, W, E->pos());
    TControl* target = C;
    if (ImplOf(C).Surface)
        if (TControl* g = C->ControlAtPos(TPoint(p.x(), p.y()), false))
            target = g;
    const UnicodeString hint = GetShortHint(target->GetHint());
    if (target->GetShowHint() && !hint.empty())
        QToolTip::showText(E->globalPos(), QtControls::ToQ(hint), W);
    else
        QToolTip::hideText();
    return true;
}

bool TEventPath::HandleKey(TWinControl* C, QWidget* W, QKeyEvent* E)
{
    const bool press = E->type() == QEvent::KeyPress;
    if (!press && E->isAutoRepeat())
        return false;  // a held key repeats its key-down only
    QtControls::SetInputModifiers(E->modifiers());
    EventPath::TKeyInput in;
    in.Press = press;
    in.AutoRepeat = E->isAutoRepeat();
    in.Key = QtControls::VirtualKey(E);
    in.Shift = QtControls::ShiftState(E->modifiers(), Qt::NoButton);
    in.ScanCode = static_cast<int>(E->nativeScanCode() & 0xFF);
    const QString text = E->text();
    for (const QChar ch : text)
        in.Chars.push_back(Char(ch.unicode()));
    if (!text.isEmpty())
        in.Accel = Char(text.at(0).toUpper().unicode());
    const TAliveCheck control(C);
    if (EventPath::Key(C, in) || !control)
        return true;
    const bool menuKey = (in.Key == VK_APPS && in.Shift == TShiftState()) ||
                         (in.Key == VK_F10 && in.Shift == TShiftState{ssShift});
    if (!press || !menuKey)
        return false;
    const TPoint at = EventPath::MenuKeyPoint(C);
    OpenContextMenu(W, QContextMenuEvent::Keyboard, W->mapFromGlobal(QPoint(at.X, at.Y)), E->modifiers());
    return true;
}

// A mouse button event that an enabled child control's widget left unhandled, which Qt hands on
// to the parent widgets (a right-button click on a push button): on the original only the
// window under the mouse gets it.
bool LeftByChildControl(QWidget* W, const QMouseEvent* E)
{
    if (E->spontaneous() || E->type() == QEvent::MouseMove)
        return false;
    const QWidget* c = W->childAt(E->position().toPoint());
    while (c != nullptr && c != W && QtControls::ControlOf(c) == nullptr)
        c = c->parentWidget();
    return c != nullptr && c != W && c->isEnabled();
}

bool TEventPath::HandleMouse(TWinControl* C, QWidget* W, QMouseEvent* E)
{
    if (LeftByChildControl(W, E))
        return true;
    QtControls::SetInputModifiers(E->modifiers());
    if (ControlsDrag::Source() != nullptr &&
        (E->type() == QEvent::MouseMove || E->type() == QEvent::MouseButtonRelease)) {
        if (E->type() == QEvent::MouseButtonRelease)
            ControlsDrag::End(ControlsDrag::Source(), true);
        else
            ControlsDrag::Move(TPoint(E->globalPosition().toPoint().x(), E->globalPosition().toPoint().y()));
        return true;
    }
    const QPoint q = ClientPoint(C, W, E->position().toPoint());
    TPoint p(q.x(), q.y());
    TControl* target = C;
    if (ImplOf(C).Surface) {
        if (!EventPath::SurfaceMouse(C, MouseKind(E->type()), E->buttons() != Qt::NoButton, p, target))
            return true;
        // The cursor of the graphic child under the mouse, else the surface's own.
        const TCursor own = C->GetCursor();
        if (target != C) {
            const TCursor cur = target->GetCursor() != crDefault ? target->GetCursor() : own;
            if (cur != crDefault)
                W->setCursor(QtControls::ToQtCursor(cur));
            else
                W->unsetCursor();
        } else if (E->type() == QEvent::MouseMove) {
            if (own != crDefault)
                W->setCursor(QtControls::ToQtCursor(own));
            else
                W->unsetCursor();
        }
    }
    TMessage m;
    m.Msg = MouseMessage(E->type(), E->button());
    m.WParam = QtControls::MouseKeys(E->buttons(), E->modifiers());
    m.LParam = MakeLParam(p.X, p.Y);
    bool alive = true;
    const TAliveCheck control(C);
    const bool passed = EventPath::Deliver(target, m, alive);
    if (control && passed && m.Msg == WM_RBUTTONUP)
        OpenContextMenu(W, QContextMenuEvent::Mouse, E->position().toPoint(), E->modifiers());
    if (!control)
        return true;
    return !passed;
}

}  // namespace

void QtControls::InstallEventPath(QWidget* Widget)
{
    Widget->installEventFilter(Path());
}

void QtControls::RemoveEventPath(QObject* Widget)
{
    Widget->removeEventFilter(Path());
}
