#pragma once

#include <QByteArray>
#include <QString>

// The partner's identity as its handshake message told it.
struct PartnerIdentity
{
    QString nickname;
    QString fullName;
    QString email;
};

// The four handshake messages of the chat connection: the callee sends "{SEND}" with its
// identity, the caller answers "{RECEV}" with its own, and the callee accepts with "{YES}"
// or refuses with "{NOT}". Identity fields each end with "/" and are not escaped.
namespace Handshake {

enum class Tag { None, Send, Recev, Yes, Not };

// Send and Recev when the message begins with "{SEND}" or "{RECEV}"; Yes and Not only when
// the message is exactly "{YES}" or "{NOT}"; None for everything else (a chat message).
Tag classify(QByteArrayView message);

// "{SEND}" or "{RECEV}" followed by the three fields, each ending in "/", in Windows-1252.
QByteArray identityMessage(
    Tag tag, const QString &nick, const QString &fullName, const QString &email);

// Reads the three fields after the tag into identity, in the way partners have always read
// them: a field that cannot be read keeps its previous value, and an empty nickname makes
// the reader skip its "/" and shift the later fields. Control characters (C0, DEL, C1) and
// the line and paragraph separators read as blanks. A message longer than MaxMessageBytes is
// not read at all.
void readIdentity(const QByteArray &message, Tag tag, PartnerIdentity &identity);

QByteArray yes();
QByteArray no();

inline constexpr qsizetype MaxMessageBytes = 32767;

} // namespace Handshake
