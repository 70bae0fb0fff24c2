#include "support/TestMessenger.h"

#include "net/SocketEndpoint.h"
#include "support/TranscriptRuns.h"
#include "transfer/TransferSession.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

TestMessenger::TestMessenger(const QString &bindAddress, Ports ports, bool trayAvailable)
    : TestProgram(bindAddress, ports, {}, &frmMain::make, trayAvailable)
{
}

frmMain &TestMessenger::window() const
{
    return *static_cast<frmMain *>(program->mainWindow());
}

QAction *TestMessenger::action(const QString &name) const
{
    return window().findChild<QAction *>(name);
}

QStringList TestMessenger::transcriptRuns() const
{
    return TranscriptRuns::of(
        *window().findChild<QTextEdit *>(QStringLiteral("rtbMain"))->document());
}

bool TestMessenger::callChatSocketOf(TestMessenger &callee, const QString &calleeAddress)
{
    if (program->LocalNickname.isEmpty())
        program->LocalNickname = QStringLiteral("caller");
    program->RemoteIP = calleeAddress;
    window().chat().ConnectRemote();
    const auto connected = SocketEndpoint::SocketState::Connected;
    return QTest::qWaitFor([&] {
        return window().WskMain().State() == connected
            && callee.window().WskMain().State() == connected;
    });
}

void TestMessenger::dial(const QString &address)
{
    whenDialogOpens(QStringLiteral("frmConnect"), [address](QWidget *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("txtIP"))->setText(address);
        dialog->findChild<QPushButton *>(QStringLiteral("cmdOk"))->click();
    });
    action(QStringLiteral("mnuConnect"))->trigger();
}

bool TestMessenger::openSessionWith(TestMessenger &callee, const QString &calleeAddress)
{
    dial(calleeAddress);
    return QTest::qWaitFor(
        [&] { return window().chat().sessionOpen() && callee.window().chat().sessionOpen(); });
}

void TestMessenger::sendFile(const QString &path)
{
    whenDialogOpens(QStringLiteral("frmFileTransfer"), [path](QWidget *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("txtFileName"))->setText(path);
        dialog->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    });
    action(QStringLiteral("mnuSendFile"))->trigger();
}

bool TestMessenger::sendFileTo(TestMessenger &receiver, const QString &path, int timeoutMs)
{
    sendFile(path);
    return busyWaitFor(
        [this, &receiver] { return transferIdle() && receiver.transferIdle(); }, timeoutMs);
}

void TestMessenger::whenDialogOpens(
    const QString &objectName, std::function<void(QWidget *dialog)> onOpen)
{
    auto *poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, poll, [poll, objectName, onOpen] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        const auto open
            = std::find_if(windows.cbegin(), windows.cend(), [&](const QWidget *widget) {
                  return widget->isVisible() && widget->objectName() == objectName;
              });
        if (open == windows.cend())
            return;
        poll->deleteLater();
        poll->stop();
        onOpen(*open);
    });
    poll->start(5);
}

bool TestMessenger::transferIdle() const
{
    const frmMain &main = window();
    return !main.transfer().Transferring()
        && main.findChild<QProgressBar *>(QStringLiteral("PBFTP"))->value() == 0
        && action(QStringLiteral("mnuSendFile"))->text() == u"&Send File"
        && main.WskFTP().State() == SocketEndpoint::SocketState::Listening;
}

bool TestMessenger::listening() const
{
    const frmMain &main = window();
    return !main.chat().sessionOpen()
        && main.WskMain().State() == SocketEndpoint::SocketState::Listening
        && main.statusText(0) == u"Listening...";
}
