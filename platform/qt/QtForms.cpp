// Forms and the application on Qt: the window's widget, its frame and state, the toolkit
// application, its palette, the event loops and the error box.
#include "platform/Forms.h"
#include "platform/FormsPrivate.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtMessageBox.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPalette>
#include <QProxyStyle>
#include <QScreen>
#include <QWindow>

#include <cstdio>

using QtControls::WidgetOf;

// ---------------------------------------------------------------------------------------------
// TForm

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner)
{
    QWidget* w = WidgetOf(this);
    w->setWindowFlags(Qt::Window);
    TControl::SetVisible(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    // The form's own widget takes the focus when it holds no focusable control.
    w->setFocusPolicy(Qt::NoFocus);
}

void TForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    QWidget* w = WidgetOf(this);
    const bool visible = w->isVisible();
    Qt::WindowFlags flags = Qt::Window;
    switch (Value) {
    case bsNone:
        flags |= Qt::FramelessWindowHint;
        break;
    case bsDialog:
        flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        break;
    case bsToolWindow:
    case bsSizeToolWin:
        flags = Qt::Tool;
        break;
    default:
        break;
    }
    w->setWindowFlags(flags);
    BoundsChanged(false, true);
    if (visible)
        w->show();
}

void TForm::BoundsChanged(bool Moved, bool Resized)
{
    TWinControl::BoundsChanged(Moved, Resized);
    QWidget* w = WidgetOf(this);
    if (w == nullptr)
        return;
    if (FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin || FBorderStyle == bsNone) {
        const TSizeConstraints& c = *Constraints;
        w->setMinimumSize(c.GetMinWidth(), c.GetMinHeight());
        w->setMaximumSize(c.GetMaxWidth() > 0 ? c.GetMaxWidth() : QWIDGETSIZE_MAX,
                          c.GetMaxHeight() > 0 ? c.GetMaxHeight() : QWIDGETSIZE_MAX);
    } else {
        w->setFixedSize(GetWidth(), GetHeight());
    }
}

void TForm::ConstraintsChanged()
{
    TControl::ConstraintsChanged();
    BoundsChanged(false, false);  // the window's own limits
}

void TForm::TextChanged()
{
    WidgetOf(this)->setWindowTitle(QtControls::ToQ(GetText()));
}

void TForm::SetWindowState(TWindowState Value)
{
    FWindowState = Value;
    QWidget* w = WidgetOf(this);
    switch (Value) {
    case wsMinimized:
        w->setWindowState(Qt::WindowMinimized);
        break;
    case wsMaximized:
        w->setWindowState(Qt::WindowMaximized);
        break;
    default:
        w->setWindowState(Qt::WindowNoState);
        break;
    }
}

bool TForm::Active() const
{
    const QWidget* w = WidgetOf(this);
    return w != nullptr && w->isActiveWindow();
}

// ---------------------------------------------------------------------------------------------
// TApplication

namespace {

QPalette ReadFrom;  // the palette the system colours were last read from

// The desktop palette into the system colours.
void ReadPalette()
{
    const QPalette p = QApplication::palette();
    ReadFrom = p;
    auto set = [](TColor SysColor, const QColor& c) {
        SetSystemColor(static_cast<int>(SysColor - clSystemColor), RGB(c.red(), c.green(), c.blue()));
    };
    set(clWindow, p.color(QPalette::Active, QPalette::Base));
    set(clWindowText, p.color(QPalette::Active, QPalette::Text));
    set(clBtnFace, p.color(QPalette::Active, QPalette::Button));
    set(clBtnText, p.color(QPalette::Active, QPalette::ButtonText));
    set(clHighlight, p.color(QPalette::Active, QPalette::Highlight));
    set(clHighlightText, p.color(QPalette::Active, QPalette::HighlightedText));
    set(clGrayText, p.color(QPalette::Disabled, QPalette::Text));
    set(clInfoBk, p.color(QPalette::Active, QPalette::ToolTipBase));
    set(clInfoText, p.color(QPalette::Active, QPalette::ToolTipText));
    set(clMenu, p.color(QPalette::Active, QPalette::Window));
    set(clMenuText, p.color(QPalette::Active, QPalette::WindowText));
}

// Qt notes on standard error that XDG_RUNTIME_DIR is unset wherever no desktop session set it
// (a headless run, a service, a container) and then uses a folder of its own: no fault of the
// program, and noise in the output of a command-line run. Every other message passes on.
QtMessageHandler PreviousMessageHandler = nullptr;

void FilterMessages(QtMsgType Type, const QMessageLogContext& Context, const QString& Message)
{
    if (Type == QtWarningMsg && Message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (PreviousMessageHandler != nullptr)
        PreviousMessageHandler(Type, Context, Message);
}

// Fusion, except that a line edit shows no caret beside a selection. Qt shows the caret of an
// edit whose text gets selected when the style says so, with or without the focus: every field
// that had the focus once and whose accepted text the program selects later would show one.
class TPlatformStyle : public QProxyStyle {
public:
    TPlatformStyle() : QProxyStyle(QStringLiteral("Fusion")) {}
    int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                  QStyleHintReturn* Return) const override
    {
        if (Hint == QStyle::SH_BlinkCursorWhenTextSelected)
            return 0;
        return QProxyStyle::styleHint(Hint, Option, Widget, Return);
    }
};

void FollowColors(TControl* C)
{
    TEventPathAccess::ColorsChanged(C);
    if (auto* w = dynamic_cast<TWinControl*>(C)) {
        for (int i = 0; i < w->ControlCount(); ++i)
            FollowColors(w->Controls(i));
        w->Invalidate();
    }
}

// A new application palette (the desktop's theme changed, or the program set one): the system
// colours follow it, and every window takes its colours again.
class TPaletteFollower : public QObject {
protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Watched == QCoreApplication::instance() && Event->type() == QEvent::ApplicationPaletteChange &&
            QApplication::palette() != ReadFrom) {
            ReadPalette();
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* c = dynamic_cast<TWinControl*>(QtControls::ControlOf(w)); c != nullptr && c->GetParent() == nullptr)
                    EventPath::Guarded(c, [c] { FollowColors(c); });
        }
        return false;
    }
};

}  // namespace

