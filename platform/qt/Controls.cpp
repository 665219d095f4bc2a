// Controls on Qt: widgets behind windowed controls, painting surfaces, the event path that turns
// Qt events into messages, and dragging.
#include "platform/qt/QtControls.h"

#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHash>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <vector>

namespace {

// Keyboard modifiers of the latest input event (the state the handlers ask for).
Qt::KeyboardModifiers g_modifiers;

// --- Widgets of controls, and widgets in use

QHash<const QObject*, TWinControl*>& Registry()
{
    static QHash<const QObject*, TWinControl*> registry;
    return registry;
}

// Widgets whose event handling or signal is running: they are deleted later, not at once.
std::vector<const QObject*>& BusyList()
{
    static std::vector<const QObject*> list;
    return list;
}


// Whether W or one of its descendants is in use.
bool InUse(const QObject* W)
{
    for (const QObject* b : BusyList())
        for (const QObject* o = b; o != nullptr; o = o->parent())
            if (o == W)
                return true;
    return false;
}

// --- Messages being delivered on behalf of Qt events

struct TDelivery {
    const void* Message;
    bool Passed;
};

std::vector<TDelivery*>& Deliveries()
{
    static std::vector<TDelivery*> list;
    return list;
}

TWinControlImpl& ImplOf(const TWinControl* C)
{
    return *TEventPathAccess::Impl(C);
}

QRect ToQRect(const TRect& R)
{
    return QRect(R.Left, R.Top, R.Width(), R.Height());
}

TRect ToTRect(const QRect& R)
{
    return TRect(R.left(), R.top(), R.left() + R.width(), R.top() + R.height());
}

// Creates the toolkit application when a control is made before TApplication::Initialize.
void EnsureGuiApplication()
{
    if (QApplication::instance() == nullptr)
        Application->Initialize();
}

}  // namespace

QtControls::TBusyScope::TBusyScope(const QObject* Object)
{
    BusyList().push_back(Object);
}

QtControls::TBusyScope::~TBusyScope()
{
    BusyList().pop_back();
}

using QtControls::TBusyScope;

bool KeyboardAltHeld()
{
    return (g_modifiers & Qt::AltModifier) != 0;
}

// ---------------------------------------------------------------------------------------------
// The event path

