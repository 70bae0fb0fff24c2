#include "support/TranscriptRuns.h"

#include <QTextBlock>
#include <QTextDocument>

namespace TranscriptRuns {

QStringList of(const QTextDocument &document)
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            lines << QStringLiteral("|");
        const QChar alignment = block.blockFormat().alignment() & Qt::AlignRight ? u'R' : u'L';
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            const QStringList families = format.fontFamilies().toStringList();
            lines << QStringLiteral("%1 %2 %3 %4%5%6 \"%7\"")
                         .arg(alignment)
                         .arg(families.value(0))
                         .arg(format.fontPointSize())
                         .arg(format.foreground().color().name())
                         .arg(format.fontWeight() >= QFont::Bold ? QStringLiteral(" B") : QString())
                         .arg(format.fontItalic() ? QStringLiteral(" I") : QString())
                         .arg(fragment.fragment().text());
        }
    }
    return lines;
}

} // namespace TranscriptRuns
