#include "ui/FileDrops.h"

#include "transfer/TransferSession.h"

#include <QAction>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

FileDrops::FileDrops(QWidget *window, const QAction *mnuSendFile, const TransferSession &transfer)
    : QObject(window)
    , m_mnuSendFile(mnuSendFile)
    , m_transfer(transfer)
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (control->acceptDrops())
            control->installEventFilter(this);
    }
}

bool FileDrops::eventFilter(QObject *, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    if (!drop->mimeData()->hasUrls())
        return false;
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        dropped(drop->mimeData()->urls());
    return true;
}

// Decided as the drop happens; told once it is over.
void FileDrops::dropped(const QList<QUrl> &urls)
{
    const QString reason = refusal(urls);
    const QString path = urls.value(0).toLocalFile();
    QMetaObject::invokeMethod(
        this,
        [this, reason, path] {
            if (reason.isEmpty())
                emit fileDropped(path);
            else
                emit refused(reason);
        },
        Qt::QueuedConnection);
}

QString FileDrops::refusal(const QList<QUrl> &urls) const
{
    if (!m_mnuSendFile->isEnabled())
        return QStringLiteral("A file can be sent only during a chat session.");
    if (m_transfer.state() != TransferSession::State::Idle)
        return QStringLiteral("A file is being transferred. Please wait until it has finished.");
    if (urls.size() != 1)
        return QStringLiteral("Please drop one file at a time.");
    if (!urls.first().isLocalFile())
        return QStringLiteral("Only files on this computer can be sent.");
    if (QFileInfo(urls.first().toLocalFile()).isDir())
        return QStringLiteral("A folder cannot be sent.");
    return QString();
}