namespace {

class TEventPath : public QObject {
public:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    bool Handle(TWinControl* C, QWidget* W, QEvent* E);
    bool HandleKey(TWinControl* C, QKeyEvent* E);
    bool HandleMouse(TWinControl* C, QWidget* W, QMouseEvent* E);
    bool HandleDrag(QMouseEvent* E);
    void SetHover(TWinControl* C, TControl* G);
};

TEventPath* Path()
{
    static TEventPath* path = new TEventPath;
    return path;
}

WPARAM MouseKeys(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Mods)
{
    WPARAM k = 0;
    if (Buttons & Qt::LeftButton) k |= MK_LBUTTON;
    if (Buttons & Qt::RightButton) k |= MK_RBUTTON;
    if (Buttons & Qt::MiddleButton) k |= MK_MBUTTON;
    if (Mods & Qt::ShiftModifier) k |= MK_SHIFT;
    if (Mods & Qt::ControlModifier) k |= MK_CONTROL;
    return k;
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

// Sends a message to every control of the window (depth first, topmost first) until one
// answers it with a non-zero Result.
bool Broadcast(TWinControl* Parent, TMessage& M)
{
    for (int i = Parent->ControlCount() - 1; i >= 0; --i) {
        if (i >= Parent->ControlCount())
            continue;
        TControl* c = Parent->Controls(i);
        if (!c->GetVisible())
            continue;
        const auto life = Parent->LifeToken();
        c->Dispatch(&M);
        if (M.Result != 0 || life.expired())
            return true;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (Broadcast(w, M))
                return true;
    }
    return false;
}

// The keyboard interface of a window, ahead of the focused control (as the original's dialog
// handling): Tab and Shift+Tab move the focus; Enter and Escape go to the control that claims
// them (the focused button, the default or the cancel button). A claimed key never reaches the
// focused control.
bool DialogKey(TWinControl* C, Word Key, Qt::KeyboardModifiers Mods)
{
    TWinControl* top = GetTopLevelControl(C);
    if (top == nullptr)
        return false;
    const bool ctrl = Mods & Qt::ControlModifier;
    const bool alt = Mods & Qt::AltModifier;
    if (Key == VK_TAB && !ctrl && !alt) {
        top->SelectNext(C, !(Mods & Qt::ShiftModifier), true);
        return true;
    }
    if (Key == VK_RETURN || Key == VK_ESCAPE) {
        TMessage m;
        m.Msg = CM_DIALOGKEY;
        m.WParam = Key;
        m.LParam = (Mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) ? 1 : 0;
        return Broadcast(top, m);
    }
    return false;
}

// Alt and a character: the control whose accelerator it is (a label) answers.
bool DialogChar(TWinControl* C, Qt::KeyboardModifiers Mods, const QString& Text)
{
    TWinControl* top = GetTopLevelControl(C);
    if (top == nullptr || !(Mods & Qt::AltModifier) || (Mods & Qt::ControlModifier) || Text.isEmpty())
        return false;
    TMessage m;
    m.Msg = CM_DIALOGCHAR;
    m.WParam = Text.at(0).toUpper().unicode();
    return Broadcast(top, m);
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
    const auto life = c->LifeToken();
    try {
        return Handle(c, w, Event);
    } catch (...) {
        QtControls::ReportException(life.expired() ? nullptr : c);
        return true;
    }
}

bool TEventPath::Handle(TWinControl* C, QWidget* W, QEvent* E)
{
    bool alive = true;
    TMessage m;
    switch (E->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return HandleKey(C, static_cast<QKeyEvent*>(E));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return HandleMouse(C, W, static_cast<QMouseEvent*>(E));
    case QEvent::Enter:
        m.Msg = CM_MOUSEENTER;
        QtControls::Deliver(C, m, alive);
        return false;
    case QEvent::Leave:
        if (ImplOf(C).Surface)
            SetHover(C, nullptr);
        if (C->LifeToken().expired())
            return false;
        m.Msg = CM_MOUSELEAVE;
        QtControls::Deliver(C, m, alive);
        return false;
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // A popup (the context menu) takes the focus only for a while: the control keeps it.
        const auto* fe = static_cast<QFocusEvent*>(E);
        if (fe->reason() == Qt::PopupFocusReason)
            return false;
        m.Msg = E->type() == QEvent::FocusIn ? WM_SETFOCUS : WM_KILLFOCUS;
        QtControls::Deliver(C, m, alive);
        // Qt keeps its own focus bookkeeping: the event always goes on while the widget lives.
        return !alive;
    }
    case QEvent::ContextMenu: {
        const auto* ce = static_cast<QContextMenuEvent*>(E);
        m.Msg = WM_CONTEXTMENU;
        m.LParam = ce->reason() == QContextMenuEvent::Keyboard
                       ? MakeLParam(-1, -1)
                       : MakeLParam(ce->globalPos().x(), ce->globalPos().y());
        const bool passed = QtControls::Deliver(C, m, alive);
        return !alive || !passed;
    }
    case QEvent::Wheel: {
        const auto* we = static_cast<QWheelEvent*>(E);
        g_modifiers = we->modifiers();
        m.Msg = WM_MOUSEWHEEL;
        m.WParam = (WPARAM(Word(std::int16_t(we->angleDelta().y()))) << 16) |
                   MouseKeys(we->buttons(), we->modifiers());
        const QPoint g = we->globalPosition().toPoint();
        m.LParam = MakeLParam(g.x(), g.y());
        const bool passed = QtControls::Deliver(C, m, alive);
        return !alive || !passed;
    }
    case QEvent::Resize:
        // The window manager resized a top-level window: lay it out anew.
        if (W == C->Widget() && C->GetParent() == nullptr &&
            (W->width() != C->GetWidth() || W->height() != C->GetHeight()))
            TEventPathAccess::SyncSize(C, W->width(), W->height());
        return false;
    case QEvent::Close: {
        if (W != C->Widget() || C->GetParent() != nullptr)
            return false;
        m.Msg = WM_CLOSE;
        const bool passed = QtControls::Deliver(C, m, alive);
        if (!alive || !passed) {
            E->ignore();
            return true;
        }
        return false;
    }
    case QEvent::Shortcut: {
        // The accelerator of a button's or check box's caption ("&Add"): the control answers
        // at once, as the original does, instead of the toolkit's delayed animated click.
        const auto* se = static_cast<QShortcutEvent*>(E);
        if (se->isAmbiguous() || !C->CanFocus())
            return true;
        if (auto* box = dynamic_cast<TCheckBox*>(C)) {
            box->SetFocus();
            box->SetChecked(!box->GetChecked());
            return true;
        }
        if (auto* button = dynamic_cast<TButton*>(C)) {
            button->Click();
            return true;
        }
        return false;
    }
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        if (W != C->Widget() || C->GetParent() != nullptr)
            return false;
        m.Msg = WM_ACTIVATE;
        m.WParam = E->type() == QEvent::WindowActivate ? 1 : 0;
        QtControls::Deliver(C, m, alive);
        return false;
    case QEvent::ToolTip: {
        const auto* he = static_cast<QHelpEvent*>(E);
        QPoint p = he->pos();
        if (W != C->Widget())
            p = W->mapTo(C->Widget(), p);
        TControl* target = C;
        if (ImplOf(C).Surface)
            if (TControl* g = C->ControlAtPos(TPoint(p.x(), p.y()), false))
                target = g;
        UnicodeString hint = target->GetHint();
        hint = hint.substr(0, hint.find('|'));
        if (target->GetShowHint() && !hint.empty())
            QToolTip::showText(he->globalPos(), QString::fromStdString(hint), W);
        else
            QToolTip::hideText();
        return true;
    }
    default:
        return false;
    }
}

bool TEventPath::HandleKey(TWinControl* C, QKeyEvent* E)
{
    const bool press = E->type() == QEvent::KeyPress;
    if (!press && E->isAutoRepeat())
        return false;  // a held key repeats its key-down only
    g_modifiers = E->modifiers();
    const Qt::KeyboardModifiers mods = E->modifiers();
    const Word vk = QtControls::VirtualKey(E);
    const bool alt = mods & Qt::AltModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const bool sys = (alt && !ctrl) || vk == VK_F10 || (vk == VK_MENU && !ctrl);
    TMessage m;
    m.Msg = press ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    m.WParam = vk;
    LPARAM data = 1 | (LPARAM(E->nativeScanCode() & 0xFF) << 16);
    if (alt) data |= KF_ALTDOWN_BIT;
    if (press && E->isAutoRepeat()) data |= KF_REPEAT_BIT;
    if (!press) data |= KF_REPEAT_BIT | KF_UP_BIT;
    m.LParam = data;
    bool alive = true;
    if (press && DialogKey(C, vk, mods))
        return true;
    if (C->LifeToken().expired())
        return true;
    // A form with KeyPreview sees the key first; clearing it there swallows it.
    auto* form = dynamic_cast<TForm*>(GetTopLevelControl(C));
    if (form != nullptr && form != C && form->GetKeyPreview()) {
        TMessage preview = m;
        const auto life = C->LifeToken();
        if (!QtControls::Deliver(form, preview, alive) || life.expired())
            return true;
        if (preview.WParam == 0)
            return true;
    }
    if (!QtControls::Deliver(C, m, alive) || !alive)
        return true;
    if (!press)
        return false;
    if (DialogChar(C, mods, E->text()))
        return true;
    if (C->LifeToken().expired())
        return true;
    const QString text = E->text();
    for (const QChar ch : text) {
        TMessage cm;
        cm.Msg = sys ? WM_SYSCHAR : WM_CHAR;
        cm.WParam = ch.unicode();
        cm.LParam = data;
        form = dynamic_cast<TForm*>(GetTopLevelControl(C));
        if (form != nullptr && form != C && form->GetKeyPreview()) {
            TMessage preview = cm;
            const auto life = C->LifeToken();
            if (!QtControls::Deliver(form, preview, alive) || life.expired() || preview.WParam == 0)
                return true;
        }
        if (!QtControls::Deliver(C, cm, alive) || !alive)
            return true;
    }
    return false;
}

void TEventPath::SetHover(TWinControl* C, TControl* G)
{
    auto& d = ImplOf(C);
    if (d.Hover == G)
        return;
    TControl* old = d.Hover;
    d.Hover = G;
    bool alive = true;
    TMessage m;
    if (old != nullptr) {
        m.Msg = CM_MOUSELEAVE;
        QtControls::Deliver(old, m, alive);
    }
    if (G != nullptr && !C->LifeToken().expired() && ImplOf(C).Hover == G) {
        m.Msg = CM_MOUSEENTER;
        QtControls::Deliver(G, m, alive);
    }
}

bool TEventPath::HandleMouse(TWinControl* C, QWidget* W, QMouseEvent* E)
{
    g_modifiers = E->modifiers();
    if (ControlsDrag::Source() != nullptr &&
        (E->type() == QEvent::MouseMove || E->type() == QEvent::MouseButtonRelease))
        return HandleDrag(E);
    QPoint p = E->position().toPoint();
    if (W != C->Widget())
        p = W->mapTo(C->Widget(), p);
    TControl* target = C;
    auto& d = ImplOf(C);
    if (d.Surface) {
        TControl* g = nullptr;
        if (d.Capture != nullptr && E->type() != QEvent::MouseButtonPress &&
            E->type() != QEvent::MouseButtonDblClick)
            g = d.Capture;
        else
            g = C->ControlAtPos(TPoint(p.x(), p.y()), false);
        if (E->type() != QEvent::MouseButtonRelease)
            SetHover(C, g);
        if (C->LifeToken().expired())
            return true;
        if (g != nullptr && g->GetParent() != C)
            g = nullptr;  // removed by a hover handler
        if (E->type() == QEvent::MouseButtonPress || E->type() == QEvent::MouseButtonDblClick)
            d.Capture = (g != nullptr && g->GetControlStyle().Contains(csCaptureMouse)) ? g : nullptr;
        if (g != nullptr) {
            target = g;
            p -= QPoint(g->GetLeft(), g->GetTop());
            const TCursor cur = g->GetCursor();
            if (cur != crDefault)
                W->setCursor(QtControls::ToQtCursor(cur));
            else if (C->GetCursor() != crDefault)
                W->setCursor(QtControls::ToQtCursor(C->GetCursor()));
            else
                W->unsetCursor();
        } else if (E->type() == QEvent::MouseMove) {
            if (C->GetCursor() != crDefault)
                W->setCursor(QtControls::ToQtCursor(C->GetCursor()));
            else
                W->unsetCursor();
        }
        if (E->type() == QEvent::MouseButtonRelease && E->buttons() == Qt::NoButton)
            d.Capture = nullptr;
    }
    TMessage m;
    m.Msg = MouseMessage(E->type(), E->button());
    m.WParam = MouseKeys(E->buttons(), E->modifiers());
    m.LParam = MakeLParam(p.x(), p.y());
    bool alive = true;
    const auto life = C->LifeToken();
    const bool passed = QtControls::Deliver(target, m, alive);
    if (life.expired())
        return true;
    return !passed;
}

// --- Dragging

struct TDragInfo {
    TControl* Source = nullptr;
    std::weak_ptr<void> SourceLife;
    TDragObject* Object = nullptr;
    bool Started = false;
    int Threshold = 5;
    QPoint Start;
    TControl* Target = nullptr;
    std::weak_ptr<void> TargetLife;
    bool Accept = false;
    QPoint TargetPos;
};

TDragInfo& Drag()
{
    static TDragInfo state;
    return state;
}

TObject* DragSourceObject()
{
    auto& g = Drag();
    if (g.Object != nullptr && dynamic_cast<TDragControlObject*>(g.Object) == nullptr)
        return g.Object;
    return g.Source;
}

// The control under a global position and the position in its client area.
TControl* ControlAtGlobal(const QPoint& Global, QPoint& Local)
{
    QWidget* w = QApplication::widgetAt(Global);
    TWinControl* c = nullptr;
    while (w != nullptr && (c = QtControls::ControlOf(w)) == nullptr)
        w = w->parentWidget();
    if (c == nullptr)
        return nullptr;
    Local = c->Widget()->mapFromGlobal(Global);
    if (ImplOf(c).Surface)
        if (TControl* g = c->ControlAtPos(TPoint(Local.x(), Local.y()), false)) {
            Local -= QPoint(g->GetLeft(), g->GetTop());
            return g;
        }
    return c;
}

bool TEventPath::HandleDrag(QMouseEvent* E)
{
    auto& g = Drag();
    const QPoint global = E->globalPosition().toPoint();
    if (E->type() == QEvent::MouseButtonRelease) {
        ControlsDrag::End(g.Source, true);
        return true;
    }
    if (!g.Started) {
        if ((global - g.Start).manhattanLength() < g.Threshold)
            return true;
        g.Started = true;
        QApplication::setOverrideCursor(QtControls::ToQtCursor(g.Source->GetDragCursor()));
    }
    QPoint local;
    TControl* target = ControlAtGlobal(global, local);
    TObject* source = DragSourceObject();
    if (g.Target != nullptr && g.Target != target && !g.TargetLife.expired()) {
        bool accept = false;
        TEventPathAccess::DragOver(g.Target, source, g.TargetPos.x(), g.TargetPos.y(), dsDragLeave,
                                   accept);
    }
    const bool entering = target != g.Target;
    g.Target = target;
    g.TargetLife = target != nullptr ? target->LifeToken() : std::weak_ptr<void>();
    g.TargetPos = local;
    g.Accept = false;
    if (target != nullptr)
        TEventPathAccess::DragOver(target, source, local.x(), local.y(),
                                   entering ? dsDragEnter : dsDragMove, g.Accept);
    if (Drag().Source != nullptr)
        QApplication::changeOverrideCursor(QtControls::ToQtCursor(
            g.Accept ? g.Source->GetDragCursor() : crNoDrop));
    return true;
}

}  // namespace

