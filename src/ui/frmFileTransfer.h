#pragma once

#include <QDialog>

class CommonDialog;
class Desktop;
class QLineEdit;
class QPushButton;
class QRect;

// Picks the file to send. Send checks that the name leads to a readable file of at most
// 2 MB and then asks for the transfer with sendRequested; the dialog stays up until that
// returns, so a failure to connect is reported over it, and leaving it meanwhile (Cancel,
// Esc, the close box) asks to cancel the transfer being set up.
class frmFileTransfer final : public QDialog
{
    Q_OBJECT

public:
    frmFileTransfer(CommonDialog &cdMain, Desktop &desktop, QWidget *parent = nullptr);

    // Opens with this file chosen, as if picked with "...".
    void setFileName(const QString &path);

    void reject() override;

signals:
    // The full path, as typed or chosen.
    void sendRequested(const QString &path);
    // The user left the dialog while the transfer asked for was being set up.
    void cancelRequested();

private:
    QPushButton *createButton(const QString &name, const QString &caption, const QRect &geometry);
    void cmdBrowse_Click();
    void cmdOK_Click();

    CommonDialog &m_cdMain;
    Desktop &m_desktop;
    QLineEdit *m_txtFileName = nullptr;
    // sendRequested is being handled.
    bool m_sending = false;
};
