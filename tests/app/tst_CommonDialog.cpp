#include "app/CommonDialog.h"
#include "support/ScriptedDesktop.h"

#include <QTest>

// The shared picker object: filters in Qt's form, and the file name kept across uses.
class tst_CommonDialog : public QObject
{
    Q_OBJECT

private slots:
    // The pickers' filter strings become the desktop dialog's, whatever their shape (the
    // Save As filter is checked through the main window).
    void filters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qtFilter");
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
};

QTEST_MAIN(tst_CommonDialog)
#include "tst_CommonDialog.moc"
