#include "support/RawPeer.h"
#include "support/ScriptedDesktop.h"
#include "support/TestFiles.h"
#include "support/TestMessenger.h"
#include "transfer/DownloadFolder.h"
#include "ui/CommonDialog.h"
#include "ui/frmFileExists.h"
#include "ui/frmFileTransfer.h"

#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The send and name-clash dialogs: each on its own, over a folder that holds a.bin and l.bin,
// a link to nothing; and the send dialog in a messenger.
class tst_FileTransferDialogs : public QObject
{
    Q_OBJECT

    static void row(const char *name, const char *input, const QString &outcome)
    {
        QTest::newRow(name) << QString::fromLatin1(input) << outcome;
    }

private slots:
    // input: the steps, a "|", and a text. "b": the send dialog's picker chooses a.bin, made
    // as large as the text says, or the folder for "."; "t" types the text as the new name of
    // a clash, "r" chooses "&Rename", "o" "&Overwrite". The outcome is what the dialog chose
    // as it closed, or the boxes it showed while it stays open ("!" or "i" for the icon).
    void dialogs_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("outcome");
        const QString again = QStringLiteral("\r\nPlease choose another filename.");
        row("largest", "b|2097152", QStringLiteral("~/a.bin"));
        row("one byte more", "b|2097153",
            QStringLiteral(
                "i Maximum 2MB File can be Sent.\r\nPlease Select a File less than 2MB."));
        row("a folder", "b|.",
            QStringLiteral("! File Not Found!\r\nMake sure the path is correct."));
        row("overwrite at the start", "t|new.txt", QStringLiteral("offered.txt"));
        row("overwrite again", "rto|new.txt", QStringLiteral("offered.txt"));
        row("typed before the frame opened", "tr|new.txt",
            QStringLiteral("! Please enter a Filename."));
        row("blanks kept", "rt| new name ", QStringLiteral(" new name "));
        row("exists, a link to nothing", "rt|l.bin",
            QStringLiteral("! The File with the same name already exists!") + again);
        row("dot dot", "rt|..", QStringLiteral("! The name stands for a folder.") + again);
        row("twelve characters refused", "rt|a\"b'c*d+e/f:g<h=i>j?k\\l|m n",
            QStringLiteral("abcdefghijklm n"));
    }

    void dialogs()
    {
        QFETCH(QString, input);
        QFETCH(QString, outcome);
        const QString steps = input.section(u'|', 0, 0);
        const QString text = input.section(u'|', 1);
        const QTemporaryDir dir;
        TestFiles::write(dir.filePath(QStringLiteral("a.bin")), QByteArray(text.toInt(), 'x'));
        QFile::link(QStringLiteral("gone"), dir.filePath(QStringLiteral("l.bin")));
        ScriptedDesktop desktop;
        desktop.dialogAnswers = { dir.filePath(text == u"." ? text : QStringLiteral("a.bin")) };
        CommonDialog cdMain(desktop);
        frmFileTransfer send(cdMain, desktop);
        frmFileExists clash(DownloadFolder(dir.path()), desktop);
        const bool sending = steps == u"b";
        QDialog &dialog = sending ? static_cast<QDialog &>(send) : clash;
        QString chosen;
        connect(&send, &frmFileTransfer::sendRequested, this,
            [&](const QString &path) { chosen = path; });
        dialog.show();
        const auto options = clash.findChildren<QRadioButton *>(QStringLiteral("OptFile"));
        for (const QChar step : steps) {
            if (step == u'b')
                send.findChild<QPushButton *>(QStringLiteral("cmdBrowse"))->click();
            else if (step == u't')
                QTest::keyClicks(clash.findChild<QLineEdit *>(QStringLiteral("txtFilename")), text);
            else
                options[step == u'r' ? 1 : 0]->click();
        }
        const QString ok = sending ? QStringLiteral("cmdOK") : QStringLiteral("cmdOk");
        dialog.findChild<QPushButton *>(ok)->click();
        QString result = sending ? chosen.replace(dir.path(), QStringLiteral("~"))
                                 : clash.chosenName(QStringLiteral("offered.txt"));
        for (const ScriptedDesktop::Shown &box : desktop.shown)
            result = QLatin1String(box.icon == Desktop::Icon::Information ? "i " : "! ") + box.text;
        if (dialog.isVisible() == desktop.shown.isEmpty())
            result += u'?';
        QCOMPARE(result, outcome);
        QCOMPARE(desktop.fileFilters.join(u';'), QLatin1String(sending ? "All Files (*)" : ""));
    }

    // One file dropped in a session opens the send dialog with it; other drops are refused.
    void dropFiles()
    {
        TestMessenger sara(QStringLiteral("127.0.0.1"), TestProgram::freePorts());
        sara.start();
        const QUrl file = QUrl::fromLocalFile(QCoreApplication::applicationFilePath());
        const auto drop = [&sara](const QList<QUrl> &urls) { // they enter, then are dropped
            QMimeData files;
            files.setUrls(urls);
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, {});
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, {});
            QCoreApplication::sendEvent(sara.program->mainWindow(), &enter);
            QCoreApplication::sendEvent(sara.program->mainWindow(), &drop);
        };
        drop({ file });
        sara.play(QStringLiteral("InSession"));
        drop({ file, file });
        drop({ QUrl::fromLocalFile(QDir::tempPath()) });
        drop({ QUrl(QStringLiteral("https://example.org/x.txt")) });
        QString chosen;
        TestMessenger::whenDialogOpens(QStringLiteral("frmFileTransfer"), [&](QWidget *dialog) {
            chosen = dialog->findChild<QLineEdit *>()->text();
            dialog->close();
        });
        drop({ file });
        QTRY_COMPARE(sara.textsShown().join(u'|') + u'|' + chosen,
            QStringLiteral("A file can be sent only during a chat session.|Please drop one file "
                           "at a time.|A folder cannot be sent.|Only files on this computer can "
                           "be sent.|")
                + file.toLocalFile());
    }

    // The partner's queue of file calls is full, so a dial hangs (until the partner closes, after
    // two seconds); leaving the send dialog or choosing the menu entry meanwhile cancels at once.
    void cancelWhileDialling_data()
    {
        QTest::addColumn<bool>("viaMenu");
        QTest::newRow("Esc in the dialog") << false;
        QTest::newRow("Cancel File Transfer") << true;
    }

    void cancelWhileDialling()
    {
        QFETCH(bool, viaMenu);
        const TestProgram::Ports ports = TestProgram::freePorts();
        QTcpServer full;
        full.setListenBacklogSize(0);
        full.setMaxPendingConnections(0);
        QVERIFY(full.listen(QHostAddress(QStringLiteral("127.0.0.1")), ports.file));
        RawPeer waiting;
        QVERIFY(waiting.call(QStringLiteral("127.0.0.2"), ports.file));
        TestMessenger sara(QStringLiteral("127.0.0.2"), ports);
        sara.start();
        sara.program->RemoteUserIP = QStringLiteral("127.0.0.1");
        sara.play(QStringLiteral("InSession"));
        TestMessenger::whenDialogOpens(QStringLiteral("frmFileTransfer"), [&](QWidget *dialog) {
            QTimer::singleShot(2000, &full, &QTcpServer::close);
            QTimer::singleShot(300, dialog, [&, dialog] {
                dialog->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click(); // no second
                viaMenu ? sara.action(QStringLiteral("mnuSendFile"))->trigger()
                        : QTest::keyClick(dialog, Qt::Key_Escape);
            });
        });
        const QTemporaryDir dir;
        sara.sendFile(TestFiles::write(dir.filePath(QStringLiteral("a.bin")), "abc"));
        QCOMPARE(sara.textsShown().join(u'|'),
            u"Are you sure you want to Cancel?|File Transfer Interrupted!");
        QVERIFY(sara.transferIdle());
    }
};

QTEST_MAIN(tst_FileTransferDialogs)
#include "tst_FileTransferDialogs.moc"
