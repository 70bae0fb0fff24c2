#include "net/WireText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

const char *const CodePage = "windows-1252";

// A character outside the BMP takes two UTF-16 units but is still one character.
qsizetype characterLength(QStringView text, qsizetype i)
{
    const bool pair
        = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    return pair ? 2 : 1;
}

// The encoder marks a character it cannot convert with one substitute byte that is also a
// real character (0x1A), so such text is converted one character at a time to know which
// bytes stand for nothing.
QByteArray toWireByCharacter(QStringView text)
{
    QByteArray wire;
    wire.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype length = characterLength(text, i);
        QStringEncoder encoder(CodePage);
        const QByteArray bytes = encoder.encode(text.mid(i, length));
        wire.append(encoder.hasError() || bytes.size() != 1 ? QByteArray(1, '?') : bytes);
        i += length;
    }
    return wire;
}

} // namespace

QByteArray WireText::toWire(const QString &text)
{
    QStringEncoder encoder(CodePage);
    const QByteArray wire = encoder.encode(text);
    if (!encoder.hasError())
        return wire;
    return toWireByCharacter(text);
}

QString WireText::fromWire(const QByteArray &bytes)
{
    QStringDecoder decoder(CodePage);
    return decoder.decode(bytes);
}
