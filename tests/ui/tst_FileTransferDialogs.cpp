#include "support/ScriptedDesktop.h"
#include "support/TestFiles.h"
#include "transfer/DownloadFolder.h"
#include "ui/CommonDialog.h"
#include "ui/frmFileExists.h"
#include "ui/frmFileTransfer.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The send and name-clash dialogs, each on its own; a refusal is a box that keeps it open.
class tst_FileTransferDialogs : public QObject
{
    Q_OBJECT

private slots:
    void sendDialogChecksTheFile_data()
    {
        QTest::addColumn<qint64>("size"); // -1: a folder; -2: the field is empty
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<Desktop::Icon>("icon");
        const QString notFound
            = QStringLiteral("File Not Found!\r\nMake sure the path is correct.");
        QTest::newRow("largest") << qint64(2097152) << QString() << Desktop::Icon::Information;
        QTest::newRow("one byte more")
            << qint64(2097153)
            << QStringLiteral(
                   "Maximum 2MB File can be Sent.\r\nPlease Select a File less than 2MB.")
            << Desktop::Icon::Information;
        QTest::newRow("a folder") << qint64(-1) << notFound << Desktop::Icon::Exclamation;
        QTest::newRow("empty name") << qint64(-2) << notFound << Desktop::Icon::Exclamation;
    }

    void sendDialogChecksTheFile()
    {
        QFETCH(qint64, size);
        QFETCH(QString, refusal);
        QFETCH(Desktop::Icon, icon);
        const QTemporaryDir dir;
        const QString path
            = size == -2 ? QString() : dir.filePath(QLatin1String(size == -1 ? "." : "a.bin"));
        QVERIFY(size < 0 || QFile::resize(TestFiles::write(path, {}), size));
        ScriptedDesktop desktop;
        CommonDialog cdMain(desktop);
        frmFileTransfer dialog(cdMain, desktop);
        QSignalSpy requested(&dialog, &frmFileTransfer::sendRequested);
        dialog.show();
        dialog.findChild<QLineEdit *>(QStringLiteral("txtFileName"))->setText(path);
        dialog.findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
        QCOMPARE(dialog.isVisible(), !refusal.isEmpty());
        QCOMPARE(requested,
            refusal.isEmpty() ? QList<QVariantList> { { path } } : QList<QVariantList>());
        QCOMPARE(desktop.shown.size(), refusal.isEmpty() ? 0 : 1);
        QVERIFY(refusal.isEmpty()
            || (desktop.shown[0].text == refusal && desktop.shown[0].icon == icon));
    }

    // A new name is typed without the twelve characters file systems or shells give a meaning,
    // and checked for a file that exists first, then for being empty, then as a partner's
    // offered name would be; it is taken as typed.
    void nameClashChecksTheNewName_data()
    {
        QTest::addColumn<bool>("rename");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // the refusal, or the name chosen
        const QString again = QStringLiteral("\r\nPlease choose another filename.");
        QTest::newRow("overwrite ignores the name")
            << false << QStringLiteral("new.txt") << QStringLiteral("offered.txt");
        QTest::newRow("blanks kept")
            << true << QStringLiteral(" new name ") << QStringLiteral(" new name ");
        QTest::newRow("exists") << true << QStringLiteral("taken.txt")
                                << QStringLiteral("The File with the same name already exists!")
                + again;
        QTest::newRow("empty") << true << QString() << QStringLiteral("Please enter a Filename.");
        QTest::newRow("dot dot") << true << QStringLiteral("..")
                                 << QStringLiteral("The name stands for a folder.") + again;
        QTest::newRow("twelve characters refused")
            << true << QStringLiteral("a\"b'c*d+e/f:g<h=i>j?k\\l|m n")
            << QStringLiteral("abcdefghijklm n");
    }

    void nameClashChecksTheNewName()
    {
        QFETCH(bool, rename);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        const QTemporaryDir dir;
        QFile(dir.filePath(QStringLiteral("taken.txt"))).open(QIODevice::WriteOnly);
        ScriptedDesktop desktop;
        frmFileExists dialog(DownloadFolder(dir.path()), desktop);
        const auto options = dialog.findChildren<QRadioButton *>(QStringLiteral("OptFile"));
        dialog.show();
        options[1]->click();
        QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("txtFilename")), typed);
        options[rename ? 1 : 0]->click();
        dialog.findChild<QPushButton *>(QStringLiteral("cmdOk"))->click();
        QCOMPARE(dialog.isVisible(), !desktop.shown.isEmpty());
        QCOMPARE(desktop.shown.isEmpty() ? dialog.chosenName(QStringLiteral("offered.txt"))
                                         : desktop.shown[0].text,
            shown);
    }
};

QTEST_MAIN(tst_FileTransferDialogs)
#include "tst_FileTransferDialogs.moc"
