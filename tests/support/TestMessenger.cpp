#include "support/TestMessenger.h"

#include "controls/UrduText.h"
#include "net/SocketEndpoint.h"
#include "transfer/TransferSession.h"
#include "ui/Composers.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMetaEnum>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTimer>

QFont pickedFont(const char *family, qreal size, bool bold, bool italic)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(size);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QStringList transcriptRuns(const QTextDocument &document)
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            lines << QStringLiteral("|");
        const QChar alignment = block.blockFormat().alignment() & Qt::AlignRight ? u'R' : u'L';
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            lines << QStringLiteral("%1 %2 %3 %4%5%6 \"%7\"")
                         .arg(alignment)
                         .arg(format.fontFamilies().toStringList().value(0))
                         .arg(format.fontPointSize())
                         .arg(format.foreground().color().name())
                         .arg(format.fontWeight() >= QFont::Bold ? QStringLiteral(" B") : QString())
                         .arg(format.fontItalic() ? QStringLiteral(" I") : QString())
                         .arg(fragment.fragment().text());
        }
    }
    return lines;
}

TestMessenger::TestMessenger(const QString &bindAddress, Ports ports, bool trayAvailable,
    std::function<QDBusConnection()> notificationBus)
    : TestProgram(bindAddress, ports, {}, &frmMain::make, trayAvailable, std::move(notificationBus))
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
    return ::transcriptRuns(
        *window().findChild<QTextEdit *>(QStringLiteral("rtbMain"))->document());
}

void TestMessenger::play(const QString &steps)
{
    const QMetaEnum states = QMetaEnum::fromType<ChatSession::State>();
    for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
        if (step.startsWith(u"mnu"))
            action(step)->trigger();
        else
            emit chat().stateChanged(ChatSession::State(states.keyToValue(qPrintable(step))));
    }
}

void TestMessenger::type(const QString &text)
{
    const Composers &composers = window().composers();
    if (composers.EnglishMode())
        composers.txtSendEN()->setPlainText(text);
    else
        composers.txtSend()->setText(text.toLatin1());
}

void TestMessenger::fillIn(const char *entry, const char *dialog, const char *field,
    const QString &text, const char *button)
{
    whenDialogOpens(QLatin1String(dialog), [=](QWidget *opened) {
        opened->findChild<QLineEdit *>(QLatin1String(field))->setText(text);
        opened->findChild<QPushButton *>(QLatin1String(button))->click();
    });
    action(QLatin1String(entry))->trigger();
}

bool TestMessenger::openSessionWith(TestMessenger &callee, const QString &calleeAddress)
{
    fillIn("mnuConnect", "frmConnect", "txtIP", calleeAddress, "cmdOk");
    return busyWaitFor([&] { return chat().sessionOpen() && callee.chat().sessionOpen(); });
}

void TestMessenger::sendFile(const QString &path)
{
    fillIn("mnuSendFile", "frmFileTransfer", "txtFileName", path, "cmdOK");
}

bool TestMessenger::sendFileTo(TestMessenger &receiver, const QString &path, int timeoutMs)
{
    sendFile(path);
    return busyWaitFor([&] { return transferIdle() && receiver.transferIdle(); }, timeoutMs);
}

void TestMessenger::whenDialogOpens(
    const QString &objectName, std::function<void(QWidget *dialog)> onOpen)
{
    auto *poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, poll, [poll, objectName, onOpen] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->objectName() == objectName) {
                poll->deleteLater();
                poll->stop();
                onOpen(widget);
                return;
            }
        }
    });
    poll->start(5);
}

bool TestMessenger::transferIdle() const
{
    return !transfer().Transferring()
        && window().findChild<QProgressBar *>(QStringLiteral("PBFTP"))->value() == 0
        && action(QStringLiteral("mnuSendFile"))->text() == u"&Send File"
        && transfer().WskFTP().State() == SocketEndpoint::SocketState::Listening;
}

bool TestMessenger::listening() const
{
    return !chat().sessionOpen()
        && chat().WskMain().State() == SocketEndpoint::SocketState::Listening
        && window().statusText(0) == u"Listening...";
}
