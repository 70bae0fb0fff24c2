// Prints how Urdu in Nastaliq performs on the offscreen platform: one keystroke in a composer
// that holds a thousand keys (edit, shape, lay the Unicode text out in the Nastaliq font), and
// how appending Urdu messages to a Nastaliq transcript keeps its pace as it grows.
#include "chat/MessageMarkup.h"
#include "controls/UrduText.h"
#include "ui/Transcript.h"
#include "urdu/NastaliqFont.h"
#include "urdu/UrduGlyphFont.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTextLayout>

#include <cstdio>

namespace {

constexpr int ComposerKeys = 1000;
constexpr int Keystrokes = 1000;
constexpr int Messages = 20000;
constexpr int Batch = 1000;

UrduKeyText randomWords(qsizetype length)
{
    static constexpr char Alphabet[]
        = "abcdefghijklmnopqrstuvwxyzABCDEGHJKLNORSTVWXYZ   0123456789";
    QRandomGenerator random(1);
    UrduKeyText keys(length, Qt::Uninitialized);
    for (char &key : keys)
        key = Alphabet[random.bounded(int(sizeof Alphabet) - 1)];
    return keys;
}

void sendKey(QWidget *box, int key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(box, &release);
}

// A letter typed and taken back in the middle, as the Naskh figure keystroke_us measures it;
// with `painted`, the box is drawn after each key as well, as on screen.
double keystrokeMicroseconds(bool painted)
{
    UrduText composer;
    composer.setScript(UrduScript::Nastaliq);
    composer.resize(600, composer.height());
    composer.show();
    composer.setText(randomWords(ComposerKeys));
    QLineEdit *box = composer.txtMain();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (int stroke = 0; stroke < Keystrokes; ++stroke) {
        box->setCursorPosition(ComposerKeys / 2);
        if (stroke % 2 == 0)
            sendKey(box, Qt::Key_B, QStringLiteral("b"));
        else
            sendKey(box, Qt::Key_Backspace, QStringLiteral("\b"));
        if (painted)
            box->repaint();
    }
    return double(timer.nsecsElapsed()) / 1e3 / Keystrokes;
}

// What one keystroke cannot go below while the box is a line edit: the box lays its whole
// text out once per edit, and its paint measures the whole text's bounding rectangle again
// (to centre it vertically), which shapes it a second time.
void measureShapingFloor()
{
    UrduText composer;
    composer.setScript(UrduScript::Nastaliq);
    composer.setText(randomWords(ComposerKeys));
    const QString text = composer.readingText();
    const QFont font = composer.txtMain()->font();
    constexpr int Rounds = 200;
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < Rounds; ++round) {
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
    }
    const double layoutUs = double(timer.nsecsElapsed()) / 1e3 / Rounds;
    timer.start();
    for (int round = 0; round < Rounds; ++round)
        QFontMetrics(font).boundingRect(text);
    const double boundsUs = double(timer.nsecsElapsed()) / 1e3 / Rounds;
    std::printf("# the same text laid out alone: %.1f us; its bounding rectangle alone: %.1f us\n",
        layoutUs, boundsUs);
}

void measureKeystrokes()
{
    std::printf("# one keystroke in a Nastaliq composer of %d keys, over %d keys\n", ComposerKeys,
        Keystrokes);
    std::printf("keystroke_nastaliq_us: %.1f us\n", keystrokeMicroseconds(false));
    std::printf("keystroke_nastaliq_painted_us: %.1f us\n", keystrokeMicroseconds(true));
    measureShapingFloor();
}

void measureTranscript()
{
    QTemporaryDir archive;
    QTextEdit rtbMain;
    rtbMain.setReadOnly(true);
    rtbMain.resize(268, 274);
    rtbMain.show();
    Transcript transcript(
        &rtbMain, [] { return QDateTime::currentDateTime(); }, QLocale::c(), archive.path());
    transcript.setUrduScript(UrduScript::Nastaliq);
    const DecodedMessage message { UrduGlyphFont::faceName(), 12, false, false, 0,
        ShapeUrdu("Ap kisE oiN?") + "\r\n" + ShapeUrdu("miN Thik owN, xkrio."), true };
    qint64 firstBatch = 0;
    qint64 lastBatch = 0;
    QElapsedTimer timer;
    for (int number = 0; number < Messages; ++number) {
        if (number % Batch == 0)
            timer.start();
        transcript.ShowMessage(QStringLiteral("ali"), number % 2, message);
        QCoreApplication::processEvents();
        if (number == Batch - 1)
            firstBatch = timer.nsecsElapsed();
        if (number == Messages - 1)
            lastBatch = timer.nsecsElapsed();
    }
    std::printf(
        "# %d two-line Urdu messages in Nastaliq; first 1,000: %.1f ms, last 1,000: %.1f ms\n",
        Messages, double(firstBatch) / 1e6, double(lastBatch) / 1e6);
    std::printf("transcript_nastaliq_append_ratio: %.2f\n", double(lastBatch) / double(firstBatch));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UrduGlyphFont::install();
    if (!NastaliqFont::install()) {
        std::printf(
            "# %s is not installed: nothing to measure\n", qPrintable(NastaliqFont::family()));
        return 1;
    }
    measureKeystrokes();
    measureTranscript();
    return 0;
}
