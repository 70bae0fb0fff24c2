#pragma once

#include <QDialog>

class basMain;
class QLabel;
class QLineEdit;

// The user's identity and download folder, edited in place of the program's values.
// While a chat session is open the fields are read-only and OK stores nothing.
class frmSettings final : public QDialog
{
    Q_OBJECT

public:
    explicit frmSettings(basMain &program, QWidget *parent = nullptr);

    // The characters the e-mail field refuses to take from the keyboard.
    static const QString EmailRefusedCharacters;

private:
    QLabel *createLabel(int index, const QString &caption, int row);
    QLineEdit *createField(const QString &name, int row);
    void createButtons();
    void Form_Load();
    void cmdOK_Click();

    basMain &m_program;
    QLabel *m_lblIPAddress = nullptr;
    QLineEdit *m_txtNick = nullptr;
    QLineEdit *m_txtName = nullptr;
    QLineEdit *m_txtEmail = nullptr;
    QLineEdit *m_txtPath = nullptr;
};
