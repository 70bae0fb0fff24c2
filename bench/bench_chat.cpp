// One message at a time between two complete messengers on loopback: from the press of
// "Send" on one side to the message standing in the partner's transcript.
#include "support/TestMessenger.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Messages = 1000;

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const auto ports = TestMessenger::freePorts();
    TestMessenger caller(QStringLiteral("127.0.0.1"), ports);
    TestMessenger callee(QStringLiteral("127.0.0.2"), ports);
    caller.startAs(QStringLiteral("ali"));
    callee.startAs(QStringLiteral("sara"));
    if (!caller.openSessionWith(callee, QStringLiteral("127.0.0.2"))) {
        std::fprintf(stderr, "no session\n");
        return 1;
    }
    caller.window().findChild<QAction *>(QStringLiteral("mnuEnglish"))->trigger();
    auto *composer = caller.window().findChild<QPlainTextEdit *>(QStringLiteral("txtSendEN"));
    auto *send = caller.window().findChild<QPushButton *>(QStringLiteral("cmdSend"));
    QTextDocument *partnerTranscript
        = callee.window().findChild<QTextEdit *>(QStringLiteral("rtbMain"))->document();

    std::vector<qint64> microseconds;
    microseconds.reserve(Messages);
    QEventLoop shown;
    QObject::connect(partnerTranscript, &QTextDocument::contentsChanged, &shown, [&] {
        if (partnerTranscript->toPlainText().endsWith(composer->property("sent").toString()))
            shown.quit();
    });
    for (int i = 0; i < Messages; ++i) {
        const QString text = QStringLiteral("message number %1").arg(i);
        composer->setProperty("sent", text);
        composer->setPlainText(text);
        QElapsedTimer timer;
        timer.start();
        send->click();
        shown.exec();
        microseconds.push_back(timer.nsecsElapsed() / 1000);
    }
    std::sort(microseconds.begin(), microseconds.end());
    std::printf(
        "chat_rtt_median_us: %lld us\n", static_cast<long long>(microseconds[Messages / 2]));
    std::printf(
        "chat_rtt_p99_us: %lld us\n", static_cast<long long>(microseconds[Messages * 99 / 100]));
    return 0;
}
