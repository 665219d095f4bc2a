#include "platform/Dialogs.h"
#include "tests/platform/ModalAnswer.h"

#include <QAbstractItemView>
#include <QDir>
#include <QItemSelectionModel>
#include <QFile>
#include <QFileDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

QStringList VisibleButtons(QWidget* box)
{
    QStringList texts;
    for (QAbstractButton* b : box->findChildren<QAbstractButton*>())
        if (b->isVisible())
            texts << b->text();
    texts.sort();
    return texts;
}

// Types a name into the file dialog's name field and confirms it with Enter.
void TypeFileName(QWidget* dialog, const QString& name)
{
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->clear();
    QTest::keyClicks(edit, name);
    QTest::keyClick(edit, Qt::Key_Return);
}

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

UnicodeString S(const QString& s) { return s.toStdString(); }

}  // namespace

TEST(MessageDlg, ConfirmationOffersYesAndNoWithYesAsDefault)
{
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    WhenModalOpens([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        icon = box->icon();
        buttons = VisibleButtons(box);
        ClickButton(box, QStringLiteral("No"));
    });
    EXPECT_EQ(MessageDlg("Delete selected dependencies?", mtConfirmation, mbYesNo, 0), mrNo);
    EXPECT_EQ(title, QStringLiteral("Confirm"));
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("&No"), QStringLiteral("&Yes")}));

    WhenModalOpens([](QWidget* w) { ClickButton(w, QStringLiteral("Yes")); });
    EXPECT_EQ(MessageDlg("Delete selected dependencies?", mtConfirmation, mbYesNo, 0), mrYes);

    // Enter takes the default button, Escape the cancel button (No when there is no Cancel).
    WhenModalOpens([](QWidget* w) { PressKey(w, Qt::Key_Return); });
    EXPECT_EQ(MessageDlg("Sure?", mtConfirmation, TMsgDlgButtons() << mbYes << mbNo, 0), mrYes);
    WhenModalOpens([](QWidget* w) { PressKey(w, Qt::Key_Escape); });
    EXPECT_EQ(MessageDlg("Sure?", mtConfirmation, TMsgDlgButtons() << mbYes << mbNo, 0), mrNo);
}

TEST(MessageDlg, ErrorBoxShowsItsTextLiterallyWithOneOkButton)
{
    QString text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModalOpens([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        text = box->text();
        icon = box->icon();
        buttons = VisibleButtons(box);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        PressKey(box, Qt::Key_Return);
    });
    EXPECT_EQ(MessageDlg("<b>Select</b> a dependency.", mtError, TMsgDlgButtons{mbOK, mbHelp}, 0), mrOk);
    EXPECT_EQ(text, QStringLiteral("<b>Select</b> a dependency."));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, QStringList{QStringLiteral("OK")});  // no Help button
}

TEST(MessageDlg, NamedDefaultButtonAndBoxesWithoutCancelButton)
{
    WhenModalOpens([](QWidget* w) { PressKey(w, Qt::Key_Return); });
    EXPECT_EQ(MessageDlg("Save?", mtWarning, mbYesNoCancel, 0, mbNo), mrNo);
    WhenModalOpens([](QWidget* w) { PressKey(w, Qt::Key_Escape); });
    EXPECT_EQ(MessageDlg("Save?", mtWarning, mbYesNoCancel, 0, mbNo), mrCancel);

    // A default button outside the set falls back to the usual one (Retry here).
    WhenModalOpens([](QWidget* w) { PressKey(w, Qt::Key_Return); });
    EXPECT_EQ(MessageDlg("Disk?", mtError, mbAbortRetryIgnore, 0, mbYes), mrRetry);

    // Without Cancel, No or OK, the close box still ends the box, as a cancel.
    QStringList buttons;
    WhenModalOpens([&](QWidget* w) {
        buttons = VisibleButtons(w);
        w->close();
    });
    EXPECT_EQ(MessageDlg("Disk?", mtError, mbAbortRetryIgnore, 0), mrCancel);
    EXPECT_EQ(buttons.size(), 3);
}

