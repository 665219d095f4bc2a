// Forms and the application: showing, closing and releasing forms, modal results and the
// modal loop, the active control, the application's message loop and the general error display.
// The toolkit's part is in platform/qt/QtForms.cpp.
#include "platform/Forms.h"
#include "platform/ControlsPrivate.h"
#include "platform/FormsPrivate.h"

TApplication* Application = new TApplication(nullptr);

// ---------------------------------------------------------------------------------------------
// TForm

TForm::~TForm()
{
    FControlDestroying = true;
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            EventPath::ReportException(nullptr);
        }
    }
}

void TForm::PlaceOnShow()
{
    int left = GetLeft(), top = GetTop();
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter: {
        TRect area;
        if (Toolkit::ScreenWorkArea(area)) {
            left = area.Left + (area.Width() - GetWidth()) / 2;
            top = area.Top + (area.Height() - GetHeight()) / 2;
        }
        break;
    }
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
        Toolkit::MoveWindow(this, left, top);
    }
}

void TForm::Show()
{
    SetVisible(true);
    Toolkit::ActivateWindow(this);
}

void TForm::SetPopupParent(TForm* Value)
{
    if (Value == this)
        Value = nullptr;
    FPopupParent = Value;
    FPopupParentAlive = TAliveCheck(Value);
    if (GetVisible())
        Toolkit::KeepInFront(this, GetPopupParent());
}

void TForm::Hide()
{
    SetVisible(false);
}

void TForm::SetVisible(bool Value)
{
    if (GetVisible() == Value)
        return;
    const TAliveCheck alive(this);
    if (Value) {
        if (!FShownOnce) {
            FShownOnce = true;
            PlaceOnShow();
        }
        DoShow();
        if (!alive)
            return;
        if (GetPopupParent() != nullptr)
            Toolkit::KeepInFront(this, GetPopupParent());
        TControl::SetVisible(true);
        if (!alive)
            return;
        Toolkit::NameForScreenReaders(this);
        // The active control, or else the first in tab order, gets the focus.
        TWinControl* first = (FActiveControl != nullptr && FActiveControlAlive &&
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
    const TAliveCheck alive(this);
    if (!CloseQuery() || !alive)
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (!alive || action == caNone)
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
    TForm* self = this;
    Toolkit::Post([self, alive = TAliveCheck(this)] {
        if (alive)
            delete self;
    });
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
    return FActiveControlAlive ? FActiveControl : nullptr;
}

void TForm::SetActiveControl(TWinControl* Value)
{
    FActiveControl = Value;
    FActiveControlAlive = TAliveCheck(Value);
    if (Value != nullptr && GetVisible() && Value->CanFocus())
        Value->SetFocus();
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
// Modal forms: a nested event loop while the form is the application's modal window.

int TForm::ShowModal()
{
    if (FModal || GetVisible())
        throw EInvalidOperation("Cannot make a visible window modal");
    const TAliveCheck alive(this);
    Toolkit::TEventLoop loop;
    FModalResult = mrNone;
    FModal = true;
    FEndModal = [&loop] { loop.Quit(); };
    Toolkit::SetWindowModal(this, true);
    // Whatever way the loop ends, the form stops being modal.
    struct TRestore {
        TForm* Form;
        const TAliveCheck& Alive;
        ~TRestore()
        {
            if (!Alive)
                return;
            Form->FModal = false;
            Form->FEndModal = nullptr;
            Toolkit::HideWindow(Form);
            Toolkit::SetWindowModal(Form, false);
        }
    } restore{this, alive};

    // The application ending while the form is shown cancels it. (An application that was
    // already told to end may still ask a last question.)
    const bool terminatedBefore = Application->GetTerminated();
    auto terminated = [terminatedBefore] { return !terminatedBefore && Application->GetTerminated(); };
    Show();
    while (alive) {
        if (FModalResult == mrNone && !terminated())
            loop.Run();
        if (!alive)
            break;
        if (terminated())
            FModalResult = mrCancel;
        if (FModalResult == mrNone)
            continue;
        // The form may refuse to close (OnCloseQuery, or OnClose with caNone): it stays open.
        TCloseAction action = caNone;
        if (CloseQuery() && alive) {
            action = caHide;
            DoClose(action);
        }
        if (!alive)
            break;
        if (action == caNone && !terminated()) {
            FModalResult = mrNone;
            continue;
        }
        const int result = FModalResult;
        Hide();
        if (action == caFree)
            Release();
        return result;
    }
    return mrCancel;  // the form was destroyed while it was shown
}

// ---------------------------------------------------------------------------------------------
// TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FToolkit(new TToolkit) {}

TApplication::~TApplication() = default;

void TApplication::Run()
{
    if (FMainForm != nullptr && FShowMainForm && !FTerminated) {
        try {
            FMainForm->Show();
        } catch (...) {
            HandleException(this);
        }
    }
    if (!FTerminated && Toolkit::HaveApplication()) {
        FRunning = true;
        Toolkit::RunMainLoop();
        FRunning = false;
    }
    // Shut-down: the forms go, with their controls.
    DestroyApplicationForms();
}

void TApplication::ProcessMessages()
{
    Toolkit::ProcessEvents();
}

void TApplication::Terminate()
{
    FTerminated = true;
    // Only a running loop is told to end: the toolkit's quit flag, once raised outside its main
    // loop, would end every later modal loop (message boxes, modal forms) at once.
    if (FRunning && Toolkit::HaveApplication())
        Toolkit::ExitMainLoop();
}

void TApplication::HandleException(TObject* Sender)
{
    std::exception_ptr ep = std::current_exception();
    if (!ep)
        return;
    try {
        std::rethrow_exception(ep);
    } catch (EAbort&) {
        // The silent exception: nothing is shown.
    } catch (Exception& e) {
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
    Toolkit::ShowErrorBox(FTitle, msg);
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
