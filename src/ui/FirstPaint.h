#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Calls a function once, as soon as a window's first exposure has painted it: for what the
// window does not need in order to show, so that it shows that much sooner.
class FirstPaint final : public QObject
{
public:
    FirstPaint(QWidget *window, std::function<void()> then);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    std::function<void()> m_then;
};
