#include "app/CommonDialog.h"
#include "support/ScriptedDesktop.h"
#include "transfer/DownloadFolder.h"
#include "ui/frmFileExists.h"
#include "ui/frmFileTransfer.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The controls Tab reaches from first on, with their texts.
QStringList inTabOrder(QWidget *first, int count)
{
    QStringList shown;
    for (QWidget *widget = first; shown.size() < count; widget = widget->nextInFocusChain()) {
        if (widget->focusPolicy() & Qt::TabFocus)
            shown << widget->objectName() + u' ' + widget->property("text").toString();
    }
    return shown;
}

void click(const QWidget &dialog, const QString &name)
{
    dialog.findChild<QPushButton *>(name)->click();
}

QString fileOfSize(const QTemporaryDir &dir, qint64 size)
{
    const QString path = dir.filePath(QString::number(size));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.resize(size);
    return path;
}

} // namespace

// The send dialog and the name-clash dialog, each on its own.
class tst_FileTransferDialogs : public QObject
{
    Q_OBJECT

private slots:
    void sendDialogLayout();
    void sendDialogChecksTheFile_data();
    void sendDialogChecksTheFile();
    void browsePutsTheChooserNameInTheField();
    void nameClashLayoutAndOptions();
    void nameClashChecksTheNewName_data();
    void nameClashChecksTheNewName();
    void refusedCharactersCannotBeTyped();
};

void tst_FileTransferDialogs::sendDialogLayout()
{
    ScriptedDesktop desktop;
    CommonDialog cdMain(desktop);
    frmFileTransfer dialog(cdMain, desktop);
    QCOMPARE(dialog.windowTitle(), u"Send File"_qs);
    QCOMPARE(inTabOrder(dialog.findChild<QLineEdit *>(u"txtFileName"_qs), 4),
        QStringList({ u"txtFileName "_qs, u"cmdBrowse ..."_qs, u"cmdOK &Send"_qs,
            u"cmdCancel &Cancel"_qs }));
    QCOMPARE(dialog.findChild<QLabel *>(u"lblDesc"_qs)->text(), u"File Name :"_qs);
    QVERIFY(dialog.findChild<QPushButton *>(u"cmdOK"_qs)->isDefault());
}

void tst_FileTransferDialogs::sendDialogChecksTheFile_data()
{
    QTest::addColumn<qint64>("size"); // -1: the field names no file, -2: it is empty
    QTest::addColumn<QString>("refusal");
    const QString notFound = u"File Not Found!\r\nMake sure the path is correct."_qs;
    QTest::newRow("largest") << qint64(2097152) << QString();
    QTest::newRow("empty file") << qint64(0) << QString();
    QTest::newRow("one byte more") << qint64(
        2097153) << u"Maximum 2MB File can be Sent.\r\nPlease Select a File less than 2MB."_qs;
    QTest::newRow("no such file") << qint64(-1) << notFound;
    QTest::newRow("empty name") << qint64(-2) << notFound;
}

// A refusal leaves the dialog open with the name as typed; a good file is asked for whole.
void tst_FileTransferDialogs::sendDialogChecksTheFile()
{
    QFETCH(qint64, size);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    ScriptedDesktop desktop;
    CommonDialog cdMain(desktop);
    frmFileTransfer dialog(cdMain, desktop);
    QSignalSpy requested(&dialog, &frmFileTransfer::sendRequested);
    const QString path = size >= 0 ? fileOfSize(dir, size)
        : size == -1               ? dir.filePath(u"gone"_qs)
                                   : QString();
    dialog.show();
    dialog.findChild<QLineEdit *>(u"txtFileName"_qs)->setText(path);
    click(dialog, u"cmdOK"_qs);
    if (refusal.isEmpty()) {
        QCOMPARE(requested.size(), 1);
        QCOMPARE(requested.first().first().toString(), path);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        return;
    }
    QCOMPARE(desktop.shown.size(), 1);
    QCOMPARE(desktop.shown.first().text, refusal);
    QCOMPARE(desktop.shown.first().icon,
        size == 2097153 ? Desktop::Icon::Information : Desktop::Icon::Exclamation);
    QCOMPARE(requested.size(), 0);
    QVERIFY(dialog.isVisible());
}