TEST(FileDialogs, FilterTextSplitsIntoDescriptionAndPatterns)
{
    const auto one = TOpenDialog::ParseFilter("ini files|*.ini");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].Description, "ini files");
    EXPECT_EQ(one[0].Patterns, "*.ini");

    const auto two = TOpenDialog::ParseFilter("Text|*.txt;*.text|All|");
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].Patterns, "*.txt;*.text");
    EXPECT_EQ(two[1].Description, "All");
    EXPECT_EQ(two[1].Patterns, "*");
    EXPECT_TRUE(TOpenDialog::ParseFilter("").empty());
}

class SaveDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        dialog.SetFilter("ini files|*.ini");
        dialog.SetDefaultExt("ini");
        dialog.SetOptions(TOpenOptions{ofOverwritePrompt, ofHideReadOnly, ofPathMustExist,
                                       ofNoReadOnlyReturn, ofEnableSizing});
        dialog.SetInitialDir(S(dir.path()));
    }
    QString Path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    QTemporaryDir dir;
    TSaveDialog dialog{nullptr};
};

TEST_F(SaveDialogTest, AddsTheDefaultExtensionAndReturnsTheFullPath)
{
    QString filters;
    WhenModalOpens([&](QWidget* w) {
        auto* fd = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(fd, nullptr);
        filters = fd->nameFilters().join(QLatin1Char('|'));
        EXPECT_EQ(fd->windowTitle(), QStringLiteral("Save As"));
        TypeFileName(w, QStringLiteral("result"));
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetFileName(), S(Path(QStringLiteral("result.ini"))));
    EXPECT_EQ(filters, QStringLiteral("ini files (*.ini)"));
    EXPECT_FALSE(dialog.GetOptions().Contains(ofExtensionDifferent));

    // A name typed with another extension keeps it.
    WhenModalOpens([&](QWidget* w) { TypeFileName(w, QStringLiteral("notes.txt")); });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetFileName(), S(Path(QStringLiteral("notes.txt"))));
    EXPECT_TRUE(dialog.GetOptions().Contains(ofExtensionDifferent));
}

