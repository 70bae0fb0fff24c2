#include "ui/RtfWriter.h"
#include "urdu/UrduGlyphFont.h"

#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

class tst_RtfWriter : public QObject
{
    Q_OBJECT

private slots:
    // A saved Urdu line reads as the window shows it: numbers left to right, the rest as stored.
    void urduAsShown()
    {
        QTextDocument document;
        document.setDefaultFont(UrduGlyphFont::font(12));
        QTextCursor(&document).insertText(UrduGlyphFont::toDisplay("\xc1 x21 03:21"));
        QCOMPARE(RtfWriter::write(document).split('\n').value(3),
            "\\pard\\ql\\f0\\fs24\\cf0\\b0\\i0 \\'c1 \\'78\\'31\\'32 \\'31\\'32\\'3a\\'33\\'30\r");
    }
};

QTEST_MAIN(tst_RtfWriter)
#include "tst_RtfWriter.moc"
