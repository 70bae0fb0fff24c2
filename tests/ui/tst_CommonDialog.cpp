#include "support/ScriptedDesktop.h"
#include "ui/CommonDialog.h"

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
            << QStringLiteral("Pictures|*.png;*.jpg") << QStringLiteral("Pictures (*.png *.jpg)");
        QTest::newRow("description without patterns")
            << QStringLiteral("All Files (*.*)|*.*|Text") << QStringLiteral("All Files (*)");
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
        dialog.FileName = QStringLiteral("/tmp/last.rtf");
        desktop.dialogAnswers = { QVariant(), QVariant(QStringLiteral("/tmp/new.rtf")),
            QVariant(QStringLiteral("/tmp/sent.bin")) };

        QVERIFY(!dialog.ShowSave(nullptr));
        QCOMPARE(dialog.FileName, QStringLiteral("/tmp/last.rtf"));
        QVERIFY(dialog.ShowSave(nullptr));
        QCOMPARE(dialog.FileName, QStringLiteral("/tmp/new.rtf"));
        QVERIFY(dialog.ShowOpen(nullptr));
        QCOMPARE(dialog.FileName, QStringLiteral("/tmp/sent.bin"));
        QCOMPARE(desktop.dialogsShown,
            (QStringList {
                QStringLiteral("save"), QStringLiteral("save"), QStringLiteral("open") }));
        QCOMPARE(desktop.dialogsOpenedOn.at(2).toString(), QStringLiteral("/tmp/new.rtf"));
    }
};

QTEST_MAIN(tst_CommonDialog)
#include "tst_CommonDialog.moc"
