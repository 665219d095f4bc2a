// Message boxes and file dialogs on Qt's own (non-native) dialogs, so that they look and
// behave the same on every desktop.
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtMessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

using QtControls::FromQ;
using QtControls::ToQ;

QString ApplicationTitle()
{
    if (Application != nullptr && !Application->GetTitle().empty())
        return ToQ(Application->GetTitle());
    return QGuiApplication::applicationDisplayName();
}

struct TButtonKind {
    TMsgDlgBtn Btn;
    QMessageBox::StandardButton Standard;  // NoButton: a button of our own
    QMessageBox::ButtonRole Role;          // for buttons of our own
    const char* Text;
    TModalResult Result;
};

// In the order the buttons appear.
constexpr TButtonKind kButtonKinds[] = {
    {mbYes, QMessageBox::Yes, QMessageBox::YesRole, "&Yes", mrYes},
    {mbNo, QMessageBox::No, QMessageBox::NoRole, "&No", mrNo},
    {mbOK, QMessageBox::Ok, QMessageBox::AcceptRole, "OK", mrOk},
    {mbCancel, QMessageBox::Cancel, QMessageBox::RejectRole, "Cancel", mrCancel},
    {mbAbort, QMessageBox::Abort, QMessageBox::RejectRole, "&Abort", mrAbort},
    {mbRetry, QMessageBox::Retry, QMessageBox::AcceptRole, "&Retry", mrRetry},
    {mbIgnore, QMessageBox::Ignore, QMessageBox::AcceptRole, "&Ignore", mrIgnore},
    {mbAll, QMessageBox::NoButton, QMessageBox::YesRole, "&All", mrAll},
    {mbNoToAll, QMessageBox::NoToAll, QMessageBox::NoRole, "N&o to All", mrNoToAll},
    {mbYesToAll, QMessageBox::YesToAll, QMessageBox::YesRole, "Yes to &All", mrYesToAll},
    {mbClose, QMessageBox::Close, QMessageBox::RejectRole, "&Close", mrClose},
};

int RunMessageBox(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                  const TMsgDlgBtn* DefaultButton)
{
    Buttons >> mbHelp;
    if (Buttons.Empty())
        Buttons << mbOK;  // a box must offer a way out

    TCentredMessageBox box(DialogParent());
    box.setTextFormat(Qt::PlainText);  // texts such as "<unnamed>" are not markup
    box.setText(ToQ(Msg));
    switch (DlgType) {
    case mtWarning:
        box.setIcon(QMessageBox::Warning);
        box.setWindowTitle(QStringLiteral("Warning"));
        break;
    case mtError:
        box.setIcon(QMessageBox::Critical);
        box.setWindowTitle(QStringLiteral("Error"));
        break;
    case mtInformation:
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(QStringLiteral("Information"));
        break;
    case mtConfirmation:
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(QStringLiteral("Confirm"));
        break;
    case mtCustom:
        box.setIcon(QMessageBox::NoIcon);
        box.setWindowTitle(ApplicationTitle());
        break;
    }

    QAbstractButton* made[std::size(kButtonKinds)] = {};
    auto buttonOf = [&](TMsgDlgBtn b) -> QAbstractButton* {
        for (std::size_t i = 0; i < std::size(kButtonKinds); ++i)
            if (kButtonKinds[i].Btn == b)
                return made[i];
        return nullptr;
    };
    for (std::size_t i = 0; i < std::size(kButtonKinds); ++i) {
        const TButtonKind& k = kButtonKinds[i];
        if (!Buttons.Contains(k.Btn))
            continue;
        QAbstractButton* button = k.Standard != QMessageBox::NoButton
                                      ? box.addButton(k.Standard)
                                      : box.addButton(QString::fromLatin1(k.Text), k.Role);
        button->setText(QString::fromLatin1(k.Text));
        made[i] = button;
    }

    TMsgDlgBtn def = Buttons.Contains(mbOK) ? mbOK : Buttons.Contains(mbYes) ? mbYes : mbRetry;
    if (DefaultButton != nullptr && Buttons.Contains(*DefaultButton))
        def = *DefaultButton;
    if (QAbstractButton* b = buttonOf(def))
        box.setDefaultButton(qobject_cast<QPushButton*>(b));

    // Escape and the close box choose the cancel button; without one they close the box
    // through an invisible button that answers mrCancel.
    QAbstractButton* cancel = buttonOf(Buttons.Contains(mbCancel) ? mbCancel
                                       : Buttons.Contains(mbNo)   ? mbNo
                                                                  : mbOK);
    if (cancel == nullptr) {
        cancel = box.addButton(QString(), QMessageBox::RejectRole);
        cancel->setVisible(false);
    }
    box.setEscapeButton(cancel);

    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (std::size_t i = 0; i < std::size(kButtonKinds); ++i)
        if (clicked != nullptr && made[i] == clicked)
            return kButtonKinds[i].Result;
    return mrCancel;
}