void TApplication::Initialize()
{
    static const bool filtering = [] {
        PreviousMessageHandler = qInstallMessageHandler(FilterMessages);
        return true;
    }();
    (void)filtering;
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char arg0[] = "corvane";
        static char* argv[] = {arg0, nullptr};
        new QApplication(argc, argv);  // lives until Finalize or the process ends
        FToolkit->CreatedApplication = true;
    }
    if (FToolkit->Initialized)
        return;
    FToolkit->Initialized = true;
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setStyle(new TPlatformStyle);
    RegisterPlatformFonts();
    QApplication::setFont(QtControls::ToQFont(TFont()));
    ReadPalette();
    auto* follower = new TPaletteFollower;
    follower->setParent(QCoreApplication::instance());  // goes with the application
    QCoreApplication::instance()->installEventFilter(follower);
}

void TApplication::Finalize()
{
    DestroyApplicationForms();
    if (!FToolkit->CreatedApplication)
        return;
    delete QApplication::instance();
    FToolkit->CreatedApplication = false;
    FToolkit->Initialized = false;
}

// ---------------------------------------------------------------------------------------------
// What the forms and the application ask of the toolkit

bool Toolkit::ScreenWorkArea(TRect& Area)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return false;
    Area = QtControls::ToTRect(screen->availableGeometry());
    return true;
}

void Toolkit::MoveWindow(TWinControl* Window, int Left, int Top)
{
    WidgetOf(Window)->move(Left, Top);
}

void Toolkit::ActivateWindow(TWinControl* Window)
{
    if (QWidget* w = WidgetOf(Window)) {
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            w->raise();
        w->activateWindow();
    }
}

void Toolkit::KeepInFront(TWinControl* Window, TWinControl* Of)
{
    // A transient window: the window manager keeps it above the other one. The native windows are
    // made here when they do not exist yet; QWindow holds its transient parent weakly.
    QWidget* w = WidgetOf(Window);
    QWidget* of = Of != nullptr ? WidgetOf(Of) : nullptr;
    if (w == nullptr)
        return;
    w->winId();
    QWindow* parent = nullptr;
    if (of != nullptr) {
        of->winId();
        parent = of->windowHandle();
    }
    if (QWindow* window = w->windowHandle())
        window->setTransientParent(parent);
}

void Toolkit::HideWindow(TWinControl* Window)
{
    QWidget* w = WidgetOf(Window);
    if (w->isVisible())
        w->hide();
}

void Toolkit::SetWindowModal(TWinControl* Window, bool Modal)
{
    WidgetOf(Window)->setWindowModality(Modal ? Qt::ApplicationModal : Qt::NonModal);
}

struct Toolkit::TEventLoop::TImpl {
    QEventLoop Loop;
};

Toolkit::TEventLoop::TEventLoop() : FImpl(std::make_unique<TImpl>()) {}

Toolkit::TEventLoop::~TEventLoop() = default;

void Toolkit::TEventLoop::Run()
{
    FImpl->Loop.exec();
}

void Toolkit::TEventLoop::Quit()
{
    FImpl->Loop.quit();
}

bool Toolkit::HaveApplication()
{
    return QApplication::instance() != nullptr;
}

void Toolkit::RunMainLoop()
{
    QApplication::exec();
}

void Toolkit::ExitMainLoop()
{
    QApplication::exit(0);
}

void Toolkit::ProcessEvents()
{
    QApplication::processEvents();
}

void Toolkit::ShowErrorBox(const UnicodeString& Title, const UnicodeString& Message)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        std::fprintf(stderr, "%s\n", Message.c_str());
        return;
    }
    TCentredMessageBox box(QMessageBox::Critical, QtControls::ToQ(Title), QtControls::ToQ(Message),
                           QMessageBox::Ok, DialogParent());
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}
