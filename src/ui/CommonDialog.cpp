#include "ui/CommonDialog.h"

#include "chat/ColorNumber.h"

#include <QColor>
#include <QFont>
#include <QRegularExpression>

namespace {

// "*.*" means every file to the classic pickers, but only names with a dot to Qt.
QString qtPatterns(const QString &patterns)
{
    QStringList result;
    for (const QString &pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        result << (trimmed == u"*.*" ? QStringLiteral("*") : trimmed);
    }
    return result.join(u' ');
}

// Qt reads a filter's patterns from the parentheses that end its text, so the description's
// own pattern list is replaced by the patterns in Qt's form.
QString qtFilterEntry(const QString &description, const QString &patterns)
{
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QString text = description;
    text.remove(trailingPatterns);
    return text + QStringLiteral(" (") + qtPatterns(patterns) + u')';
}

qint32 colorNumber(const QColor &color)
{
    return qint32(color.red() | color.green() << 8 | color.blue() << 16);
}

} // namespace

CommonDialog::CommonDialog(Desktop &desktop)
    : m_desktop(desktop)
{
}

QString CommonDialog::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    // A description without its patterns at the end is dropped.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries << qtFilterEntry(parts.at(i), parts.at(i + 1));
    return entries.join(QStringLiteral(";;"));
}

bool CommonDialog::ShowOpen(QWidget *parent)
{
    return showFile(parent, Desktop::FileMode::Open);
}

bool CommonDialog::ShowSave(QWidget *parent)
{
    return showFile(parent, Desktop::FileMode::Save);
}

bool CommonDialog::showFile(QWidget *parent, Desktop::FileMode mode)
{
    QString chosen = FileName;
    if (!m_desktop.chooseFile(parent, mode, qtFilter(Filter), chosen))
        return false;
    FileName = chosen;
    return true;
}

bool CommonDialog::ShowFont(QWidget *parent)
{
    QFont font(FontName);
    if (FontSize > 0)
        font.setPointSizeF(FontSize);
    font.setBold(FontBold);
    font.setItalic(FontItalic);
    if (!m_desktop.chooseFont(parent, font))
        return false;
    FontName = font.family();
    FontSize = font.pointSizeF();
    FontBold = font.bold();
    FontItalic = font.italic();
    return true;
}

bool CommonDialog::ShowColor(QWidget *parent)
{
    QColor color = ColorNumber::toColor(Color);
    if (!m_desktop.chooseColor(parent, color))
        return false;
    Color = colorNumber(color);
    return true;
}