// ---- File dialogs ----

QString LastFolder;  // the folder of the last confirmed file dialog, as the desktop keeps it

bool IsReadOnly(const QFileInfo& info)
{
    // Missing write permission for the owner counts too, so that a read-only file stays
    // refused for a user (root) whom the system would let write anyway.
    return !info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner);
}

class TQtFileDialog final : public QFileDialog {
public:
    TQtFileDialog(QWidget* parent, TOpenOptions options, bool save)
        : QFileDialog(parent), FOptions(options), FSave(save)
    {
    }

    // Checks the options that Qt's dialog does not know before Qt's own checks (file must
    // exist, overwrite prompt) run.
    void accept() override
    {
        TypedNameDecides();
        const QStringList files = selectedFiles();
        for (const QString& file : files) {
            const QFileInfo info(file);
            if (info.isDir())
                break;  // Qt opens the folder
            if (FOptions.Contains(ofPathMustExist) && !QFileInfo(info.absolutePath()).isDir()) {
                Warn(info.fileName() + QStringLiteral("\nPath does not exist.\nCheck the path and try again."));
                return;
            }
            if (FOptions.Contains(ofNoReadOnlyReturn) && info.exists() && IsReadOnly(info)) {
                Warn(info.fileName()
                     + QStringLiteral("\nThis file is set to read-only.\nTry again with a different file name."));
                return;
            }
            if (FOptions.Contains(ofCreatePrompt) && !FSave && !info.exists()) {
                const auto answer = QMessageBox::question(
                    this, windowTitle(),
                    info.fileName() + QStringLiteral("\nThis file does not exist.\nDo you want to create it?"),
                    QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
                if (answer != QMessageBox::Yes)
                    return;
            }
        }
        QFileDialog::accept();
    }

private:
    void Warn(const QString& text) { QMessageBox::warning(this, windowTitle(), text); }

    // The name the person typed decides, not a selection of the file list. Qt takes the list's
    // selection first; it goes stale when the folder changes under it (a file rewritten since
    // the dialog opened is removed and added again, and the selection moves on, to a folder
    // maybe, whose opening then takes the Enter and clears the name).
    void TypedNameDecides()
    {
        auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* list = findChild<QAbstractItemView*>(QStringLiteral("listView"));
        if (edit == nullptr || list == nullptr || list->selectionModel() == nullptr)
            return;
        const QString typed = edit->text();
        if (typed.trimmed().isEmpty() || typed.contains(QLatin1Char('"')))
            return;  // nothing typed, or several quoted names
        if (QFileInfo(directory().absoluteFilePath(typed.trimmed())).isDir())
            return;  // a folder typed: Qt opens it
        list->selectionModel()->clearSelection();
        if (edit->text() != typed)
            edit->setText(typed);
    }

    TOpenOptions FOptions;
    bool FSave;
};

QString QtPatterns(const UnicodeString& patterns)
{
    QString p = ToQ(patterns);
    p.replace(QLatin1Char(';'), QLatin1Char(' '));
    return p.simplified();
}

}  // namespace

int MessageDlg(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int /*HelpCtx*/)
{
    return RunMessageBox(Msg, DlgType, Buttons, nullptr);
}

int MessageDlg(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int /*HelpCtx*/,
               TMsgDlgBtn DefaultButton)
{
    return RunMessageBox(Msg, DlgType, Buttons, &DefaultButton);
}

void ShowMessage(const UnicodeString& Msg)
{
    RunMessageBox(Msg, mtCustom, TMsgDlgButtons{mbOK}, nullptr);
}

