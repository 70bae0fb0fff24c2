#pragma once

#include "app/Desktop.h"
#include "transfer/FileTransfer.h"

#include <QObject>

class ChatSession;
class SocketEndpoint;
class basMain;

// The one file transfer of a running copy, either way: the file socket WskFTP, the file
// protocol, the bytes received so far, and the user's part (the questions, the name clash,
// the endings). Where it stands is the protocol's one phase, Dialling included while the
// file socket still connects; Transferring, TransferSize and TransferPos only read it.
// A file connection is taken only from the chat partner while a session is open, and a
// broken chat ends a running transfer.
class TransferSession final : public QObject
{
    Q_OBJECT

public:
    using State = FileTransfer::Phase;

    TransferSession(basMain &program, const ChatSession &chat, QObject *parent = nullptr);
    ~TransferSession() override;

    SocketEndpoint &WskFTP() const { return *m_wskFtp; }
    State state() const { return m_transfer.phase(); }
    // A transfer runs: the file connection stands (Dialling is not yet transferring).
    bool Transferring() const;
    // A transfer is being set up or runs, as the send-file entry shows it; a receiver's
    // offer counts once its user has accepted it.
    bool underWay() const;
    qint32 TransferSize() const { return m_transfer.size(); }
    qint32 TransferPos() const { return m_transfer.done(); }

    // Sender: the full path of the file being sent. Receiver: the plain name it is stored
    // under. Kept when a transfer ends.
    QString TransferFileName;

    // Start-up: the file socket waits for partners.
    void start();
    // Connects the file socket to the chat partner to send the file TransferFileName;
    // returns once the connection is made or has failed (which the user is told).
    void FileRequest();
    // Asks the user whether to cancel the transfer that is being set up or runs, and cancels
    // it on Yes; a file socket still dialling stops.
    void cancelTransfer();
    // Back to idle, the file socket listening again.
    void ResetTransfer();
    // The program ends: the file socket closes without a word to the partner.
    void close();

signals:
    // The state or the progress may have changed.
    void changed();
    void progressChanged(int percent);
    // A file of the offered name already lies in folder: name may be changed to a new
    // plain name; settled false (as it comes) leaves the offer refused.
    void nameClash(const QString &folder, QString *name, bool *settled);
    // Sent before the receiver's user is asked whether to take the file, and before the box
    // that tells how a transfer ended: both boxes wait for the user.
    void fileOffered(const QString &nickname, const QString &fileName);
    void transferEnded(const QString &text, bool succeeded);

private:
    void chatEnded(bool broken);
    void WskFTP_Connect();
    void WskFTP_ConnectionRequest(qint32 requestId);
    void WskFTP_DataArrival(qint32 bytesTotal);
    void WskFTP_Close();
    void listenAgain();
    void runTransferSteps(const FileTransfer::Steps &steps);
    void askToAcceptFile(const QString &offeredName);
    bool settleNameClash();
    void sendLoadedFile();
    bool LoadFileData(QByteArray &data, QString &error);
    bool SaveFileData(const QByteArray &data, QString &error);
    void storeReceivedFile();
    void endTransfer(const QString &text, Desktop::Icon icon);

    basMain &m_program;
    const ChatSession &m_chat;
    SocketEndpoint *m_wskFtp;
    FileTransfer m_transfer;
    // Receiver: the content so far, in order.
    QByteArray m_received;
};
