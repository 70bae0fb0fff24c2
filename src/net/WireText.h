#pragma once

#include <QByteArray>
#include <QString>

// Text on the chat wire is one byte per character in Windows-1252, the single-byte code
// page partners use for English text and identities.
namespace WireText {

// A character without a Windows-1252 byte goes out as one "?", so the sender's own
// transcript, which decodes the bytes it sent, shows what the partner sees.
QByteArray toWire(const QString &text);
QString fromWire(const QByteArray &bytes);

} // namespace WireText
