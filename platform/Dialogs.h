// Message boxes and the open and save file dialogs. Each is a real modal window: the
// caller waits until the user has answered it.
#pragma once

#include "platform/Classes.h"
#include "platform/UITypes.h"

#include <memory>
#include <vector>

// ---- Message boxes -------------------------------------------------------------------

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn {
    mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore,
    mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose
};
using TMsgDlgButtons = Set<TMsgDlgBtn, mbYes, mbClose>;

inline constexpr TMsgDlgButtons mbYesNo{mbYes, mbNo};
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline constexpr TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

// Shows Msg in a modal box with the icon and caption of DlgType ("Warning", "Error",
// "Information", "Confirm"; the application's title for mtCustom) and the buttons asked for,
// and returns the modal result of the button chosen (mrYes, mrNo, mrOk, ...).
// Enter chooses the default button: mbOK if present, else mbYes, else mbRetry, unless a
// DefaultButton of the set is named. Escape and the close box choose the cancel button
// (mbCancel, else mbNo, else mbOK); a box without one returns mrCancel when closed.
// There is no help system: mbHelp is not shown and HelpCtx is ignored.
int MessageDlg(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
int MessageDlg(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
               TMsgDlgBtn DefaultButton);

// A box with the message and an OK button, captioned with the application's title.
void ShowMessage(const UnicodeString& Msg);

// ---- File dialogs ----------------------------------------------------------------------

enum TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
    ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
    ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
    ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing,
    ofDontAddToRecent, ofForceShowHidden
};
using TOpenOptions = Set<TOpenOption, ofReadOnly, ofForceShowHidden>;

class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    // Shows the dialog modally; true when the user confirmed it.
    virtual bool Execute() = 0;

    int GetHelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }

    TNotifyEvent OnShow;   // the dialog has opened
    TNotifyEvent OnClose;  // the dialog has closed, before Execute returns

private:
    int FHelpContext = 0;
};

class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;

    // Opens the dialog on FileName's folder (or InitialDir, or the folder of the last
    // choice) with FileName's name proposed. On OK, FileName holds the full path of the
    // chosen file (Files all of them, with ofAllowMultiSelect) and Execute returns true;
    // on Cancel nothing changes and it returns false.
    bool Execute() override;

    const UnicodeString& GetFileName() const { return FFileName; }
    void SetFileName(const UnicodeString& Value) { FFileName = Value; }
    // Pairs of description and patterns separated by '|', patterns by ';':
    // "ini files|*.ini" or "Text files|*.txt;*.text|All files|*".
    const UnicodeString& GetFilter() const { return FFilter; }
    void SetFilter(const UnicodeString& Value) { FFilter = Value; }
    // The pair shown first, counted from 1; updated to the user's choice.
    int GetFilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    // Added (after a dot) to a name typed without an extension; empty: nothing added.
    const UnicodeString& GetDefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const UnicodeString& Value);
    const UnicodeString& GetInitialDir() const { return FInitialDir; }
    void SetInitialDir(const UnicodeString& Value) { FInitialDir = Value; }
    // The window's caption; empty: "Open" or "Save As".
    const UnicodeString& GetTitle() const { return FTitle; }
    void SetTitle(const UnicodeString& Value) { FTitle = Value; }
    TOpenOptions GetOptions() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }
    TStrings* GetFiles() const { return FFiles.get(); }

    // The parsed Filter: one (description, patterns) pair per entry.
    struct TFilterEntry {
        UnicodeString Description;
        UnicodeString Patterns;  // separated by ';'
    };
    static std::vector<TFilterEntry> ParseFilter(const UnicodeString& Filter);

protected:
    virtual bool IsSaveDialog() const { return false; }

private:
    UnicodeString FFileName;
    UnicodeString FFilter;
    int FFilterIndex = 1;
    UnicodeString FDefaultExt;
    UnicodeString FInitialDir;
    UnicodeString FTitle;
    TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
    std::unique_ptr<TStringList> FFiles;
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;

protected:
    bool IsSaveDialog() const override { return true; }
};
