// Prints how Urdu in Nastaliq performs on the offscreen platform: one keystroke in a composer
// that holds a thousand keys (edit, shape, lay out and draw the words it changed), and
// how appending Urdu messages to a Nastaliq transcript keeps its pace as it grows.
#include "BenchSupport.h"
#include "ComposerKeystrokes.h"
#include "chat/MessageMarkup.h"
#include "controls/UrduText.h"
#include "ui/Transcript.h"
#include "urdu/NastaliqFont.h"
#include "urdu/UrduGlyphFont.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextEdit>

#include <cstdio>

namespace {

constexpr int ComposerKeys = 1000;
constexpr int Keystrokes = 1000;
constexpr int Messages = 20000;
constexpr int Batch = 1000;

// A keystroke as the Naskh figure keystroke_us measures it, in Nastaliq: unpainted, then drawn
// after each key as on screen.
void measureKeystrokes()
{
    std::printf("# one keystroke in a Nastaliq composer of %d keys, over %d keys\n", ComposerKeys,
        Keystrokes);
    for (const bool painted : { false, true }) {
        UrduText composer;
        composer.setScript(UrduScript::Nastaliq);
        composer.resize(600, composer.height());
        composer.show();
        composer.setText(ComposerKeystrokes::randomKeyText(ComposerKeys));
        std::printf("keystroke_nastaliq%s_us: %.1f us\n", painted ? "_painted" : "",
            ComposerKeystrokes::microsecondsPerKey(composer, Keystrokes, painted));
        if (painted)
            std::printf("# words kept shaped: %lld\n",
                static_cast<long long>(composer.txtMain()->shapedWords()));
    }
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
    const BenchSupport::FirstAndLast taken = BenchSupport::firstAndLastBatch(Messages, Batch,
        [&](int number) { transcript.ShowMessage(QStringLiteral("ali"), number % 2, message); });
    std::printf(
        "# %d two-line Urdu messages in Nastaliq; first 1,000: %.1f ms, last 1,000: %.1f ms\n",
        Messages, double(taken.first) / 1e6, double(taken.last) / 1e6);
    std::printf("transcript_nastaliq_append_ratio: %.2f\n", taken.ratio());
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
