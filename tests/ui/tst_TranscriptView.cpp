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
        transcript.AppendStyledRun(u"\r\nali Says : \r\n"_qs, u"Arial"_qs, 10, 0, true, false, Transcript::Left);
        transcript.AppendStyledRun(UrduGlyphFont::toDisplay(ShapeUrdu("slam 12")) + u"\r\n"_qs, u"Qirtas1"_qs, 12, 0,
                                   false, false, Transcript::Right);
        view.selectAll();
        view.copy();

        const QMimeData *copied = QApplication::clipboard()->mimeData();
        QCOMPARE(copied->text(), u"\nali Says : \n\u0633\u0644\u0627\u0645 \u06F1\u06F2\n"_qs);
        QCOMPARE(UrduUnicode::keysFrom(*copied).keys, QByteArray("slam 12"));
    }
};

QTEST_MAIN(tst_TranscriptView)
#include "tst_TranscriptView.moc"