void ControlsDrag::Begin(TControl* Source, bool Immediate, int Threshold)
{
    auto& g = Drag();
    if (g.Source != nullptr || Source == nullptr)
        return;
    g = TDragInfo();
    g.Source = Source;
    g.SourceLife = Source->LifeToken();
    g.Threshold = Threshold;
    g.Start = QCursor::pos();
    TDragObject* object = nullptr;
    TEventPathAccess::DoStartDrag(Source, object);
    if (g.SourceLife.expired()) {
        g = TDragInfo();
        return;
    }
    g.Object = object;
    if (Immediate) {
        g.Started = true;
        QApplication::setOverrideCursor(QtControls::ToQtCursor(Source->GetDragCursor()));
    }
}

void ControlsDrag::End(TControl* Source, bool Drop)
{
    auto& g = Drag();
    if (g.Source == nullptr || g.Source != Source)
        return;
    TDragInfo s = g;
    g = TDragInfo();
    if (s.Started)
        QApplication::restoreOverrideCursor();
    TObject* source = (s.Object != nullptr && dynamic_cast<TDragControlObject*>(s.Object) == nullptr)
                          ? static_cast<TObject*>(s.Object)
                          : static_cast<TObject*>(s.Source);
    TControl* target = (s.Started && Drop && s.Accept && s.Target != nullptr && !s.TargetLife.expired())
                           ? s.Target
                           : nullptr;
    const auto sourceLife = s.SourceLife;
    if (target != nullptr)
        TEventPathAccess::DragDrop(target, source, s.TargetPos.x(), s.TargetPos.y());
    if (!sourceLife.expired())
        TEventPathAccess::DoEndDrag(s.Source, target, target ? s.TargetPos.x() : 0,
                                    target ? s.TargetPos.y() : 0);
}

