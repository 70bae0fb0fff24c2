#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// How the sender's composer showed a message: what the markup carries besides the text.
struct MessageStyle
{
    QString fontName;
    qreal pointSize = 0;
    bool bold = false;
    bool italic = false;
    qint32 color = 0; // a colour number, see ColorNumber
};

// One decoded message, as the transcript shows it. A decode writes these step by step, so a
// value that a decode could not read keeps what the previous message left in it.
struct DecodedMessage
{
    QString MsgFontName;
    qint16 MsgFontSize = 0;
    bool MsgBold = false;
    bool MsgItalic = false;
    qint32 MsgColor = 0;
    QByteArray MsgText; // Windows-1252 bytes, or glyph bytes when MsgUrdu
    bool MsgUrdu = false;
};

// The markup of one chat message: "\BLD" and "\ITL" when bold or italic, then the font
// name after "\F:", the colour after "\C:", the size after "\S:", the language after "\L:"
// and the text between "\{T:" and "\}". Nothing is escaped.
namespace MessageMarkup {

// Text and markup are bytes: text is Windows-1252 (English) or glyph bytes (Urdu).
QByteArray EncodeMessage(const MessageStyle &style, const QByteArray &text, bool isUrdu);

// Decodes in this order: bold and italic, font name, colour, size, language, text. A step
// whose field cannot be read (tag or closing "\" missing, number too large for its value)
// ends the decode and returns false; that step and the later ones keep their values, with
// one exception that keeps a broken message from showing an earlier message's words:
// - when the text field ("\{T:" up to the first "\}" after it) is readable, MsgText always
//   gets it, also after an earlier step failed;
// - when it is not, the message shows as its own bytes in the default style: font "Arial",
//   size 10, neither bold nor italic, the window-text colour, English.
// Markup longer than MaxMarkupBytes is never read and is shown that same default way.
// Returns true when every step ran; markup built by EncodeMessage always decodes fully.
bool DecodeMessage(const QByteArray &markup, DecodedMessage &message);

inline constexpr qsizetype MaxMarkupBytes = 32767;

// A decoded message's text for a reader: text in a Qirtas font is glyph codes, one line of them
// between line breaks, each line turned into text by glyphLine and the lines joined by
// lineBreak; any other font's text is the wire's single-byte text, whole.
QString readableText(const DecodedMessage &message,
    const std::function<QString(const QByteArray &line)> &glyphLine, const QString &lineBreak);

} // namespace MessageMarkup