bool TOpenDialog::Execute()
{
    const bool save = IsSaveDialog();
    TQtFileDialog dlg(DialogParent(), FOptions, save);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setWindowTitle(!FTitle.empty() ? ToQ(FTitle) : save ? QStringLiteral("Save As") : QStringLiteral("Open"));
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (FOptions.Contains(ofAllowMultiSelect) && !save)
        dlg.setFileMode(QFileDialog::ExistingFiles);
    else if (FOptions.Contains(ofFileMustExist))
        dlg.setFileMode(QFileDialog::ExistingFile);
    else
        dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !FOptions.Contains(ofOverwritePrompt));
    if (FOptions.Contains(ofForceShowHidden))
        dlg.setFilter(dlg.filter() | QDir::Hidden);

    QStringList nameFilters;
    // The extension a name without one takes: the chosen filter's, when that filter names one
    // extension, else DefaultExt (only when there is a DefaultExt, as on the original platform).
    QStringList filterExts;
    for (const TFilterEntry& e : ParseFilter(FFilter)) {
        const QString first = QtPatterns(e.Patterns).section(QLatin1Char(' '), 0, 0);
        const bool single = first.startsWith(QStringLiteral("*.")) && !first.mid(2).contains(QLatin1Char('*'))
                            && !first.mid(2).contains(QLatin1Char('?')) && first.size() > 2;
        filterExts << (single ? first.mid(2) : QString());
    }
    auto extensionFor = [&](int Index) {
        if (FDefaultExt.empty()) return QString();
        if (Index >= 0 && Index < filterExts.size() && !filterExts[Index].isEmpty()) return filterExts[Index];
        return ToQ(FDefaultExt);
    };
    for (const TFilterEntry& e : ParseFilter(FFilter)) {
        const QString patterns = QtPatterns(e.Patterns);
        QString description = ToQ(e.Description).trimmed();
        // Qt reads the patterns from the parentheses at the end of each entry.
        if (!description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')')))
            description += QStringLiteral(" (") + patterns + QLatin1Char(')');
        nameFilters << description;
    }
    if (!nameFilters.isEmpty()) {
        dlg.setNameFilters(nameFilters);
        const int index = FFilterIndex >= 1 && FFilterIndex <= nameFilters.size() ? FFilterIndex - 1 : 0;
        dlg.selectNameFilter(nameFilters[index]);
        dlg.setDefaultSuffix(extensionFor(index));
        QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg, nameFilters, extensionFor](const QString& f) {
            dlg.setDefaultSuffix(extensionFor(int(nameFilters.indexOf(f))));
        });
    } else {
        dlg.setDefaultSuffix(ToQ(FDefaultExt));
    }

    // The folder: FileName's own, else InitialDir, else the last one chosen, else the
    // working folder. The name part of FileName is proposed.
    const QString fileName = ToQ(FFileName);
    const QFileInfo proposed(fileName);
    QStringList folders;
    if (fileName.contains(QLatin1Char('/')))
        folders << proposed.absolutePath();
    folders << ToQ(FInitialDir) << LastFolder << QDir::currentPath();
    for (const QString& folder : folders) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            dlg.setDirectory(folder);
            break;
        }
    }
    if (!fileName.isEmpty())
        dlg.selectFile(proposed.fileName());

    if (!FOptions.Contains(ofEnableSizing)) {
        dlg.setSizeGripEnabled(false);
        dlg.setFixedSize(dlg.sizeHint());
    }

    if (OnShow)
        OnShow(this);
    const int result = dlg.exec();
    if (OnClose)
        OnClose(this);
    if (result != QDialog::Accepted)
        return false;

    const QStringList chosen = dlg.selectedFiles();
    if (chosen.isEmpty())
        return false;
    FFiles->Clear();
    for (const QString& f : chosen)
        FFiles->Add(FromQ(QDir::cleanPath(QFileInfo(f).absoluteFilePath())));
    FFileName = FFiles->Get(0);
    const int chosenFilter = static_cast<int>(nameFilters.indexOf(dlg.selectedNameFilter()));
    if (chosenFilter >= 0)
        FFilterIndex = chosenFilter + 1;
    // The toolkit adds the default extension on some of its paths only (a name confirmed after
    // the dialog changed its folder comes back without it): every name without one gets it here.
    const QString ext = nameFilters.isEmpty() ? ToQ(FDefaultExt) : extensionFor(chosenFilter);
    if (IsSaveDialog() && !ext.isEmpty() && QFileInfo(ToQ(FFileName)).suffix().isEmpty()
        && !QFileInfo(ToQ(FFileName)).isDir()) {
        FFileName += "." + FromQ(ext);
        FFiles->Clear();
        FFiles->Add(FFileName);
    }
    const QString suffix = QFileInfo(ToQ(FFileName)).suffix();
    if (!FDefaultExt.empty() && suffix.compare(ToQ(FDefaultExt), Qt::CaseInsensitive) != 0)
        FOptions << ofExtensionDifferent;
    else
        FOptions >> ofExtensionDifferent;
    LastFolder = QFileInfo(ToQ(FFileName)).absolutePath();
    return true;
}
