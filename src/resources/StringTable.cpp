#include "resources/StringTable.h"

#include <QFile>
#include <QHash>

namespace StringTable {

namespace {

    QHash<int, QString> loadTable()
    {
        QHash<int, QString> table;
        QFile file(QStringLiteral(":/resources/strings.tsv"));
        if (!file.open(QIODevice::ReadOnly))
            return table;
        const QString content = QString::fromUtf8(file.readAll());
        for (const QString &line : content.split(u'\n')) {
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const qsizetype tab = line.indexOf(u'\t');
            bool ok = false;
            const int id = line.left(tab).toInt(&ok);
            if (tab > 0 && ok)
                table.insert(id, line.mid(tab + 1));
        }
        return table;
    }

} // namespace

QString text(int id)
{
    // Read once; the table is constant for the life of the process.
    static const QHash<int, QString> table = loadTable();
    return table.value(id);
}

} // namespace StringTable