TEST_F(SaveDialogTest, AsksBeforeOverwritingAnExistingFile)
{
    WriteFile(Path(QStringLiteral("old.ini")), "[General]\r\n");
    QString question;
    // First answer No: the dialog stays open; then Yes: the name is taken.
    WhenModalOpens([&](QWidget* fileDialog) {
        WhenModalOpens([&](QWidget* box) {
            question = qobject_cast<QMessageBox*>(box)->text();
            ClickButton(box, QStringLiteral("No"));
        }, fileDialog);
        TypeFileName(fileDialog, QStringLiteral("old"));
        EXPECT_TRUE(fileDialog->isVisible());
        WhenModalOpens([&](QWidget* box) { ClickButton(box, QStringLiteral("Yes")); }, fileDialog);
        TypeFileName(fileDialog, QStringLiteral("old"));
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_TRUE(question.contains(QStringLiteral("old.ini")));
    EXPECT_EQ(dialog.GetFileName(), S(Path(QStringLiteral("old.ini"))));

    // Without the option nobody asks.
    dialog.SetOptions(dialog.GetOptions() - TOpenOptions{ofOverwritePrompt});
    WhenModalOpens([&](QWidget* w) { TypeFileName(w, QStringLiteral("old")); });
    EXPECT_TRUE(dialog.Execute());
}

TEST_F(SaveDialogTest, RefusesMissingFoldersAndReadOnlyFiles)
{
    const QString locked = Path(QStringLiteral("locked.ini"));
    WriteFile(locked, "x");
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    dialog.SetFileName("/proposed/earlier.ini");

    QStringList warnings;
    WhenModalOpens([&](QWidget* fileDialog) {
        auto warn = [&](QWidget* box) {
            warnings << qobject_cast<QMessageBox*>(box)->text();
            PressKey(box, Qt::Key_Return);
        };
        WhenModalOpens(warn, fileDialog);
        TypeFileName(fileDialog, QStringLiteral("missing/x"));
        WhenModalOpens(warn, fileDialog);
        TypeFileName(fileDialog, QStringLiteral("locked"));
        PressKey(fileDialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(dialog.Execute());
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("Path does not exist")));
    EXPECT_TRUE(warnings[1].contains(QStringLiteral("read-only")));
    EXPECT_EQ(dialog.GetFileName(), "/proposed/earlier.ini");  // cancel changes nothing
}

TEST(OpenDialog, ProposesTheFileNameAndRequiresAnExistingFile)
{
    QTemporaryDir dir;
    WriteFile(QDir(dir.path()).filePath(QStringLiteral("a.ini")), "x");
    TOpenDialog dialog(nullptr);
    dialog.SetFilter("ini files|*.ini");
    dialog.SetOptions(TOpenOptions{ofHideReadOnly, ofPathMustExist, ofFileMustExist, ofEnableSizing});
    dialog.SetInitialDir(S(dir.path()));

    // A name that does not exist is refused with a warning; the dialog stays open.
    QString warning;
    WhenModalOpens([&](QWidget* w) {
        WhenModalOpens([&](QWidget* box) {
            warning = qobject_cast<QMessageBox*>(box)->text();
            PressKey(box, Qt::Key_Return);
        }, w);
        TypeFileName(w, QStringLiteral("b.ini"));
        EXPECT_TRUE(w->isVisible());
        QTest::mouseClick(w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(warning.contains(QStringLiteral("b.ini")));
    EXPECT_EQ(dialog.GetFileName(), "");

    // The proposed name stands in the name field; Enter takes it, as a full path.
    dialog.SetFileName("a.ini");
    QString proposed;
    WhenModalOpens([&](QWidget* w) {
        proposed = w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        EXPECT_EQ(qobject_cast<QFileDialog*>(w)->directory().absolutePath(), dir.path());
        QTest::mouseClick(w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open), Qt::LeftButton);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(proposed, QStringLiteral("a.ini"));
    EXPECT_EQ(dialog.GetFileName(), S(QDir(dir.path()).filePath(QStringLiteral("a.ini"))));
    EXPECT_EQ(dialog.GetFiles()->Count(), 1);
}

// The open dialog opens the name typed, whatever the file list has selected meanwhile: here the
// list's selection moved to a folder after the name was typed (as when the proposed file is
// rewritten while the dialog is open), and the first Enter still opens the file.
TEST(FileDialogs, TheTypedNameWinsOverAStaleSelection)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("archive")));
    WriteFile(QDir(dir.path()).filePath(QStringLiteral("project.ini")), "[General]\r\nCount=0\r\n");
    TOpenDialog dialog{nullptr};
    dialog.SetFilter("ini files|*.ini");
    dialog.SetOptions(TOpenOptions{ofHideReadOnly, ofPathMustExist, ofFileMustExist, ofEnableSizing});
    dialog.SetFileName(S(QDir(dir.path()).filePath(QStringLiteral("project.ini"))));
    bool inFolder = false;
    WhenModalOpens([&](QWidget* w) {
        auto* fd = qobject_cast<QFileDialog*>(w);
        auto* list = w->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        auto* edit = w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(fd != nullptr && list != nullptr && edit != nullptr);
        // Wait for the list to show the folder, then retype the name.
        QModelIndex folder;
        for (int i = 0; i < 200 && !folder.isValid(); ++i) {
            QTest::qWait(10);
            const QModelIndex root = list->rootIndex();
            for (int r = 0; r < list->model()->rowCount(root); ++r)
                if (list->model()->index(r, 0, root).data().toString() == QLatin1String("archive"))
                    folder = list->model()->index(r, 0, root);
        }
        ASSERT_TRUE(folder.isValid());
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("project.ini"));
        list->selectionModel()->select(folder, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QTest::keyClick(edit, Qt::Key_Return);
        inFolder = fd->isVisible() && fd->directory().dirName() == QLatin1String("archive");
        if (fd->isVisible())
            fd->reject();
    });
    EXPECT_TRUE(dialog.Execute());
    EXPECT_FALSE(inFolder);
    EXPECT_EQ(dialog.GetFileName(), S(QDir(dir.path()).filePath(QStringLiteral("project.ini"))));
}
