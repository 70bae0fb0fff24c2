#include "SoakPair.h"

#include "controls/UrduText.h"
#include "support/TestFiles.h"
#include "ui/Transcript.h"
#include "ui/frmMain.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/basUrdu.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

// A step that takes longer than this on loopback has hung: the status timer that brings a
// closed connection back to listening ticks every half second.
constexpr int ChatStepTimeoutMs = 10000;
// The largest file takes a fraction of a second; a loaded machine may take many times that.
constexpr int TransferTimeoutMs = 60000;

// Urdu as typed, one key per letter: greetings and small talk.
const QByteArray UrduKeys[] = { "slam", "kya hal hE", "Xkria dost", "mEN Tik hON" };

} // namespace

SoakPair::SoakPair()
    : m_ali(QStringLiteral("127.0.0.1"), m_ports)
    , m_sara(QStringLiteral("127.0.0.2"), m_ports)
{
    m_ali.startAs(QStringLiteral("ali"));
    m_sara.startAs(QStringLiteral("sara"));
    m_ali.program->DownloadPath = m_files.filePath(QStringLiteral("to-ali"));
    m_sara.program->DownloadPath = m_files.filePath(QStringLiteral("to-sara"));
}

SoakPair::Side SoakPair::side(bool sara)
{
    if (sara)
        return { m_sara, QStringLiteral("sara"), QStringLiteral("127.0.0.2") };
    return { m_ali, QStringLiteral("ali"), QStringLiteral("127.0.0.1") };
}

QString SoakPair::chatCycle(int index)
{
    const Side caller = side(index % 2 != 0);
    const Side callee = side(index % 2 == 0);
    const bool callerHangsUp = (index / 2) % 2 == 0;
    const bool callerWritesUrdu = (index / 4) % 2 != 0;
    QString failure = call(caller, callee);
    if (failure.isEmpty())
        failure = writeTo(caller, callee, callerWritesUrdu, index);
    if (failure.isEmpty())
        failure = writeTo(callee, caller, !callerWritesUrdu, index);
    if (failure.isEmpty())
        failure = callerHangsUp ? hangUp(caller, callee) : hangUp(callee, caller);
    if (failure.isEmpty())
        failure = boxesOtherThan(caller, {});
    if (failure.isEmpty())
        failure = boxesOtherThan(callee,
            { caller.name + QStringLiteral(" {") + caller.address
                + QStringLiteral(
                    "} wants to Chat you.\r\nDo you want to accept his/her request?") });
    forgetRecords();
    return failure;
}

QString SoakPair::openSession()
{
    const QString failure = call(side(false), side(true));
    forgetRecords();
    return failure;
}

QString SoakPair::call(const Side &caller, const Side &callee)
{
    if (!caller.messenger.openSessionWith(callee.messenger, callee.address))
        return QStringLiteral(
            "%1 called %2, who accepts, but the session did not open on both sides")
            .arg(caller.name, callee.name);
    return {};
}

// The reader's transcript was emptied when the session opened, so the text can only have
// come from this message.
QString SoakPair::writeTo(const Side &writer, const Side &reader, bool urdu, int index)
{
    frmMain &window = writer.messenger.window();
    window.findChild<QAction *>(urdu ? QStringLiteral("mnuUrdu") : QStringLiteral("mnuEnglish"))
        ->trigger();
    QString expected;
    if (urdu) {
        const QByteArray keys = UrduKeys[index % std::size(UrduKeys)];
        window.findChild<UrduText *>(QStringLiteral("txtSend"))->setText(keys);
        expected = UrduGlyphFont::toDisplay(ShapeUrdu(keys));
    } else {
        expected
            = QStringLiteral("cycle %1: %2 writes to %3").arg(index).arg(writer.name, reader.name);
        window.findChild<QPlainTextEdit *>(QStringLiteral("txtSendEN"))->setPlainText(expected);
    }
    window.findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();
    const Transcript &transcript = reader.messenger.window().transcript();
    if (!QTest::qWaitFor(
            [&] { return transcript.plainText().contains(expected); }, ChatStepTimeoutMs))
        return QStringLiteral("%1's %2 message did not reach %3's transcript")
            .arg(writer.name, urdu ? QStringLiteral("Urdu") : QStringLiteral("English"),
                reader.name);
    return {};
}

QString SoakPair::hangUp(const Side &leaver, const Side &other)
{
    leaver.messenger.window().findChild<QAction *>(QStringLiteral("mnuConnect"))->trigger();
    if (!QTest::qWaitFor(
            [&] { return leaver.messenger.listening() && other.messenger.listening(); },
            ChatStepTimeoutMs))
        return QStringLiteral("%1 hung up, but %1 and %2 were not both back to \"Listening...\"")
            .arg(leaver.name, other.name);
    return {};
}

QString SoakPair::transfer(int index, const QByteArray &content)
{
    const Side sender = side(index % 2 != 0);
    const Side receiver = side(index % 2 == 0);
    const QString name = QStringLiteral("soak-%1.bin").arg(index);
    const QString sent = TestFiles::write(m_files.filePath(name), content);
    const QString arrived = receiver.messenger.program->DownloadPath + u'/' + name;
    const QString failure = sendAndCompare(sender, receiver, sent, content);
    QFile::remove(sent);
    QFile::remove(arrived);
    forgetRecords();
    if (failure.isEmpty())
        return {};
    return QStringLiteral("%1 sends %2 bytes to %3: %4")
        .arg(sender.name)
        .arg(content.size())
        .arg(receiver.name, failure);
}

QString SoakPair::sendAndCompare(
    const Side &sender, const Side &receiver, const QString &path, const QByteArray &content)
{
    const QString name = QFileInfo(path).fileName();
    if (!sender.messenger.sendFileTo(receiver.messenger, path, TransferTimeoutMs))
        return QStringLiteral("the two sides were not idle again in time");
    if (TestFiles::read(receiver.messenger.program->DownloadPath + u'/' + name) != content)
        return QStringLiteral("the received file differs from the sent one");
    const QString senderBoxes
        = boxesOtherThan(sender, { QStringLiteral("File has been Sent Successfully.") });
    if (!senderBoxes.isEmpty())
        return senderBoxes;
    return boxesOtherThan(receiver,
        { sender.name + QStringLiteral(" wants to send a file.\r\n") + name
                + QStringLiteral("\r\nDo you want to accept his request?"),
            QStringLiteral("File has been Received Successfully.") });
}

QString SoakPair::boxesOtherThan(const Side &side, const QStringList &expected)
{
    const QStringList shown = side.messenger.textsShown();
    if (shown == expected)
        return {};
    return QStringLiteral("%1 was shown [%2] instead of [%3]")
        .arg(side.name, shown.join(QStringLiteral(" | ")), expected.join(QStringLiteral(" | ")));
}

// The scripted desktops keep every box and sound; kept for a thousand rounds they would
// count as growth of the messengers.
void SoakPair::forgetRecords()
{
    for (TestMessenger *messenger : { &m_ali, &m_sara }) {
        messenger->desktop.shown.clear();
        messenger->desktop.sounds.clear();
    }
}
