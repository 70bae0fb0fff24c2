#include "ui/DialogStyle.h"

#include <QLineEdit>

namespace DialogStyle {

QFont captionFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    font.setBold(true);
    return font;
}

QFont fieldFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9);
    return font;
}

QFont nameFieldFont()
{
    QFont font = fieldFont();
    font.setPointSizeF(8.25);
    return font;
}

void setLimitedText(QLineEdit *field, int limit, const QString &text)
{
    field->setMaxLength(qMax(limit, int(text.size())));
    field->setText(text);
}

} // namespace DialogStyle
