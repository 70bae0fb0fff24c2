#include "chat/MessageMarkup.h"

#include "chat/ColorNumber.h"
#include "net/WireText.h"
#include "urdu/UrduGlyphFont.h"

#include <QStringList>

#include <QtNumeric>

#include <cmath>
#include <limits>
#include <optional>

namespace {

// A number goes out in decimal, led by one blank when it is not negative; partners expect
// exactly that form.
QByteArray signedField(const QByteArray &digits)
{
    return digits.startsWith('-') ? digits : ' ' + digits;
}

// Sizes use "." and no trailing zeros whatever the desktop's locale: 9, 8.25, 13.5.
QByteArray sizeDigits(qreal pointSize)
{
    QByteArray digits = QByteArray::number(pointSize, 'f', 6);
    while (digits.endsWith('0'))
        digits.chop(1);
    if (digits.endsWith('.'))
        digits.chop(1);
    return digits;
}

// The leading decimal number of a field: blanks, an optional sign, digits and a "."
// fraction; 0 when the field does not begin with a number, NaN when it is too large to hold.
double leadingNumber(QByteArrayView field)
{
    qsizetype i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    const qsizetype start = i;
    if (i < field.size() && (field[i] == '-' || field[i] == '+'))
        ++i;
    qsizetype digits = 0;
    bool fraction = false;
    for (; i < field.size(); ++i) {
        if (field[i] == '.' && !fraction)
            fraction = true;
        else if (field[i] >= '0' && field[i] <= '9')
            ++digits;
        else
            break;
    }
    if (digits == 0)
        return 0;
    bool ok = false;
    const double value = field.sliced(start, i - start).toByteArray().toDouble(&ok);
    return ok ? value : qQNaN();
}

double roundHalfToEven(double value)
{
    const double floor = std::floor(value);
    const double rest = value - floor;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(floor, 2.0) != 0))
        return floor + 1;
    return floor;
}

// The whole number a field stands for, or nothing when it does not fit T.
template<typename T> std::optional<T> wholeNumber(QByteArrayView field)
{
    const double value = roundHalfToEven(leadingNumber(field));
    if (!qIsFinite(value) || value < std::numeric_limits<T>::min()
        || value > std::numeric_limits<T>::max())
        return std::nullopt;
    return static_cast<T>(value);
}

// Positions below count from 1 and 0 means "not found", the way the markup has always been
// read: a missing tag then reads from the third character on, which peers may rely on.
qsizetype find(const QByteArray &s, qsizetype from, const char *what)
{
    return s.indexOf(what, from - 1) + 1;
}

// The characters after `tag` up to the next "\", or nothing when the count comes out
// negative (no "\" after the tag, in practice).
std::optional<QByteArray> taggedField(const QByteArray &s, const char *tag)
{
    const qsizetype a = find(s, 1, tag);
    const qsizetype b = find(s, a + 1, "\\");
    const qsizetype count = b - a - 3;
    if (count < 0)
        return std::nullopt;
    return s.mid(a + 2, count);
}

// The message text between "\{T:" and the first "\}" after it, when both are there.
std::optional<QByteArray> textField(const QByteArray &s)
{
    const qsizetype a = find(s, 1, "\\{T:");
    if (a == 0)
        return std::nullopt;
    const qsizetype b = find(s, a + 1, "\\}");
    if (b == 0)
        return std::nullopt;
    return s.mid(a + 3, b - a - 4);
}

bool decodeHeader(const QByteArray &s, DecodedMessage &message)
{
    message.MsgBold = s.contains("\\BLD");
    message.MsgItalic = s.contains("\\ITL");

    const auto font = taggedField(s, "\\F:");
    if (!font)
        return false;
    message.MsgFontName = WireText::fromWire(*font);

    const auto colorField = taggedField(s, "\\C:");
    const auto color = colorField ? wholeNumber<qint32>(*colorField) : std::nullopt;
    if (!color)
        return false;
    message.MsgColor = *color;

    const auto sizeField = taggedField(s, "\\S:");
    const auto size = sizeField ? wholeNumber<qint16>(*sizeField) : std::nullopt;
    if (!size)
        return false;
    message.MsgFontSize = *size;

    const qsizetype language = find(s, 1, "\\L:");
    message.MsgUrdu = leadingNumber(s.mid(language + 2, 1)) != 0;
    return true;
}

// A message whose text cannot be found shows its own bytes in the style of a composer that
// was never changed, rather than an earlier message's words.
void showAsPlainText(const QByteArray &s, DecodedMessage &message)
{
    message.MsgFontName = QStringLiteral("Arial");
    message.MsgFontSize = 10;
    message.MsgBold = false;
    message.MsgItalic = false;
    message.MsgColor = ColorNumber::WindowText;
    message.MsgText = s;
    message.MsgUrdu = false;
}

} // namespace

QByteArray MessageMarkup::EncodeMessage(
    const MessageStyle &style, const QByteArray &text, bool isUrdu)
{
    QByteArray markup;
    if (style.bold)
        markup += "\\BLD";
    if (style.italic)
        markup += "\\ITL";
    markup += "\\F:" + WireText::toWire(style.fontName);
    markup += "\\C:" + signedField(QByteArray::number(style.color));
    markup += "\\S:" + signedField(sizeDigits(style.pointSize));
    markup += isUrdu ? "\\L:1" : "\\L:0";
    markup += "\\{T:" + text + "\\}";
    return markup;
}

bool MessageMarkup::DecodeMessage(const QByteArray &markup, DecodedMessage &message)
{
    const auto text = markup.size() <= MaxMarkupBytes ? textField(markup) : std::nullopt;
    if (!text) {
        showAsPlainText(markup, message);
        return false;
    }
    const bool headerRead = decodeHeader(markup, message);
    message.MsgText = *text;
    return headerRead;
}

QString MessageMarkup::readableText(const DecodedMessage &message,
    const std::function<QString(const QByteArray &line)> &glyphLine, const QString &lineBreak)
{
    if (!message.MsgFontName.startsWith(UrduGlyphFont::familyPrefix()))
        return WireText::fromWire(message.MsgText);
    QStringList lines;
    for (const QByteArray &line : message.MsgText.split('\n'))
        lines << glyphLine(line.endsWith('\r') ? line.chopped(1) : line);
    return lines.join(lineBreak);
}
