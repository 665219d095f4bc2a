// Modal forms: a nested event loop while the form is the application's modal window.
#include "platform/Forms.h"

#include <QEventLoop>
#include <QWidget>

int TForm::ShowModal()
{
    if (FModal || GetVisible())
        throw EInvalidOperation("Cannot make a visible window modal");
    QWidget* w = Widget();
    const auto life = LifeToken();
    QEventLoop loop;
    FModalResult = mrNone;
    FModal = true;
    FEndModal = [&loop] { loop.quit(); };
    w->setWindowModality(Qt::ApplicationModal);
    // Whatever way the loop ends, the form stops being modal.
    struct TRestore {
        TForm* Form;
        QWidget* W;
        std::weak_ptr<void> Life;
        ~TRestore()
        {
            if (Life.expired())
                return;
            Form->FModal = false;
            Form->FEndModal = nullptr;
            if (W->isVisible())
                W->hide();
            W->setWindowModality(Qt::NonModal);
        }
    } restore{this, w, life};

    // The application ending while the form is shown cancels it. (An application that was
    // already told to end may still ask a last question.)
    const bool terminatedBefore = Application->GetTerminated();
    auto terminated = [terminatedBefore] { return !terminatedBefore && Application->GetTerminated(); };
    Show();
    while (!life.expired()) {
        if (FModalResult == mrNone && !terminated())
            loop.exec();
        if (life.expired())
            break;
        if (terminated())
            FModalResult = mrCancel;
        if (FModalResult == mrNone)
            continue;
        // The form may refuse to close (OnCloseQuery, or OnClose with caNone): it stays open.
        TCloseAction action = caNone;
        if (CloseQuery() && !life.expired()) {
            action = caHide;
            DoClose(action);
        }
        if (life.expired())
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
