#pragma once

#include <QDialog>

class Desktop;
class QLabel;

// The about box: the program's name and purpose, and two links, to the web site and to
// the mail address, that turn blue under the pointer.
class frmAbout final : public QDialog
{
    Q_OBJECT

public:
    static const QString WebSite;
    static const QString EmailAddress;

    explicit frmAbout(Desktop &desktop, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *createLink(const QString &name, const QString &text, const QRect &geometry);
    void lblEmail_Click();
    void lblWebsite_Click();
    void Form_MouseMove();
    void link_MouseMove(QLabel *link);

    Desktop &m_desktop;
    QLabel *m_lblWebsite = nullptr;
    QLabel *m_lblEmail = nullptr;
};