// The chooser offers all files; cancelled, it still leaves the shared dialog's last name.
void tst_FileTransferDialogs::browsePutsTheChooserNameInTheField()
{
    ScriptedDesktop desktop;
    CommonDialog cdMain(desktop);
    cdMain.FileName = u"/tmp/last.txt"_qs;
    frmFileTransfer dialog(cdMain, desktop);
    QLineEdit *field = dialog.findChild<QLineEdit *>(u"txtFileName"_qs);
    desktop.dialogAnswers = { u"/home/ali/report.doc"_qs };
    click(dialog, u"cmdBrowse"_qs);
    QCOMPARE(field->text(), u"/home/ali/report.doc"_qs);
    click(dialog, u"cmdBrowse"_qs);
    QCOMPARE(field->text(), u"/home/ali/report.doc"_qs);
    QCOMPARE(desktop.fileFilters, QStringList({ u"All Files (*)"_qs, u"All Files (*)"_qs }));
    QCOMPARE(desktop.dialogsShown, QStringList({ u"open"_qs, u"open"_qs }));
}

void tst_FileTransferDialogs::nameClashLayoutAndOptions()
{
    ScriptedDesktop desktop;
    const DownloadFolder folder(QDir::tempPath());
    frmFileExists dialog(folder, desktop);
    QCOMPARE(dialog.windowTitle(), u"File Already Exists!"_qs);
    const QList<QRadioButton *> options = dialog.findChildren<QRadioButton *>(u"OptFile"_qs);
    QCOMPARE(inTabOrder(options.at(0), 5),
        QStringList({ u"OptFile &Overwrite"_qs, u"OptFile &Rename"_qs, u"txtFilename "_qs,
            u"cmdOk &OK"_qs, u"cmdCancel &Cancel"_qs }));
    QCOMPARE(dialog.findChild<QLabel *>(u"lblDesc"_qs)->text(), u"FileName :"_qs);
    auto *frame = dialog.findChild<QFrame *>(u"fraFileName"_qs);
    QVERIFY(options.at(0)->isChecked());
    QVERIFY(!frame->isEnabled());
    options.at(1)->click();
    QVERIFY(frame->isEnabled());
    options.at(0)->click();
    QVERIFY(!frame->isEnabled());
}

void tst_FileTransferDialogs::nameClashChecksTheNewName_data()
{
    QTest::addColumn<bool>("rename");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // the message, or the name chosen
    const QString again = u"\r\nPlease choose another filename."_qs;
    QTest::newRow("overwrite ignores the typed name")
        << false << u"new.txt"_qs << u"offered.txt"_qs;
    QTest::newRow("a new name, blanks kept") << true << u" new name "_qs << u" new name "_qs;
    QTest::newRow("a name that exists")
        << true << u"taken.txt"_qs << u"The File with the same name already exists!"_qs + again;
    QTest::newRow("empty") << true << QString() << u"Please enter a Filename."_qs;
    QTest::newRow("pasted folder")
        << true << u"../up.txt"_qs << u"The name holds a folder."_qs + again;
    QTest::newRow("pasted control")
        << true << u"a\tb"_qs << u"The name holds control characters."_qs + again;
}

void tst_FileTransferDialogs::nameClashChecksTheNewName()
{
    QFETCH(bool, rename);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    QFile taken(dir.filePath(u"taken.txt"_qs));
    QVERIFY(taken.open(QIODevice::WriteOnly));
    ScriptedDesktop desktop;
    const DownloadFolder folder(dir.path());
    frmFileExists dialog(folder, desktop);
    dialog.show();
    dialog.findChildren<QRadioButton *>(u"OptFile"_qs).at(1)->click();
    dialog.findChild<QLineEdit *>(u"txtFilename"_qs)->setText(typed);
    if (!rename)
        dialog.findChildren<QRadioButton *>(u"OptFile"_qs).at(0)->click();
    click(dialog, u"cmdOk"_qs);
    if (desktop.shown.isEmpty()) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.chosenName(u"offered.txt"_qs), shown);
        return;
    }
    QCOMPARE(desktop.shown.first().text, shown);
    QVERIFY(dialog.isVisible());
}

void tst_FileTransferDialogs::refusedCharactersCannotBeTyped()
{
    ScriptedDesktop desktop;
    const DownloadFolder folder(QDir::tempPath());
    frmFileExists dialog(folder, desktop);
    dialog.findChildren<QRadioButton *>(u"OptFile"_qs).at(1)->click();
    QLineEdit *field = dialog.findChild<QLineEdit *>(u"txtFilename"_qs);
    QTest::keyClicks(field, u"a\"b'c*d+e/f:g<h=i>j?k\\l|m n"_qs);
    QCOMPARE(field->text(), u"abcdefghijklm n"_qs);
}

QTEST_MAIN(tst_FileTransferDialogs)
#include "tst_FileTransferDialogs.moc"
