#include "ComposerKeystrokes.h"

#include "controls/UrduText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QRandomGenerator>

namespace ComposerKeystrokes {

namespace {

    void sendKey(QWidget *box, int key, const QString &text)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(box, &release);
    }

} // namespace

UrduKeyText randomKeyText(qsizetype length)
{
    static constexpr char Alphabet[]
        = "abcdefghijklmnopqrstuvwxyzABCDEGHJKLNORSTVWXYZ   0123456789";
    QRandomGenerator random(1);
    UrduKeyText keys(length, Qt::Uninitialized);
    for (char &key : keys)
        key = Alphabet[random.bounded(int(sizeof Alphabet) - 1)];
    return keys;
}

double microsecondsPerKey(UrduText &composer, int keystrokes, bool painted)
{
    QWidget *box = composer.txtMain();
    const int middle = int(composer.txtMain()->text().size() / 2);
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (int stroke = 0; stroke < keystrokes; ++stroke) {
        composer.txtMain()->setCursorPosition(middle);
        if (stroke % 2 == 0)
            sendKey(box, Qt::Key_B, QStringLiteral("b"));
        else
            sendKey(box, Qt::Key_Backspace, QStringLiteral("\b"));
        if (painted)
            box->repaint();
    }
    return double(timer.nsecsElapsed()) / 1e3 / keystrokes;
}

} // namespace ComposerKeystrokes
