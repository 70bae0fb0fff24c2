// Prints how fast Urdu text is shaped, and how long one keystroke takes in a composer that
// already holds a thousand keys (edit, shape, refill the box), on the offscreen platform.
#include "ComposerKeystrokes.h"
#include "controls/UrduText.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/basUrdu.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

constexpr qsizetype ShapedBytes = 1 << 20;
constexpr int ShapeRounds = 20;
constexpr int ComposerKeys = 1000;
constexpr int Keystrokes = 4000;

void measureShaping()
{
    const UrduKeyText keys = ComposerKeystrokes::randomKeyText(ShapedBytes);
    qint64 best = std::numeric_limits<qint64>::max();
    qsizetype checksum = 0;
    for (int round = 0; round < ShapeRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        checksum += ShapeUrdu(keys).size();
        best = std::min(best, timer.nsecsElapsed());
    }
    const double megabytesPerSecond
        = double(ShapedBytes) / (1024.0 * 1024.0) / (double(best) / 1e9);
    std::printf("# ShapeUrdu of a 1 MiB key text, best of %d rounds: %.3f ms (checksum %lld)\n",
        ShapeRounds, double(best) / 1e6, static_cast<long long>(checksum));
    std::printf("shape_mb_per_s: %.0f MB/s\n", megabytesPerSecond);
}

void measureKeystrokes()
{
    UrduText composer;
    composer.resize(600, composer.height());
    composer.show();
    composer.setText(ComposerKeystrokes::randomKeyText(ComposerKeys));
    const double microseconds = ComposerKeystrokes::microsecondsPerKey(composer, Keystrokes, false);
    std::printf("# one keystroke in a composer of %d keys, over %d keys (text now %lld keys)\n",
        ComposerKeys, Keystrokes, static_cast<long long>(composer.Text().size()));
    std::printf("keystroke_us: %.1f us\n", microseconds);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Without the glyph font every glyph goes through the desktop's font fallback, which
    // makes a keystroke many times slower than with it.
    std::printf("# glyph font %s\n",
        UrduGlyphFont::install() ? "loaded" : "missing: keystrokes pay for font fallback");
    measureShaping();
    measureKeystrokes();
    return 0;
}
