#include "app/CommonDialog.h"
#include "support/ScriptedDesktop.h"

#include <QColor>
#include <QFont>
#include <QTest>

// The shared picker object: filters in Qt's form, and values kept from one use to the next.
class tst_CommonDialog : public QObject
{
    Q_OBJECT

private slots:
    void filters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qtFilter");
        QTest::newRow("all files") << u"All Files (*.*)|*.*"_qs << u"All Files (*)"_qs;
        QTest::newRow("rich text, then all")
            << u"RichText Format (*.rtf)|*.rtf|All Files (*.*)|*.*"_qs
            << u"RichText Format (*.rtf);;All Files (*)"_qs;
        QTest::newRow("several patterns")
            << u"Pictures|*.png;*.jpg"_qs << u"Pictures (*.png *.jpg)"_qs;
        QTest::newRow("description without patterns")
            << u"All Files (*.*)|*.*|Text"_qs << u"All Files (*)"_qs;
        QTest::newRow("none") << QString() << QString();
    }
    void filters()
    {
        QFETCH(QString, filter);
        QFETCH(QString, qtFilter);
        ScriptedDesktop desktop;
        CommonDialog dialog(desktop);
        dialog.Filter = filter;
        dialog.ShowOpen(nullptr);
        QCOMPARE(desktop.fileFilters, QStringList { qtFilter });
    }

    // A cancelled save must leave the last file name alone, so it never becomes the target.
    void fileChoices()
    {
        ScriptedDesktop desktop;
        CommonDialog dialog(desktop);
        dialog.FileName = u"/tmp/last.rtf"_qs;
        desktop.dialogAnswers
            = { QVariant(), QVariant(u"/tmp/new.rtf"_qs), QVariant(u"/tmp/sent.bin"_qs) };

        QVERIFY(!dialog.ShowSave(nullptr));
        QCOMPARE(dialog.FileName, u"/tmp/last.rtf"_qs);
        QVERIFY(dialog.ShowSave(nullptr));
        QCOMPARE(dialog.FileName, u"/tmp/new.rtf"_qs);
        QVERIFY(dialog.ShowOpen(nullptr));
        QCOMPARE(dialog.FileName, u"/tmp/sent.bin"_qs);
        QCOMPARE(desktop.dialogsShown, (QStringList { u"save"_qs, u"save"_qs, u"open"_qs }));
        QCOMPARE(desktop.dialogsOpenedOn.at(2).toString(), u"/tmp/new.rtf"_qs);
    }

    void fontChoices()
    {
        ScriptedDesktop desktop;
        CommonDialog dialog(desktop);
        dialog.FontName = u"Qirtas1"_qs;
        dialog.FontSize = 12;
        dialog.FontBold = true;
        QFont chosen(u"Arial"_qs, 22);
        chosen.setItalic(true);
        desktop.dialogAnswers = { QVariant::fromValue(chosen), QVariant() };

        QVERIFY(dialog.ShowFont(nullptr));
        QVERIFY(!dialog.ShowFont(nullptr));
        QFont first(u"Qirtas1"_qs, 12);
        first.setBold(true);
        QCOMPARE(desktop.dialogsOpenedOn, (QList<QVariant> { first, chosen }));
        QCOMPARE((QList<QVariant> {
                     dialog.FontName, dialog.FontSize, dialog.FontBold, dialog.FontItalic }),
            (QList<QVariant> { u"Arial"_qs, 22.0, false, true }));
    }

    // The colour picker opens on what it returned last and keeps it when closed without
    // a choice.
    void colorChoices()
    {
        ScriptedDesktop desktop;
        CommonDialog dialog(desktop);
        desktop.dialogAnswers = { QVariant::fromValue(QColor(255, 0, 0)), QVariant(),
            QVariant::fromValue(QColor(0, 128, 255)) };

        QVERIFY(dialog.ShowColor(nullptr));
        QCOMPARE(dialog.Color, 0x0000FF);
        QVERIFY(!dialog.ShowColor(nullptr));
        QCOMPARE(dialog.Color, 0x0000FF);
        QVERIFY(dialog.ShowColor(nullptr));
        QCOMPARE(dialog.Color, 0xFF8000);
        QCOMPARE(desktop.dialogsOpenedOn,
            (QList<QVariant> { QColor(0, 0, 0), QColor(255, 0, 0), QColor(255, 0, 0) }));
    }
};

QTEST_MAIN(tst_CommonDialog)
#include "tst_CommonDialog.moc"