TControl* ControlsDrag::Source()
{
    return Drag().Source;
}

void ControlsDrag::Forget(TControl* Control)
{
    auto& g = Drag();
    if (g.Source == Control) {
        if (g.Started)
            QApplication::restoreOverrideCursor();
        g = TDragInfo();
    } else if (g.Target == Control) {
        g.Target = nullptr;
        g.Accept = false;
    }
}

// ---------------------------------------------------------------------------------------------
// QtControls

TWinControl* QtControls::ControlOf(const QObject* Widget)
{
    return Registry().value(Widget, nullptr);
}

void QtControls::RegisterWidget(QWidget* Widget, TWinControl* Control)
{
    Registry().insert(Widget, Control);
    Widget->installEventFilter(Path());
}

void QtControls::UnregisterWidget(QWidget* Widget)
{
    Registry().remove(Widget);
    Widget->removeEventFilter(Path());
}

void QtControls::ReportException(TObject* Sender)
{
    try {
        if (Application != nullptr)
            Application->HandleException(Sender);
    } catch (...) {
        // The error display itself failed: nothing more can be shown.
    }
}

bool QtControls::Deliver(TControl* Target, TMessage& M, bool& Alive)
{
    TDelivery d{&M, false};
    Deliveries().push_back(&d);
    const auto life = Target->LifeToken();
    try {
        Target->Dispatch(&M);
    } catch (...) {
        Deliveries().pop_back();
        Alive = !life.expired();
        ReportException(Alive ? Target : nullptr);
        Alive = !life.expired();
        return false;
    }
    Deliveries().pop_back();
    Alive = !life.expired();
    return d.Passed;
}

bool QtControls::IsToolkitMessage(const void* Message)
{
    for (const TDelivery* d : Deliveries())
        if (d->Message == Message)
            return true;
    return false;
}

void QtControls::MarkPassed(const void* Message)
{
    for (TDelivery* d : Deliveries())
        if (d->Message == Message)
            d->Passed = true;
}

TShiftState QtControls::ShiftState(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons)
{
    TShiftState s;
    if (Modifiers & Qt::ShiftModifier) s << ssShift;
    if (Modifiers & Qt::ControlModifier) s << ssCtrl;
    if (Modifiers & Qt::AltModifier) s << ssAlt;
    if (Buttons & Qt::LeftButton) s << ssLeft;
    if (Buttons & Qt::RightButton) s << ssRight;
    if (Buttons & Qt::MiddleButton) s << ssMiddle;
    return s;
}

