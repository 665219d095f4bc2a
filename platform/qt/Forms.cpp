// Forms and the application on Qt.
#include "platform/Forms.h"

#include "platform/qt/QtControls.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPalette>
#include <QScreen>
#include <QTimer>

#include <cstdio>

TApplication* Application = new TApplication(nullptr);

// ---------------------------------------------------------------------------------------------
// TForm

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner)
{
    QWidget* w = Widget();
    w->setWindowFlags(Qt::Window);
    TControl::SetVisible(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    // The form's own widget takes the focus when it holds no focusable control.
    w->setFocusPolicy(Qt::NoFocus);
}

TForm::~TForm()
{
    FControlDestroying = true;
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            QtControls::ReportException(nullptr);
        }
    }
}

void TForm::PlaceOnShow()
{
    QWidget* w = Widget();
    QScreen* screen = QGuiApplication::primaryScreen();
    int left = GetLeft(), top = GetTop();
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
        if (screen != nullptr) {
            const QRect area = screen->availableGeometry();
            left = area.left() + (area.width() - GetWidth()) / 2;
            top = area.top() + (area.height() - GetHeight()) / 2;
        }
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TForm* center = Application->GetMainForm();
        if (FPosition == poOwnerFormCenter)
            if (auto* owner = dynamic_cast<TForm*>(GetOwner()))
                center = owner;
        if (center != nullptr && center != this) {
            left = center->GetLeft() + (center->GetWidth() - GetWidth()) / 2;
            top = center->GetTop() + (center->GetHeight() - GetHeight()) / 2;
        }
        break;
    }
    default:
        break;
    }
    if (FPosition != poDefault && FPosition != poDefaultPosOnly) {
        SetBounds(left, top, GetWidth(), GetHeight());
        w->move(left, top);
    }
}

void TForm::Show()
{
    SetVisible(true);
    if (QWidget* w = Widget()) {
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            w->raise();
        w->activateWindow();
    }
}

void TForm::Hide()
{
    SetVisible(false);
}

void TForm::SetVisible(bool Value)
{
    if (GetVisible() == Value)
        return;
    const auto life = LifeToken();
    if (Value) {
        if (!FShownOnce) {
            FShownOnce = true;
            PlaceOnShow();
        }
        DoShow();
        if (life.expired())
            return;
        TControl::SetVisible(true);
        if (life.expired())
            return;
        // The active control, or else the first in tab order, gets the focus.
        TWinControl* first = (FActiveControl != nullptr && !FActiveControlLife.expired() &&
                              FActiveControl->CanFocus())
                                 ? FActiveControl
                                 : FindNextControl(nullptr, true, true, false);
        if (first != nullptr)
            first->SetFocus();
    } else {
        TControl::SetVisible(false);
        DoHide();
    }
}

void TForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

bool TForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close()
{
    if (FModal) {
        SetModalResult(mrCancel);  // the modal loop closes the form
        return;
    }
    const auto life = LifeToken();
    if (!CloseQuery() || life.expired())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (life.expired() || action == caNone)
        return;
    if (Application->GetMainForm() == this) {
        Hide();
        Application->Terminate();
    } else if (action == caHide) {
        Hide();
    } else if (action == caMinimize) {
        SetWindowState(wsMinimized);
    } else {
        Release();
    }
}

void TForm::Release()
{
    Hide();
    const auto life = LifeToken();
    TForm* self = this;
    QTimer::singleShot(0, QApplication::instance(), [self, life] {
        if (!life.expired())
            delete self;
    });
}

void TForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    QWidget* w = Widget();
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
    QWidget* w = Widget();
    if (w == nullptr)
        return;
    if (FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin || FBorderStyle == bsNone) {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        w->setFixedSize(GetWidth(), GetHeight());
    }
}

void TForm::TextChanged()
{
    Widget()->setWindowTitle(QString::fromStdString(GetText()));
}

