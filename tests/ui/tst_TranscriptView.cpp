#include "ui/Transcript.h"
#include "ui/TranscriptView.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduUnicode.h"
#include "urdu/basUrdu.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

// Copying from the transcript gives other programs Unicode Urdu in reading order.
class tst_TranscriptView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { UrduGlyphFont::install(); }

    void copyGivesUnicodeUrdu()
    {
        TranscriptView view;
        Transcript transcript(&view);
        transcript.AppendStyledRun(QStringLiteral("\r\nali Says : \r\n"), QStringLiteral("Arial"),
            10, 0, true, false, Transcript::Left);
        transcript.AppendStyledRun(
            UrduGlyphFont::toDisplay(ShapeUrdu("slam 12")) + QStringLiteral("\r\n"),
            QStringLiteral("Qirtas1"), 12, 0, false, false, Transcript::Right);
        view.selectAll();
        view.copy();

        const QMimeData *copied = QApplication::clipboard()->mimeData();
        QCOMPARE(copied->text(),
            QStringLiteral("\nali Says : \n\u0633\u0644\u0627\u0645 \u06F1\u06F2\n"));
        QCOMPARE(UrduUnicode::keysFrom(*copied).keys, QByteArray("slam 12"));
    }
};

QTEST_MAIN(tst_TranscriptView)
#include "tst_TranscriptView.moc"
