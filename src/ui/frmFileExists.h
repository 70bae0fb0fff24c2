#pragma once

#include "transfer/DownloadFolder.h"

#include <QDialog>

class Desktop;
class QFrame;
class QLineEdit;
class QRadioButton;

// Settles a received file whose name the download folder already holds: overwrite it, or
// receive under a new plain name. Only OK settles it; Cancel and the close box reject.
class frmFileExists final : public QDialog
{
    Q_OBJECT

public:
    frmFileExists(const DownloadFolder &folder, Desktop &desktop, QWidget *parent = nullptr);

    // After OK: the name to store the file under, offered when "&Overwrite" was chosen.
    QString chosenName(const QString &offered) const;

private:
    QRadioButton *createOption(int index, const QString &caption, int top);
    void OptFile_Click(int index);
    void cmdOk_Click();
    void warn(const QString &text);

    DownloadFolder m_folder;
    Desktop &m_desktop;
    QRadioButton *m_optOverwrite = nullptr;
    QFrame *m_fraFileName = nullptr;
    QLineEdit *m_txtFilename = nullptr;
};
