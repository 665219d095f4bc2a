// Windowed controls on Qt: the widget behind a control, the registry of widgets, the widgets in
// use, the conversions between the platform's values and Qt's, and the toolkit services that
// the platform asks for (cursor, screen position, posted calls).
#include "platform/qt/QtControls.h"

#include "platform/Forms.h"
#include "platform/qt/QtAccess.h"

#include <QApplication>
#include <QHash>
#include <QTimer>

#include <vector>

namespace {

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

// Creates the toolkit application when a control is made before TApplication::Initialize.
void EnsureGuiApplication()
{
    if (QApplication::instance() == nullptr)
        Application->Initialize();
}

constexpr void (*MakeSurface)(TWinControlImpl&) = QtControls::MakeWidget<TSurfaceWidget>;

}  // namespace

bool QtControls::InUse(const QObject* W)
{
    for (const QObject* b : BusyList())
        for (const QObject* o = b; o != nullptr; o = o->parent())
            if (o == W)
                return true;
    return false;
}

QtControls::TBusyScope::TBusyScope(const QObject* Object)
{
    BusyList().push_back(Object);
}

QtControls::TBusyScope::~TBusyScope()
{
    BusyList().pop_back();
}

TWinControlImpl& QtControls::ImplOf(const TWinControl* C)
{
    return *TEventPathAccess::Impl(C);
}

QWidget* QtControls::WidgetOf(const TWinControl* C)
{
    return C != nullptr ? TEventPathAccess::Impl(C)->Widget.data() : nullptr;
}

QWidget* WidgetOf(const TWinControl* Control)
{
    return QtControls::WidgetOf(Control);
}

TWinControl* QtControls::ControlOf(const QObject* Widget)
{
    return Registry().value(Widget, nullptr);
}

void QtControls::RegisterWidget(QWidget* Widget, TWinControl* Control)
{
    Registry().insert(Widget, Control);
    InstallEventPath(Widget);
}

void QtControls::UnregisterWidget(QWidget* Widget)
{
    Registry().remove(Widget);
    RemoveEventPath(Widget);
}

// ---------------------------------------------------------------------------------------------
// Conversions

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

QRect QtControls::ToQRect(const TRect& R)
{
    return QRect(R.Left, R.Top, R.Width(), R.Height());
}

TRect QtControls::ToTRect(const QRect& R)
{
    return TRect(R.left(), R.top(), R.left() + R.width(), R.top() + R.height());
}

QString QtControls::ToQ(const UnicodeString& S)
{
    return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size()));
}

UnicodeString QtControls::FromQ(const QString& S)
{
    return S.toUtf8().toStdString();
}

// ---------------------------------------------------------------------------------------------
// What the platform asks of the toolkit

TPoint Toolkit::CursorPos()
{
    const QPoint p = QCursor::pos();
    return TPoint(p.x(), p.y());
}

void Toolkit::SetOverrideCursor(TCursor Cursor)
{
    QApplication::setOverrideCursor(QtControls::ToQtCursor(Cursor));
}

void Toolkit::ChangeOverrideCursor(TCursor Cursor)
{
    QApplication::changeOverrideCursor(QtControls::ToQtCursor(Cursor));
}

void Toolkit::RestoreOverrideCursor()
{
    QApplication::restoreOverrideCursor();
}

TWinControl* Toolkit::WinControlAt(const TPoint& Screen, TPoint& Local)
{
    const QPoint global(Screen.X, Screen.Y);
    QWidget* w = QApplication::widgetAt(global);
    TWinControl* c = nullptr;
    while (w != nullptr && (c = QtControls::ControlOf(w)) == nullptr)
        w = w->parentWidget();
    if (c == nullptr)
        return nullptr;
    const QPoint local = QtControls::WidgetOf(c)->mapFromGlobal(global);
    Local = TPoint(local.x(), local.y());
    return c;
}

TPoint Toolkit::ScreenOrigin(const TControl* Control)
{
    // A graphic control's place is on the widget of its nearest windowed parent.
    QPoint offset;
    const TControl* c = Control;
    while (c != nullptr && dynamic_cast<const TWinControl*>(c) == nullptr) {
        offset += QPoint(c->GetLeft(), c->GetTop());
        c = c->GetParent();
    }
    QWidget* w = c != nullptr ? QtControls::WidgetOf(static_cast<const TWinControl*>(c)) : nullptr;
    const QPoint p = w != nullptr ? w->mapToGlobal(offset) : offset;
    return TPoint(p.x(), p.y());
}

void Toolkit::Post(std::function<void()> Call)
{
    QTimer::singleShot(0, QApplication::instance(), std::move(Call));
}

