#pragma once

#include "support/TestMessenger.h"

#include <QTemporaryDir>

// Ali's messenger on 127.0.0.1 and Sara's on 127.0.0.2, both in this process, put through
// whole chat sessions and file transfers the way their users would. Every round returns an
// empty string when it completed, or which step hung or went wrong.
class SoakPair
{
public:
    SoakPair();

    // One session: a call, the callee's acceptance, one message each way (one in English,
    // one in Urdu), a hang-up, and both sides listening again. The index picks who calls,
    // who hangs up and who writes which language, so that every combination comes round.
    QString chatCycle(int index);
    // Opens the session the transfers run in.
    QString openSession();
    // Sends content as a file, Ali to Sara on even indexes and back on odd ones, and checks
    // what arrived byte for byte. Both copies of the file are removed afterwards.
    QString transfer(int index, const QByteArray &content);

private:
    struct Side
    {
        TestMessenger &messenger;
        QString name;
        QString address;
    };

    Side side(bool sara);
    QString call(const Side &caller, const Side &callee);
    QString writeTo(const Side &writer, const Side &reader, bool urdu, int index);
    QString hangUp(const Side &leaver, const Side &other);
    QString sendAndCompare(
        const Side &sender, const Side &receiver, const QString &path, const QByteArray &content);
    static QString boxesOtherThan(const Side &side, const QStringList &expected);
    void forgetRecords();

    TestMessenger::Ports m_ports = TestMessenger::freePorts();
    TestMessenger m_ali;
    TestMessenger m_sara;
    QTemporaryDir m_files;
};
