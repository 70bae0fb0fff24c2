#include "app/CommonDialog.h"
#include "support/ScriptedDesktop.h"
#include "transfer/DownloadFolder.h"
#include "ui/frmFileExists.h"
#include "ui/frmFileTransfer.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

void click(const QWidget &dialog, const QString &name)
{
    dialog.findChild<QPushButton *>(name)->click();
}

QRadioButton *option(const QWidget &dialog, int index)
{
    return dialog.findChildren<QRadioButton *>(u"OptFile"_qs).at(index);
}

} // namespace

// The send dialog and the name-clash dialog, each on its own.
class tst_FileTransferDialogs : public QObject
{
    Q_OBJECT

private slots:
    // A refusal leaves the dialog open with the name as typed; a good file is asked for.
    void sendDialogChecksTheFile_data()
    {
        QTest::addColumn<qint64>("size"); // -1: the field names no file, -2: it is empty
        QTest::addColumn<QString>("refusal");
        const QString notFound = u"File Not Found!\r\nMake sure the path is correct."_qs;
        QTest::newRow("largest") << qint64(2097152) << QString();
        QTest::newRow("one byte more") << qint64(
            2097153) << u"Maximum 2MB File can be Sent.\r\nPlease Select a File less than 2MB."_qs;
        QTest::newRow("no such file") << qint64(-1) << notFound;
        QTest::newRow("empty name") << qint64(-2) << notFound;
    }

    void sendDialogChecksTheFile()
    {
        QFETCH(qint64, size);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        QString path = size == -2 ? QString() : dir.filePath(u"a.bin"_qs);
        QFile file(path);
        if (size >= 0 && file.open(QIODevice::WriteOnly))
            file.resize(size);
        ScriptedDesktop desktop;
        CommonDialog cdMain(desktop);
        frmFileTransfer dialog(cdMain, desktop);
        QSignalSpy requested(&dialog, &frmFileTransfer::sendRequested);
        dialog.show();
        dialog.findChild<QLineEdit *>(u"txtFileName"_qs)->setText(path);
        click(dialog, u"cmdOK"_qs);
        QCOMPARE(requested.size(), refusal.isEmpty() ? 1 : 0);
        QCOMPARE(dialog.isVisible(), !refusal.isEmpty());
        if (refusal.isEmpty()) {
            QCOMPARE(requested.first().first().toString(), path);
            return;
        }
        QCOMPARE(desktop.shown.first().text, refusal);
        QCOMPARE(desktop.shown.first().icon,
            size > 0 ? Desktop::Icon::Information : Desktop::Icon::Exclamation);
    }

    void nameClashChecksTheNewName_data()
    {
        QTest::addColumn<bool>("rename");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // the message, or the name chosen
        const QString again = u"\r\nPlease choose another filename."_qs;
        QTest::newRow("overwrite ignores the name") << false << u"new.txt"_qs << u"offered.txt"_qs;
        QTest::newRow("blanks kept") << true << u" new name "_qs << u" new name "_qs;
        QTest::newRow("exists") << true << u"taken.txt"_qs
                                << u"The File with the same name already exists!"_qs + again;
        QTest::newRow("empty") << true << QString() << u"Please enter a Filename."_qs;
        QTest::newRow("pasted folder")
            << true << u"../up.txt"_qs << u"The name holds a folder."_qs + again;
        QTest::newRow("pasted control")
            << true << u"a\tb"_qs << u"The name holds control characters."_qs + again;
    }

    void nameClashChecksTheNewName()
    {
        QFETCH(bool, rename);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        QFile(dir.filePath(u"taken.txt"_qs)).open(QIODevice::WriteOnly);
        ScriptedDesktop desktop;
        frmFileExists dialog(DownloadFolder(dir.path()), desktop);
        dialog.show();
        option(dialog, 1)->click();
        dialog.findChild<QLineEdit *>(u"txtFilename"_qs)->setText(typed);
        option(dialog, rename ? 1 : 0)->click();
        click(dialog, u"cmdOk"_qs);
        if (desktop.shown.isEmpty()) {
            QCOMPARE(dialog.chosenName(u"offered.txt"_qs), shown);
            return;
        }
        QCOMPARE(desktop.shown.first().text, shown);
        QVERIFY(dialog.isVisible());
    }

    void refusedCharactersCannotBeTyped()
    {
        ScriptedDesktop desktop;
        frmFileExists dialog(DownloadFolder(QDir::tempPath()), desktop);
        option(dialog, 1)->click();
        QLineEdit *field = dialog.findChild<QLineEdit *>(u"txtFilename"_qs);
        QTest::keyClicks(field, u"a\"b'c*d+e/f:g<h=i>j?k\\l|m n"_qs);
        QCOMPARE(field->text(), u"abcdefghijklm n"_qs);
    }
};

QTEST_MAIN(tst_FileTransferDialogs)
#include "tst_FileTransferDialogs.moc"
