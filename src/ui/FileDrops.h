#pragma once

#include <QObject>
#include <QString>

class QAction;
class QUrl;
class QWidget;
class TransferSession;

// Files dragged from a file manager onto the main window, wherever they are dropped (over the
// composers too, which would otherwise take the file's name as text). A drop does what Send
// File does, so one local file is taken while that entry offers to send; anything else is
// refused with the reason.
class FileDrops final : public QObject
{
    Q_OBJECT

public:
    // Watches window and every control on it that takes drops.
    FileDrops(QWidget *window, const QAction *mnuSendFile, const TransferSession &transfer);

signals:
    // Sent once the drop is over, so that the file manager is not kept waiting for what the
    // window does with it.
    void fileDropped(const QString &path);
    void refused(const QString &reason);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void dropped(const QList<QUrl> &urls);
    QString refusal(const QList<QUrl> &urls) const;

    const QAction *m_mnuSendFile;
    const TransferSession &m_transfer;
};
