// Prints how the cost of appending a chat message to the transcript grows with its length:
// 20,000 messages, each a header run and a body run as a received message writes them,
// alternately English and Urdu, into a shown transcript box on the offscreen platform. Then
// how long Save As takes to write 20,000 runs that each name a font, or a colour, of their
// own, as a partner cycling through names would leave them, against runs that take turns
// in two fonts and colours.
#include "BenchSupport.h"
#include "ui/RtfWriter.h"
#include "ui/Transcript.h"
#include "urdu/UrduGlyphFont.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <unistd.h>

#include <cstdio>
#include <functional>

namespace {

constexpr int Messages = 20000;
constexpr int Batch = 1000;
constexpr int StyledRuns = 20000;

// The resident set size from /proc, in bytes.
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

void appendMessage(Transcript &transcript, int number)
{
    transcript.AppendStyledRun(QStringLiteral("\r\nali Says : \r\n"), QStringLiteral("Arial"), 10,
        number % 2 ? 9978225 : 4954117, true, false, Transcript::Left);
    if (number % 2 == 0) {
        transcript.AppendStyledRun(
            QStringLiteral("   message number %1, an ordinary English line").arg(number),
            QStringLiteral("Arial"), 9, 255, false, false, Transcript::Left);
    } else {
        const QString line = UrduGlyphFont::toDisplay("\xc1\xc2\xc3 \xc4\xc5 \xc6\xc7\xc8\xc9");
        transcript.AppendStyledRun(line + QStringLiteral("\r\n") + line + QStringLiteral("\r\n"),
            UrduGlyphFont::faceName(), 14, 0, false, false, Transcript::Right);
    }
}

// Milliseconds to write as RTF a document of StyledRuns runs, each styled by its number.
double rtfWriteMs(const std::function<void(QTextCharFormat &, int)> &style)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    for (int run = 0; run < StyledRuns; ++run) {
        QTextCharFormat format;
        style(format, run);
        cursor.insertText(QStringLiteral("word "), format);
    }
    QElapsedTimer timer;
    timer.start();
    RtfWriter::write(document);
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UrduGlyphFont::install();

    // Fonts and glyph caches fill on first use; a throwaway transcript pays for that, so the
    // first batch measures appending and not the desktop's start-up.
    {
        QTextEdit warmUp;
        warmUp.show();
        Transcript warmUpTranscript(&warmUp);
        for (int number = 0; number < 100; ++number)
            appendMessage(warmUpTranscript, number);
        QCoreApplication::processEvents();
    }

    QTextEdit rtbMain;
    rtbMain.setReadOnly(true);
    rtbMain.resize(268, 274);
    rtbMain.show();
    Transcript transcript(&rtbMain);
    QCoreApplication::processEvents();

    const qint64 memoryBefore = residentBytes();
    // Messages arrive one socket event at a time; the box repaints in between.
    const BenchSupport::FirstAndLast taken = BenchSupport::firstAndLastBatch(
        Messages, Batch, [&transcript](int number) { appendMessage(transcript, number); });
    const qint64 memoryAfter = residentBytes();

    std::printf("# first 1,000 messages: %.1f ms, last 1,000: %.1f ms\n", double(taken.first) / 1e6,
        double(taken.last) / 1e6);
    std::printf("transcript_append_ratio: %.2f\n", taken.ratio());
    std::printf("transcript_bytes_per_message: %lld bytes\n",
        static_cast<long long>((memoryAfter - memoryBefore) / Messages));

    std::printf("rtf_two_styles_ms: %.1f ms\n", rtfWriteMs([](QTextCharFormat &format, int run) {
        format.setFontFamilies({ run % 2 ? QStringLiteral("Arial") : QStringLiteral("Tahoma") });
        format.setForeground(QColor::fromRgb(QRgb(run % 2)));
    }));
    std::printf("rtf_many_fonts_ms: %.1f ms\n", rtfWriteMs([](QTextCharFormat &format, int run) {
        format.setFontFamilies({ QStringLiteral("Font %1").arg(run) });
    }));
    std::printf("rtf_many_colors_ms: %.1f ms\n", rtfWriteMs([](QTextCharFormat &format, int run) {
        format.setForeground(QColor::fromRgb(QRgb(run)));
    }));
    return 0;
}
