#include "chat/Handshake.h"

#include "net/WireText.h"

namespace {

const QByteArray SendTag = QByteArrayLiteral("{SEND}");
const QByteArray RecevTag = QByteArrayLiteral("{RECEV}");
const QByteArray YesTag = QByteArrayLiteral("{YES}");
const QByteArray NotTag = QByteArrayLiteral("{NOT}");

// Position (from 1) of the first "/" at or after `from`, 0 when there is none.
qsizetype findSlash(const QByteArray &message, qsizetype from)
{
    return message.indexOf('/', from - 1) + 1;
}

// The partner's fields are shown inside one line (the call question, transcript headers,
// information blocks): a character that would break the line or act on the display instead
// of showing shows as a blank.
QString withControlsBlanked(QString text)
{
    for (QChar &c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph)
            c = u' ';
    }
    return text;
}

} // namespace

Handshake::Tag Handshake::classify(QByteArrayView message)
{
    if (message.startsWith(SendTag))
        return Tag::Send;
    if (message.startsWith(RecevTag))
        return Tag::Recev;
    if (message == YesTag)
        return Tag::Yes;
    if (message == NotTag)
        return Tag::Not;
    return Tag::None;
}

QByteArray Handshake::identityMessage(
    Tag tag, const QString &nick, const QString &fullName, const QString &email)
{
    const QByteArray &prefix = tag == Tag::Recev ? RecevTag : SendTag;
    return prefix + WireText::toWire(nick) + '/' + WireText::toWire(fullName) + '/'
        + WireText::toWire(email) + '/';
}

// Partners read identities this way, quirks included: the nickname search starts one past
// the first character after the tag, so an empty nickname's "/" is skipped; a field whose
// "/" is missing keeps its old value and sends the next search back to the start.
void Handshake::readIdentity(const QByteArray &message, Tag tag, PartnerIdentity &identity)
{
    if (message.size() > MaxMessageBytes || (tag != Tag::Send && tag != Tag::Recev))
        return;
    QString *const fields[] = { &identity.nickname, &identity.fullName, &identity.email };
    const qsizetype tagLength = tag == Tag::Send ? SendTag.size() : RecevTag.size();
    qsizetype p = tagLength + 1;
    for (int pass = 0; pass < 3; ++pass) {
        const qsizetype q = findSlash(message, p + 1);
        // The nickname includes the character at p; the later fields begin after their "/".
        const qsizetype skip = pass == 0 ? 0 : 1;
        const qsizetype count = q - p - skip;
        if (count >= 0)
            *fields[pass]
                = withControlsBlanked(WireText::fromWire(message.mid(p + skip - 1, count)));
        p = q;
    }
}

QByteArray Handshake::yes()
{
    return YesTag;
}

QByteArray Handshake::no()
{
    return NotTag;
}
