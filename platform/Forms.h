// Forms (top-level windows) and the application object.
#pragma once

#include "platform/Controls.h"
#include "platform/UITypes.h"

#include <functional>
#include <new>

enum TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter
};
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// A top-level window. Its Width and Height are those of the client area (the window manager's
// frame is not counted), so ClientWidth = Width and ClientHeight = Height.
class TForm : public TWinControl {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    void Show();
    void Hide();
    // Asks OnCloseQuery, then OnClose; hides the window (or frees it, caFree). Closing the main
    // form ends the application.
    void Close();
    bool CloseQuery();
    // Destroys the form once the current event has been handled.
    void Release();

    void SetVisible(bool Value) override;

    TPosition GetPosition() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TWindowState GetWindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    TModalResult GetModalResult() const { return FModalResult; }
    virtual void SetModalResult(TModalResult Value);
    // Shows the form as a modal window: other windows take no input, and the caller waits until
    // ModalResult is set (a button with a ModalResult, Enter or Escape on the default or cancel
    // button, the close box: mrCancel). Then the form hides and ShowModal returns ModalResult.
    int ShowModal();
    bool Modal() const { return FModal; }
    // The control that has (or gets, when the form is activated) the focus.
    TWinControl* GetActiveControl() const;
    void SetActiveControl(TWinControl* Value);
    bool GetKeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    bool Active() const;
    // The form this one stays above while both are shown (the window manager keeps it in front of
    // that window and shows no task-bar entry of its own), or null. A destroyed popup parent
    // counts as none.
    TForm* GetPopupParent() const { return FPopupParentAlive ? FPopupParent : nullptr; }
    void SetPopupParent(TForm* Value);

    void Dispatch(void* Message) override;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnDestroy;

protected:
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    void BoundsChanged(bool Moved, bool Resized) override;
    void ConstraintsChanged() override;
    void TextChanged() override;
    // KeyPreview: the form sees the keys of its controls first.
    bool KeyPreview() const override { return FKeyPreview; }

private:
    void PlaceOnShow();

    TPosition FPosition = poDesigned;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TWindowState FWindowState = wsNormal;
    TModalResult FModalResult = mrNone;
    bool FModal = false;
    std::function<void()> FEndModal;  // ends the modal loop
    bool FKeyPreview = false;
    bool FShownOnce = false;
    TWinControl* FActiveControl = nullptr;
    TAliveCheck FActiveControlAlive;
    TForm* FPopupParent = nullptr;
    TAliveCheck FPopupParentAlive;
};

// The form that holds Control (the top-level window), or null.
TForm* GetParentForm(const TControl* Control);

using TExceptionEvent = std::function<void(TObject* Sender, Exception* E)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // Creates the toolkit application when none exists, registers the program's fonts and
    // takes the desktop palette into the system colours.
    void Initialize();
    // Destroys the application's forms, then the toolkit application if Initialize made it (one
    // the program made itself stays), giving back what the toolkit holds (fonts and the like)
    // before the program ends. Initialize may be called again afterwards.
    void Finalize();
    bool GetMainFormOnTaskBar() const { return FMainFormOnTaskBar; }
    void SetMainFormOnTaskBar(bool Value) { FMainFormOnTaskBar = Value; }
    bool GetShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool Value) { FShowMainForm = Value; }
    const UnicodeString& GetTitle() const { return FTitle; }
    void SetTitle(const UnicodeString& Value) { FTitle = Value; }
    TForm* GetMainForm() const { return FMainForm; }

    // Creates a form owned by the application; Ref is set before the form's constructor runs,
    // so the constructor may already use it. The first form created is the main form.
    template <class T>
    void CreateForm(T*& Ref)
    {
        void* memory = ::operator new(sizeof(T));
        Ref = static_cast<T*>(memory);
        T* form = nullptr;
        try {
            form = new (memory) T(this);
        } catch (...) {
            Ref = nullptr;
            ::operator delete(memory);
            throw;
        }
        Ref = form;
        if (FMainForm == nullptr)
            if (auto* f = dynamic_cast<TForm*>(form))
                FMainForm = f;
    }

    // Shows the main form and runs the message loop until the main form closes or Terminate.
    void Run();
    void ProcessMessages();
    // Ends the message loop.
    void Terminate();
    bool GetTerminated() const { return FTerminated; }

    // The general error display: the exception being handled goes to OnException when set,
    // otherwise to ShowException. Call it from a catch block.
    void HandleException(TObject* Sender);
    // An error box with the exception's message (error icon, OK); the program goes on.
    void ShowException(const Exception& E);
    void ShowException(Exception* E);

    TExceptionEvent OnException;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TForm* FMainForm = nullptr;
    bool FMainFormOnTaskBar = false;
    bool FShowMainForm = true;
    bool FTerminated = false;
    bool FRunning = false;
    UnicodeString FTitle = "Corvane";
    struct TToolkit;
    std::unique_ptr<TToolkit> FToolkit;
};

extern TApplication* Application;

// Destroys the application's forms (test programs call it before their toolkit application
// goes away); the application object stays usable.
void DestroyApplicationForms();
