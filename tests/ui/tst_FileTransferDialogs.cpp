#include "support/ScriptedDesktop.h"
#include "transfer/DownloadFolder.h"
#include "ui/CommonDialog.h"
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
    return dialog.findChildren<QRadioButton *>(QStringLiteral("OptFile")).at(index);
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
        const QString notFound
            = QStringLiteral("File Not Found!\r\nMake sure the path is correct.");
        QTest::newRow("largest") << qint64(2097152) << QString();
        QTest::newRow("one byte more")
            << qint64(2097153)
            << QStringLiteral(
                   "Maximum 2MB File can be Sent.\r\nPlease Select a File less than 2MB.");
        QTest::newRow("no such file") << qint64(-1) << notFound;
        QTest::newRow("empty name") << qint64(-2) << notFound;
    }

    void sendDialogChecksTheFile()
    {
        QFETCH(qint64, size);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        QString path = size == -2 ? QString() : dir.filePath(QStringLiteral("a.bin"));
        QFile file(path);
        if (size >= 0 && file.open(QIODevice::WriteOnly))
            file.resize(size);
        ScriptedDesktop desktop;
        CommonDialog cdMain(desktop);
        frmFileTransfer dialog(cdMain, desktop);
        QSignalSpy requested(&dialog, &frmFileTransfer::sendRequested);
        dialog.show();
        dialog.findChild<QLineEdit *>(QStringLiteral("txtFileName"))->setText(path);
        click(dialog, QStringLiteral("cmdOK"));
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
        const QString again = QStringLiteral("\r\nPlease choose another filename.");
        QTest::newRow("overwrite ignores the name")
            << false << QStringLiteral("new.txt") << QStringLiteral("offered.txt");
        QTest::newRow("blanks kept")
            << true << QStringLiteral(" new name ") << QStringLiteral(" new name ");
        QTest::newRow("exists") << true << QStringLiteral("taken.txt")
                                << QStringLiteral("The File with the same name already exists!")
                + again;
        QTest::newRow("empty") << true << QString() << QStringLiteral("Please enter a Filename.");
        QTest::newRow("pasted folder") << true << QStringLiteral("../up.txt")
                                       << QStringLiteral("The name holds a folder.") + again;
        QTest::newRow("pasted control")
            << true << QStringLiteral("a\tb")
            << QStringLiteral("The name holds control characters.") + again;
    }

    void nameClashChecksTheNewName()
    {
        QFETCH(bool, rename);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        QFile(dir.filePath(QStringLiteral("taken.txt"))).open(QIODevice::WriteOnly);
        ScriptedDesktop desktop;
        frmFileExists dialog(DownloadFolder(dir.path()), desktop);
        dialog.show();
        option(dialog, 1)->click();
        dialog.findChild<QLineEdit *>(QStringLiteral("txtFilename"))->setText(typed);
        option(dialog, rename ? 1 : 0)->click();
        click(dialog, QStringLiteral("cmdOk"));
        if (desktop.shown.isEmpty()) {
            QCOMPARE(dialog.chosenName(QStringLiteral("offered.txt")), shown);
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
        QLineEdit *field = dialog.findChild<QLineEdit *>(QStringLiteral("txtFilename"));
        QTest::keyClicks(field, QStringLiteral("a\"b'c*d+e/f:g<h=i>j?k\\l|m n"));
        QCOMPARE(field->text(), QStringLiteral("abcdefghijklm n"));
    }
};

QTEST_MAIN(tst_FileTransferDialogs)
#include "tst_FileTransferDialogs.moc"