// ---------------------------------------------------------------------------------------------
// TWinControl: the widget

TWinControl::TWinControl(TComponent* AOwner) : TWinControl(AOwner, MakeSurface) {}

TWinControl::TWinControl(TComponent* AOwner, TWidgetMaker MakeWidget)
    : TControl(AOwner), FImpl(std::make_unique<TWinControlImpl>())
{
    EnsureGuiApplication();
    auto& d = *FImpl;
    d.Control = this;
    d.Guard = std::make_unique<QObject>();
    MakeWidget(d);
    QWidget* widget = d.Widget.data();
    if (MakeWidget == MakeSurface) {
        d.Surface = true;
        d.Canvas = std::make_unique<TCanvas>();
        TWinControlImpl* impl = FImpl.get();
        d.Canvas->OnPainted = [impl](const TRect& R) {
            if (!impl->Rendering && impl->Widget)
                impl->Widget->update(QtControls::ToQRect(R));
        };
        SetControlStyle(GetControlStyle() + TControlStyle{csAcceptsControls, csOpaque});
        widget->setFocusPolicy(Qt::NoFocus);
    }
    widget->setObjectName(QtControls::ToQ(GetName()));
    widget->setMouseTracking(true);  // mouse moves without a button held reach the control too
    widget->setGeometry(0, 0, 0, 0);
    QtControls::RegisterWidget(widget, this);
}

TWinControl::~TWinControl()
{
    DestroyChildren();
    auto& d = *FImpl;
    d.Guard.reset();
    for (auto it = Registry().begin(); it != Registry().end();) {
        if (it.value() == this) {
            if (auto* w = const_cast<QObject*>(it.key()))
                QtControls::RemoveEventPath(w);
            it = Registry().erase(it);
        } else {
            ++it;
        }
    }
    if (QWidget* w = d.Widget.data()) {
        if (QtControls::InUse(w)) {
            // Its own event or signal is still running: leave it to the event loop.
            w->hide();
            w->deleteLater();
        } else {
            delete w;
        }
    }
}

void TWinControl::NameChanged()
{
    if (QWidget* w = FImpl->Widget.data())
        w->setObjectName(QtControls::ToQ(GetName()));
}

void TWinControl::ParentChanged()
{
    QWidget* w = FImpl->Widget.data();
    if (w == nullptr)
        return;
    QWidget* parentWidget = GetParent() != nullptr ? QtControls::WidgetOf(GetParent()) : nullptr;
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
    QWidget* w = FImpl->Widget.data();
    if (w != nullptr) {
        if (GetParent() != nullptr) {
            if (!Moved && !Resized) {
                // The z-order changed.
                for (int i = 0; i < GetParent()->ControlCount(); ++i)
                    if (auto* sibling = dynamic_cast<TWinControl*>(GetParent()->Controls(i)))
                        if (QtControls::WidgetOf(sibling) != nullptr)
                            QtControls::WidgetOf(sibling)->raise();
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
            QtControls::EnsureRaster(this);
            w->update();
        }
        AlignChildren(nullptr);
    }
}

void TWinControl::VisibleChanged()
{
    if (QWidget* w = FImpl->Widget.data()) {
        if (GetParent() != nullptr || GetVisible() == false)
            w->setVisible(GetVisible());
        else
            w->show();
    }
}

void TWinControl::EnabledChanged()
{
    if (QWidget* w = FImpl->Widget.data())
        w->setEnabled(GetEnabled());
    Invalidate();
}

void TWinControl::FontChanged()
{
    if (QWidget* w = FImpl->Widget.data())
        w->setFont(QtControls::ToQFont(*GetFont()));
    Invalidate();
    for (TControl* c : std::vector<TControl*>(FControls))
        c->ParentFontChanged();
}

void TWinControl::CursorChanged()
{
    if (QWidget* w = FImpl->Widget.data()) {
        if (GetCursor() == crDefault)
            w->unsetCursor();
        else
            w->setCursor(QtControls::ToQtCursor(GetCursor()));
    }
}

void TWinControl::TextChanged()
{
    if (GetParent() == nullptr)
        if (QWidget* w = FImpl->Widget.data())
            w->setWindowTitle(QtControls::ToQ(GetText()));
    Invalidate();
}

bool TWinControl::Focused() const
{
    const QWidget* w = FImpl->Widget.data();
    return w != nullptr && w->hasFocus();
}

void TWinControl::SetFocus()
{
    if (!CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (QWidget* w = FImpl->Widget.data()) {
        if (w->focusPolicy() == Qt::NoFocus)
            w->setFocusPolicy(Qt::ClickFocus);
        w->setFocus(Qt::OtherFocusReason);
    }
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
