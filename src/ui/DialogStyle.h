#pragma once

#include <QFont>
#include <Qt>

class QLineEdit;
class QString;

// What the small dialogs share: a fixed border with a title and a close button only, bold
// Tahoma captions, Arial text fields, and how a field with a length limit shows a value.
namespace DialogStyle {

inline constexpr Qt::WindowFlags FixedDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint
    | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// Tahoma 8.25 pt bold: labels and buttons.
QFont captionFont();
// Arial 9 pt: text fields.
QFont fieldFont();
// Arial 8.25 pt: the file dialogs' name fields.
QFont nameFieldFont();

// Shows a value whole even when it is longer than the field's limit, which then only stops
// typing: a value edited by hand in the settings must not be cut short by OK.
void setLimitedText(QLineEdit *field, int limit, const QString &text);

} // namespace DialogStyle
