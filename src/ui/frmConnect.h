#pragma once

#include <QDialog>

class basMain;
class QAction;
class QComboBox;
class QLineEdit;
class QPushButton;

// Asks for the partner's address, offering the recent partners in the field's drop-down.
// Connect records the address, puts it first among the recent partners and raises the
// connect request flag, the data of the File menu's connect action ("1"); every other way
// out clears the flag. Esc opens the settings instead of closing.
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
    void createAddressField();
    void cboRecentIPs_Activated(int index);
    void cmdOk_Click();
    void cmdUserSettings_Click();

    basMain &m_program;
    QAction *m_mnuConnect;
    QComboBox *m_cboRecentIPs = nullptr;
    QLineEdit *m_txtIP = nullptr;
};
