#pragma once

#include <QDialog>

class basMain;
class QAction;
class QLineEdit;
class QPushButton;

// Asks for the partner's address. Connect records it and raises the connect request flag,
// the data of the File menu's connect action ("1"); every other way out clears the flag.
// Esc opens the settings instead of closing.
class frmConnect final : public QDialog
{
    Q_OBJECT

public:
    frmConnect(basMain &program, QAction *mnuConnect, QWidget *parent = nullptr);

    // Cancel, the close box and an incoming call's unload all end here.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPushButton *createButton(const QString &name, const QString &caption, int left);
    void cmdOk_Click();
    void cmdUserSettings_Click();

    basMain &m_program;
    QAction *m_mnuConnect;
    QLineEdit *m_txtIP = nullptr;
};
