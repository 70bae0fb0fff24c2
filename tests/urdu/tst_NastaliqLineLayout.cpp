#include "urdu/NastaliqFont.h"
#include "urdu/NastaliqLineLayout.h"

#include <QGlyphRun>
#include <QTest>
#include <QTextLayout>

#include <algorithm>
#include <memory>

// A line laid out a word at a time puts its carets where Qt's layout of the whole line would,
// but where a number meets letters.
class tst_NastaliqLineLayout : public QObject
{
    Q_OBJECT

    static QFont font() { return NastaliqFont::font(QFont(QStringLiteral("Qirtas1"), 24)); }

    static std::unique_ptr<QTextLayout> wholeLine(const QString &text)
    {
        auto whole = std::make_unique<QTextLayout>(text, font());
        QTextOption option;
        option.setTextDirection(Qt::RightToLeft);
        whole->setTextOption(option);
        whole->beginLayout();
        whole->createLine();
        whole->endLayout();
        return whole;
    }

    static bool isDigit(const QString &text, int index)
    {
        return index >= 0 && index < text.size() && text.at(index).isDigit();
    }

private slots:
    void initTestCase() { QVERIFY(NastaliqFont::install()); }

    void asWholeLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("words") << QStringLiteral("آپ کیسے ہیں؟");
        QTest::newRow("numbers") << QStringLiteral("میں ۱۲ سال کا ہوں، ۳۴ ۵۶");
        QTest::newRow("number in a word") << QStringLiteral("سن۲۰۲۶ء تک");
        QTest::newRow("blanks at the ends and between") << QStringLiteral("  خدا   حافظ ");
        QTest::newRow("lam alef") << QStringLiteral("لا لالہ");
    }
    // Away from numbers' edges, where it differs on purpose (see numberEdges), every caret is
    // where Qt's layout of the whole line puts it. A click puts the caret under the mouse.
    void asWholeLine()
    {
        QFETCH(QString, text);
        NastaliqLineLayout layout;
        layout.setFont(font());
        layout.setText(text);
        const auto whole = wholeLine(text);
        const QTextLine line = whole->lineAt(0);
        QVERIFY(qAbs(layout.width() - line.horizontalAdvance()) < 1);
        for (int offset = 0; offset <= text.size(); ++offset) {
            const qreal x = layout.cursorToX(offset);
            if (!isDigit(text, offset - 1) && !isDigit(text, offset))
                QVERIFY2(qAbs(x - line.cursorToX(offset)) < 1, qPrintable(QString::number(offset)));
            QCOMPARE(layout.cursorToX(layout.xToCursor(x)), x);
        }
    }

    // Where letters meet a number, the caret stands at the number's edge next to the letters,
    // where a letter typed there appears, as the glyph font's box shows it.
    void numberEdges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("numberStart");
        QTest::addColumn<int>("numberEnd");
        QTest::addColumn<bool>("leftEdge");
        const auto row = [](const char *name, const char16_t *text, int offset, int start, int end,
                             bool left) {
            QTest::newRow(name) << QString::fromUtf16(text) << offset << start << end << left;
        };
        row("ending the text", u"ب ۱۲", 4, 2, 4, true);
        row("starting the text", u"۱۲ ب", 0, 0, 2, false);
        row("after letters in a word", u"سن۲۰۲۶ء", 2, 2, 6, false);
        row("before letters in a word", u"سن۲۰۲۶ء", 6, 2, 6, true);
        row("after a blank", u"میں ۱۲ سال", 4, 4, 6, false);
        row("before a blank", u"میں ۱۲ سال", 6, 4, 6, true);
        row("a time", u"بجے۱۲:۳۰ تک", 3, 3, 8, false);
        row("after a time", u"بجے۱۲:۳۰ تک", 8, 3, 8, true);
    }
    void numberEdges()
    {
        QFETCH(QString, text);
        QFETCH(int, offset);
        QFETCH(int, numberStart);
        QFETCH(int, numberEnd);
        QFETCH(bool, leftEdge);
        NastaliqLineLayout layout;
        layout.setFont(font());
        layout.setText(text);
        const auto whole = wholeLine(text);
        QList<qreal> edges;
        for (const QGlyphRun &run :
            whole->lineAt(0).glyphRuns(numberStart, numberEnd - numberStart)) {
            const auto advances = run.rawFont().advancesForGlyphIndexes(run.glyphIndexes());
            for (qsizetype glyph = 0; glyph < advances.size(); ++glyph)
                edges << run.positions().at(glyph).x()
                      << run.positions().at(glyph).x() + advances.at(glyph).x();
        }
        const auto [left, right] = std::minmax_element(edges.cbegin(), edges.cend());
        QVERIFY(qAbs(layout.cursorToX(offset) - (leftEdge ? *left : *right)) < 1);
    }

    // Words typed and taken back are not kept for the life of the line: a thousand of them
    // leave no more than a few dozen shaped.
    void forgetsWordsNoLongerShown()
    {
        NastaliqLineLayout layout;
        layout.setFont(NastaliqFont::font(QFont(QStringLiteral("Qirtas1"), 12)));
        for (int number = 0; number < 1000; ++number)
            layout.setText(QStringLiteral("سلام %1").arg(number));
        QVERIFY(layout.keptWords() < 100);
    }
};

QTEST_MAIN(tst_NastaliqLineLayout)
#include "tst_NastaliqLineLayout.moc"
