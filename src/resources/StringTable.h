#pragma once

#include <QString>

// The program's string table (ids 101 to 130), held as one resource and looked up by id.
namespace StringTable {

enum Id : int {
    StateClosed = 101, // 101 + socket state gives the status text of that state
    StateListening = 103,
    StateConnecting = 107,
    StateConnected = 108,
    StatePartnerClosing = 109,
    StateProblemConnecting = 110,
    RemoteUserInformation = 111,
    LocalUserInformation = 112,
    IpAddressLabel = 113,
    NickNameLabel = 114,
    FullNameLabel = 115,
    EmailAddressLabel = 116,
    Disconnect = 117,
    Connect = 118,
    ShowMessenger = 119,
    HideMessenger = 120,
    SelectQirtasFont = 121,
    FileTransferInterrupted = 122,
    SendFile = 123,
    CancelFileTransfer = 124,
    FileSent = 125,
    FileReceived = 126,
    SessionOpened = 127,
    SessionClosed = 128,
    ConnectionWithThe = 129,
    IsReset = 130,
};

// The text of an id; the empty string for an id the table lacks.
QString text(int id);

} // namespace StringTable