QColor QtControls::ToQColor(TColor Color)
{
    const TColor c = ColorToRGB(Color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

Qt::CursorShape QtControls::ToQtCursor(TCursor Cursor)
{
    switch (Cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragMoveCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

// --- Keys

Word QtControls::VirtualKey(const QKeyEvent* Event)
{
    return VirtualKey(Event->key(), Event->modifiers(), Event->text());
}

Word QtControls::VirtualKey(int Key, Qt::KeyboardModifiers Modifiers, const QString& Text)
{
    if (Modifiers & Qt::KeypadModifier) {
        if (Key >= Qt::Key_0 && Key <= Qt::Key_9)
            return Word(VK_NUMPAD0 + (Key - Qt::Key_0));
        switch (Key) {
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Period:
        case Qt::Key_Comma: return VK_DECIMAL;
        case Qt::Key_Slash: return VK_DIVIDE;
        default: break;
        }
    }
    if (Key >= Qt::Key_A && Key <= Qt::Key_Z)
        return Word('A' + (Key - Qt::Key_A));
    if (Key >= Qt::Key_0 && Key <= Qt::Key_9)
        return Word('0' + (Key - Qt::Key_0));
    if (Key >= Qt::Key_F1 && Key <= Qt::Key_F24)
        return Word(VK_F1 + (Key - Qt::Key_F1));
    if (Key >= Qt::Key_Dead_Grave && Key <= Qt::Key_Dead_Longsolidusoverlay)
        return VK_OEM_8;
    switch (Key) {
    // editing and navigation
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Select: return VK_SELECT;
    case Qt::Key_Printer: return VK_PRINT;
    case Qt::Key_Execute: return VK_EXECUTE;
    case Qt::Key_Print:
    case Qt::Key_SysReq: return VK_SNAPSHOT;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Cancel: return VK_CANCEL;
    // modifiers, locks and system keys
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Meta:
    case Qt::Key_Super_L: return VK_LWIN;
    case Qt::Key_Super_R: return VK_RWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Sleep: return VK_SLEEP;
    // input methods
    case Qt::Key_Hangul:
    case Qt::Key_Kana_Lock:
    case Qt::Key_Kana_Shift: return VK_KANA;
    case Qt::Key_Hangul_Hanja:
    case Qt::Key_Kanji: return VK_KANJI;
    case Qt::Key_Henkan: return VK_CONVERT;
    case Qt::Key_Muhenkan: return VK_NONCONVERT;
    case Qt::Key_Mode_switch: return VK_MODECHANGE;
    // browser, volume, media and launch keys
    case Qt::Key_Back: return VK_BROWSER_BACK;
    case Qt::Key_Forward: return VK_BROWSER_FORWARD;
    case Qt::Key_Refresh: return VK_BROWSER_REFRESH;
    case Qt::Key_Stop: return VK_BROWSER_STOP;
    case Qt::Key_Search: return VK_BROWSER_SEARCH;
    case Qt::Key_Favorites: return VK_BROWSER_FAVORITES;
    case Qt::Key_HomePage: return VK_BROWSER_HOME;
    case Qt::Key_VolumeMute: return VK_VOLUME_MUTE;
    case Qt::Key_VolumeDown: return VK_VOLUME_DOWN;
    case Qt::Key_VolumeUp: return VK_VOLUME_UP;
    case Qt::Key_MediaNext: return VK_MEDIA_NEXT_TRACK;
    case Qt::Key_MediaPrevious: return VK_MEDIA_PREV_TRACK;
    case Qt::Key_MediaStop: return VK_MEDIA_STOP;
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaPause:
    case Qt::Key_MediaTogglePlayPause: return VK_MEDIA_PLAY_PAUSE;
    case Qt::Key_LaunchMail: return VK_LAUNCH_MAIL;
    case Qt::Key_LaunchMedia: return VK_LAUNCH_MEDIA_SELECT;
    case Qt::Key_Launch0: return VK_LAUNCH_APP1;
    case Qt::Key_Launch1: return VK_LAUNCH_APP2;
    // punctuation: the key that carries the character on the US layout
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return VK_OEM_PLUS;
    case Qt::Key_Comma:
    case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Period:
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Slash:
    case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return VK_OEM_7;
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    default:
        break;
    }
    // A character without a key of its own (other layouts, input methods); a key the table
    // does not know gets the code the original platform gives such keys.
    return Text.isEmpty() ? Word(0xFF) : VK_PACKET;
}

// ---------------------------------------------------------------------------------------------
// Painting surfaces

namespace {

void AttachChildCanvases(TWinControl* C)
{
    for (int i = 0; i < C->ControlCount(); ++i)
        if (auto* g = dynamic_cast<TGraphicControl*>(C->Controls(i)))
            TEventPathAccess::AttachCanvas(g);
}

// Makes the raster match the control's size; a new raster is wholly dirty.
void EnsureRaster(TWinControl* C)
{
    auto& d = ImplOf(C);
    if (!d.Surface)
        return;
    const int w = std::max(C->GetWidth(), 0);
    const int h = std::max(C->GetHeight(), 0);
    if (!d.Raster.isNull() && d.Raster.width() == w && d.Raster.height() == h)
        return;
    if (w == 0 || h == 0) {
        d.Raster = QImage();
        d.Canvas->Detach();
    } else {
        d.Raster = QImage(w, h, QImage::Format_RGB32);
        d.Raster.fill(QtControls::ToQColor(C->GetColor()));
        d.Canvas->Attach(reinterpret_cast<std::uint32_t*>(d.Raster.bits()), w, h,
                         static_cast<int>(d.Raster.bytesPerLine() / 4));
    }
    d.Dirty = QRect(0, 0, w, h);
    AttachChildCanvases(C);
}

// Draws the dirty part of the raster: background, the control's own drawing, then the graphic
// children in z-order, each clipped to its bounds.
void Render(TWinControl* C)
{
    auto& d = ImplOf(C);
    EnsureRaster(C);
    if (d.Raster.isNull() || d.Dirty.isEmpty())
        return;
    const QRect dirty = d.Dirty & QRect(0, 0, d.Raster.width(), d.Raster.height());
    d.Dirty = QRect();
    d.Rendering = true;
    struct TDone {
        TWinControlImpl& D;
        ~TDone() { D.Rendering = false; }
    } done{d};
    TCanvas* cv = d.Canvas.get();
    cv->SetOrigin(0, 0);
    cv->SetClipRect(ToTRect(dirty));
    const TColor brushColor = cv->Brush->GetColor();
    const TBrushStyle brushStyle = cv->Brush->GetStyle();
    cv->Brush->SetColor(C->GetColor());
    cv->Brush->SetStyle(bsSolid);
    cv->FillRect(ToTRect(dirty));
    cv->Brush->SetColor(brushColor);
    cv->Brush->SetStyle(brushStyle);
    TEventPathAccess::PaintWindow(C, cv);
    cv->SetOrigin(0, 0);
    cv->ResetClipRect();
    const auto life = C->LifeToken();
    std::vector<TControl*> children;
    for (int i = 0; i < C->ControlCount(); ++i)
        children.push_back(C->Controls(i));
    for (TControl* child : children) {
        auto* g = dynamic_cast<TGraphicControl*>(child);
        if (g == nullptr || !g->GetVisible())
            continue;
        const QRect bounds = ToQRect(g->GetBoundsRect());
        const QRect part = bounds & dirty;
        if (part.isEmpty())
            continue;
        TEventPathAccess::AttachCanvas(g);
        g->Canvas->SetClipRect(ToTRect(part.translated(-bounds.topLeft())));
        const auto childLife = g->LifeToken();
        g->Paint();
        if (life.expired())
            return;
        if (!childLife.expired())
            TEventPathAccess::AttachCanvas(g);
    }
}

}  // namespace

TSurfaceWidget::TSurfaceWidget(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TSurfaceWidget::paintEvent(QPaintEvent* event)
{
    TWinControl* c = QtControls::ControlOf(this);
    if (c == nullptr)
        return;
    TBusyScope busy(this);
    QtControls::PaintSurface(c, this, event->rect());
}

void QtControls::PaintSurface(TWinControl* Control, QWidget* Widget, const QRect& Rect)
{
    const auto life = Control->LifeToken();
    try {
        Render(Control);
    } catch (...) {
        // Shown once the paint is over: a message box inside a paint event would paint again.
        if (!life.expired())
            ImplOf(Control).Dirty = QRect();
        std::exception_ptr error = std::current_exception();
        QTimer::singleShot(0, QCoreApplication::instance(), [error] {
            try {
                std::rethrow_exception(error);
            } catch (...) {
                ReportException(nullptr);
            }
        });
    }
    if (life.expired())
        return;
    auto& d = ImplOf(Control);
    QPainter painter(Widget);
    if (d.Raster.isNull())
        painter.fillRect(Rect, ToQColor(Control->GetColor()));
    else
        painter.drawImage(Rect, d.Raster, Rect);
}

// ---------------------------------------------------------------------------------------------
// TControl: end of the message chain

void TControl::DefaultHandler(void* Message)
{
    if (QtControls::IsToolkitMessage(Message))
        QtControls::MarkPassed(Message);
}

// ---------------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TWinControl(AOwner, nullptr) {}

TWinControl::TWinControl(TComponent* AOwner, QWidget* AWidget)
    : TControl(AOwner), FImpl(std::make_unique<TWinControlImpl>())
{
    EnsureGuiApplication();
    auto& d = *FImpl;
    d.Control = this;
    d.Guard = std::make_unique<QObject>();
    if (AWidget == nullptr) {
        AWidget = new TSurfaceWidget;
        d.Surface = true;
        d.Canvas = std::make_unique<TCanvas>();
        TWinControlImpl* impl = FImpl.get();
        d.Canvas->OnPainted = [impl](const TRect& R) {
            if (!impl->Rendering && impl->Widget)
                impl->Widget->update(ToQRect(R));
        };
        SetControlStyle(GetControlStyle() + TControlStyle{csAcceptsControls, csOpaque});
        AWidget->setFocusPolicy(Qt::NoFocus);
    }
    d.Widget = AWidget;
    AWidget->setMouseTracking(true);  // mouse moves without a button held reach the control too
    AWidget->setGeometry(0, 0, 0, 0);
    QtControls::RegisterWidget(AWidget, this);
}

TWinControl::~TWinControl()
{
    FControlDestroying = true;
    ControlsDrag::Forget(this);
    if (GetParent() != nullptr)
        GetParent()->RemoveControl(this);
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        delete c;
        // A child whose destructor did not leave the list (it cannot) must not stall the loop.
        if (!FControls.empty() && FControls.back() == c)
            FControls.pop_back();
    }
    auto& d = *FImpl;
    d.Guard.reset();
    for (auto it = Registry().begin(); it != Registry().end();) {
        if (it.value() == this) {
            if (auto* w = const_cast<QObject*>(it.key()))
                w->removeEventFilter(Path());
            it = Registry().erase(it);
        } else {
            ++it;
        }
    }
    if (QWidget* w = d.Widget.data()) {
        if (InUse(w)) {
            // Its own event or signal is still running: leave it to the event loop.
            w->hide();
            w->deleteLater();
        } else {
            delete w;
        }
    }
}

QWidget* TWinControl::Widget() const
{
    return FImpl->Widget.data();
}

QObject* TWinControl::SignalContext() const
{
    return FImpl->Guard.get();
}

TCanvas* TWinControl::SurfaceCanvas() const
{
    return FImpl->Canvas.get();
}

void TWinControl::PaintWindow(TCanvas*) {}

void TWinControl::ControlRemoved(TControl* AControl)
{
    auto& d = *FImpl;
    if (d.Capture == AControl)
        d.Capture = nullptr;
    if (d.Hover == AControl)
        d.Hover = nullptr;
}

void TWinControl::ParentChanged()
{
    QWidget* w = Widget();
    if (w == nullptr)
        return;
    QWidget* parentWidget = GetParent() != nullptr ? GetParent()->Widget() : nullptr;
    if (w->parentWidget() != parentWidget) {
        const bool hadFocus = w->hasFocus();
        w->setParent(parentWidget);
        if (hadFocus && parentWidget == nullptr)
            w->clearFocus();
    }
    if (parentWidget != nullptr) {
        w->setGeometry(GetLeft(), GetTop(), GetWidth(), GetHeight());
        w->setVisible(GetVisible());
        // A new child is the topmost: its widget goes above its siblings.
        w->raise();
    }
}

void TWinControl::BoundsChanged(bool Moved, bool Resized)
{
    QWidget* w = Widget();
    if (w != nullptr) {
        if (GetParent() != nullptr) {
            if (!Moved && !Resized) {
                // The z-order changed.
                for (int i = 0; i < GetParent()->ControlCount(); ++i)
                    if (auto* sibling = dynamic_cast<TWinControl*>(GetParent()->Controls(i)))
                        if (sibling->Widget() != nullptr)
                            sibling->Widget()->raise();
            }
            w->setGeometry(GetLeft(), GetTop(), GetWidth(), GetHeight());
        } else {
            if (Moved)
                w->move(GetLeft(), GetTop());
            if (Resized)
                w->resize(GetWidth(), GetHeight());
        }
    }
    if (Resized) {
        if (FImpl->Surface) {
            EnsureRaster(this);
            w->update();
        }
        AlignChildren(nullptr);
    }
}

void TWinControl::VisibleChanged()
{
    if (QWidget* w = Widget()) {
        if (GetParent() != nullptr || GetVisible() == false)
            w->setVisible(GetVisible());
        else
            w->show();
    }
}

void TWinControl::EnabledChanged()
{
    if (QWidget* w = Widget())
        w->setEnabled(GetEnabled());
    Invalidate();
}

void TWinControl::ColorChanged()
{
    Invalidate();
    for (TControl* c : std::vector<TControl*>(FControls))
        c->ParentColorChanged();
}

void TWinControl::FontChanged()
{
    if (QWidget* w = Widget())
        w->setFont(QtControls::ToQFont(*GetFont()));
    Invalidate();
    for (TControl* c : std::vector<TControl*>(FControls))
        c->ParentFontChanged();
}

void TWinControl::CursorChanged()
{
    if (QWidget* w = Widget()) {
        if (GetCursor() == crDefault)
            w->unsetCursor();
        else
            w->setCursor(QtControls::ToQtCursor(GetCursor()));
    }
}

void TWinControl::HintChanged()
{
    for (TControl* c : std::vector<TControl*>(FControls))
        if (c->FParentShowHint && c->FShowHint != GetShowHint()) {
            c->FShowHint = GetShowHint();
            c->HintChanged();
        }
}

void TWinControl::TextChanged()
{
    if (GetParent() == nullptr)
        if (QWidget* w = Widget())
            w->setWindowTitle(QString::fromStdString(GetText()));
    Invalidate();
}

void TWinControl::TabStopChanged() {}

void TWinControl::Invalidate()
{
    auto& d = *FImpl;
    if (d.Surface)
        d.Dirty = QRect(0, 0, GetWidth(), GetHeight());
    if (d.Widget)
        d.Widget->update();
}

void TWinControl::InvalidateRect(const TRect& R)
{
    auto& d = *FImpl;
    const QRect r = ToQRect(R) & QRect(0, 0, GetWidth(), GetHeight());
    if (r.isEmpty())
        return;
    if (d.Surface)
        d.Dirty |= r;
    if (d.Widget)
        d.Widget->update(r);
}

void TWinControl::Update()
{
    if (FImpl->Rendering)
        return;  // the paint under way shows it
    if (QWidget* w = Widget())
        if (w->isVisible())
            w->repaint();
}

bool TWinControl::Focused() const
{
    const QWidget* w = Widget();
    return w != nullptr && w->hasFocus();
}

void TWinControl::SetFocus()
{
    if (!CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (QWidget* w = Widget()) {
        if (w->focusPolicy() == Qt::NoFocus)
            w->setFocusPolicy(Qt::ClickFocus);
        w->setFocus(Qt::OtherFocusReason);
    }
}

void TWinControl::PaintTo(TCanvas* Canvas, int X, int Y)
{
    QWidget* w = Widget();
    if (w == nullptr || Canvas == nullptr || Canvas->GetBits() == nullptr)
        return;
    if (w->parentWidget() == nullptr) {
        w->ensurePolished();
    }
    const QImage img = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const TPoint origin = Canvas->GetOrigin();
    const TRect clip = Canvas->GetClipRect();
    for (int y = 0; y < img.height(); ++y) {
        const int ly = Y + y;
        if (ly < clip.Top || ly >= clip.Bottom)
            continue;
        const auto* row = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
        std::uint32_t* dest = Canvas->GetBits() + static_cast<long>(ly + origin.Y) * Canvas->GetRasterStride();
        for (int x = 0; x < img.width(); ++x) {
            const int lx = X + x;
            if (lx < clip.Left || lx >= clip.Right)
                continue;
            dest[lx + origin.X] = row[x] | 0xFF000000u;
        }
    }
}

void TWinControl::SaveToPng(const UnicodeString& FileName)
{
    TBitmap bitmap(GetWidth(), GetHeight());
    PaintTo(bitmap.Canvas, 0, 0);
    bitmap.SaveToFile(FileName);
}

static TShiftState KeyShiftState()
{
    return QtControls::ShiftState(g_modifiers, Qt::NoButton);
}

void TWinControl::Dispatch(void* Message)
{
    TMessage& m = *static_cast<TMessage*>(Message);
    const auto life = LifeToken();
    switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        // A handler that clears the key swallows it.
        Word key = Word(m.WParam);
        if (m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN)
            KeyDown(key, KeyShiftState());
        else
            KeyUp(key, KeyShiftState());
        if (life.expired())
            return;
        m.WParam = key;
        if (key == 0)
            return;
        break;
    }
    case WM_CHAR: {
        Char key = Char(m.WParam);
        KeyPress(key);
        if (life.expired())
            return;
        m.WParam = WPARAM(key);
        if (key == 0)
            return;
        break;
    }
    default:
        break;
    }
    TControl::Dispatch(Message);
    if (life.expired())
        return;
    if (m.Msg == WM_SETFOCUS)
        DoEnter();
    else if (m.Msg == WM_KILLFOCUS)
        DoExit();
}

void TWinControl::DefaultHandler(void* Message)
{
    if (QtControls::IsToolkitMessage(Message))
        QtControls::MarkPassed(Message);
    else
        DoDefault(*static_cast<TMessage*>(Message));
}

void TWinControl::DoDefault(TMessage&) {}

void TWinControl::KeyDown(Word& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(Char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

// ---------------------------------------------------------------------------------------------
// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), Canvas(new TCanvas)
{
    // Taken to paint its whole area, so that Repaint can draw it straight onto the surface; a
    // control that leaves parts of its area unpainted (a transparent label) drops csOpaque.
    SetControlStyle(GetControlStyle() + TControlStyle{csReplicatable, csOpaque});
}

TGraphicControl::~TGraphicControl()
{
    FControlDestroying = true;
    if (GetParent() != nullptr)
        GetParent()->RemoveControl(this);
    delete Canvas;
}

void TGraphicControl::Paint() {}

void TGraphicControl::AttachCanvas()
{
    TWinControl* parent = GetParent();
    if (parent == nullptr || !ImplOf(parent).Surface) {
        Canvas->Detach();
        Canvas->OnPainted = nullptr;
        return;
    }
    // A parent without area has no raster; asking it for one would come back here.
    if (parent->GetWidth() <= 0 || parent->GetHeight() <= 0) {
        Canvas->Detach();
        Canvas->OnPainted = nullptr;
        return;
    }
    auto& d = ImplOf(parent);
    if (d.Raster.isNull() || d.Raster.width() != parent->GetWidth() ||
        d.Raster.height() != parent->GetHeight()) {
        EnsureRaster(parent);  // attaches every graphic child, this one included
        if (d.Raster.isNull())
            Canvas->Detach();
        return;
    }
    Canvas->Attach(reinterpret_cast<std::uint32_t*>(d.Raster.bits()), d.Raster.width(),
                   d.Raster.height(), static_cast<int>(d.Raster.bytesPerLine() / 4));
    Canvas->SetOrigin(GetLeft(), GetTop());
    Canvas->SetClipRect(TRect(0, 0, GetWidth(), GetHeight()));
    TWinControlImpl* impl = &d;
    Canvas->OnPainted = [impl](const TRect& R) {
        if (!impl->Rendering && impl->Widget)
            impl->Widget->update(ToQRect(R));
    };
}

void TGraphicControl::Repaint()
{
    TWinControl* parent = GetParent();
    if (parent == nullptr || !GetVisible() || !ImplOf(parent).Surface ||
        !GetControlStyle().Contains(csOpaque)) {
        TControl::Repaint();
        return;
    }
    AttachCanvas();
    auto& d = ImplOf(parent);
    if (d.Raster.isNull())
        return;
    const QRect area = ToQRect(GetBoundsRect()) & QRect(0, 0, d.Raster.width(), d.Raster.height());
    if (area.isEmpty())
        return;
    // This control and the graphic controls above it, clipped to this control's bounds.
    std::vector<TGraphicControl*> layers;
    bool above = false;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        above = above || c == this;
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (above && g != nullptr && g->GetVisible() && ToQRect(g->GetBoundsRect()).intersects(area))
            layers.push_back(g);
    }
    const auto parentLife = parent->LifeToken();
    for (TGraphicControl* g : layers) {
        if (parentLife.expired() || g->GetParent() != parent)
            return;
        const QRect bounds = ToQRect(g->GetBoundsRect());
        g->AttachCanvas();
        g->Canvas->SetClipRect(ToTRect((bounds & area).translated(-bounds.topLeft())));
        const auto life = g->LifeToken();
        g->Paint();
        if (!life.expired() && g->GetParent() == parent)
            g->AttachCanvas();
    }
    if (!parentLife.expired() && !d.Rendering && d.Widget)
        d.Widget->update(area);
}

void TGraphicControl::BoundsChanged(bool, bool)
{
    AttachCanvas();
    Invalidate();
}

void TGraphicControl::ParentChanged()
{
    AttachCanvas();
}

// ---------------------------------------------------------------------------------------------
// TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), Canvas(SurfaceCanvas())
{
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::Paint() {}

void TCustomControl::PaintWindow(TCanvas*)
{
    Paint();
}

// ---------------------------------------------------------------------------------------------

TWinControl* FindFocusedControl()
{
    QWidget* w = QApplication::focusWidget();
    while (w != nullptr) {
        if (TWinControl* c = QtControls::ControlOf(w))
            return c;
        w = w->parentWidget();
    }
    return nullptr;
}