void TForm::SetWindowState(TWindowState Value)
{
    FWindowState = Value;
    QWidget* w = Widget();
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

void TForm::SetModalResult(TModalResult Value)
{
    FModalResult = Value;
    if (FModal && Value != mrNone && FEndModal)
        FEndModal();
}

TWinControl* TForm::GetActiveControl() const
{
    TWinControl* focused = FindFocusedControl();
    if (focused != nullptr && ContainsControl(focused))
        return focused;
    return FActiveControlLife.expired() ? nullptr : FActiveControl;
}

void TForm::SetActiveControl(TWinControl* Value)
{
    FActiveControl = Value;
    FActiveControlLife = Value != nullptr ? Value->LifeToken() : std::weak_ptr<void>();
    if (Value != nullptr && GetVisible() && Value->CanFocus())
        Value->SetFocus();
}

bool TForm::Active() const
{
    const QWidget* w = Widget();
    return w != nullptr && w->isActiveWindow();
}

void TForm::Dispatch(void* Message)
{
    TMessage& m = *static_cast<TMessage*>(Message);
    switch (m.Msg) {
    case WM_CLOSE:
        Close();
        return;
    case WM_ACTIVATE:
        if (m.WParam != 0) {
            if (OnActivate)
                OnActivate(this);
        } else if (OnDeactivate) {
            OnDeactivate(this);
        }
        return;
    default:
        TWinControl::Dispatch(Message);
    }
}

TForm* GetParentForm(const TControl* Control)
{
    return dynamic_cast<TForm*>(GetTopLevelControl(Control));
}

// ---------------------------------------------------------------------------------------------
// TApplication

struct TApplication::TToolkit {
    bool Initialized = false;
};

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FToolkit(new TToolkit) {}

TApplication::~TApplication() = default;

namespace {

// The desktop palette into the system colours.
void ReadPalette()
{
    const QPalette p = QApplication::palette();
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

}  // namespace

void TApplication::Initialize()
{
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char arg0[] = "corvane";
        static char* argv[] = {arg0, nullptr};
        new QApplication(argc, argv);  // lives until the process ends
    }
    if (FToolkit->Initialized)
        return;
    FToolkit->Initialized = true;
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setStyle(QStringLiteral("Fusion"));
    RegisterPlatformFonts();
    QApplication::setFont(QtControls::ToQFont(TFont()));
    ReadPalette();
}

void TApplication::Run()
{
    if (FMainForm != nullptr && FShowMainForm && !FTerminated) {
        try {
            FMainForm->Show();
        } catch (...) {
            HandleException(this);
        }
    }
    if (!FTerminated && QApplication::instance() != nullptr) {
        FRunning = true;
        QApplication::exec();
        FRunning = false;
    }
    // Shut-down: the forms go, with their controls.
    DestroyApplicationForms();
}

void TApplication::ProcessMessages()
{
    QApplication::processEvents();
}

void TApplication::Terminate()
{
    FTerminated = true;
    // Only a running loop is told to end: the toolkit's quit flag, once raised outside its main
    // loop, would end every later modal loop (message boxes, modal forms) at once.
    if (FRunning && QApplication::instance() != nullptr)
        QApplication::exit(0);
}

void TApplication::HandleException(TObject* Sender)
{
    std::exception_ptr ep = std::current_exception();
    if (!ep)
        return;
    try {
        std::rethrow_exception(ep);
    } catch (Exception& e) {
        if (UnicodeString(e.ClassName()) == "EAbort")
            return;
        if (OnException)
            OnException(Sender, &e);
        else
            ShowException(e);
    } catch (std::exception& e) {
        Exception wrapped(e.what());
        if (OnException)
            OnException(Sender, &wrapped);
        else
            ShowException(wrapped);
    } catch (...) {
        Exception wrapped("Unknown exception");
        if (OnException)
            OnException(Sender, &wrapped);
        else
            ShowException(wrapped);
    }
}

void TApplication::ShowException(Exception* E)
{
    if (E != nullptr)
        ShowException(*E);
}

void TApplication::ShowException(const Exception& E)
{
    UnicodeString msg = E.Message();
    // As the original: a message that does not end in punctuation gets a full stop.
    if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.')
        msg += '.';
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        std::fprintf(stderr, "%s\n", msg.c_str());
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(FTitle), QString::fromStdString(msg),
                    QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FMainForm)
        FMainForm = nullptr;
    TComponent::Notification(AComponent, Operation);
}

void DestroyApplicationForms()
{
    if (Application == nullptr)
        return;
    while (Application->ComponentCount() > 0) {
        TComponent* c = Application->Components(Application->ComponentCount() - 1);
        delete c;
    }
}
