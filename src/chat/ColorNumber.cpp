#include "chat/ColorNumber.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace ColorNumber {

namespace {

    // The classic system colour indexes 0 to 24 and the palette roles that play their parts.
    constexpr std::array<QPalette::ColorRole, 25> SystemRoles {
        QPalette::Button, // scroll bars
        QPalette::Window, // desktop
        QPalette::Highlight, // active title bar
        QPalette::Mid, // inactive title bar
        QPalette::Window, // menu bar
        QPalette::Base, // window background
        QPalette::Shadow, // window frame
        QPalette::WindowText, // menu text
        QPalette::Text, // window text
        QPalette::HighlightedText, // title bar text
        QPalette::Button, // active border
        QPalette::Button, // inactive border
        QPalette::Mid, // application workspace
        QPalette::Highlight, // highlight
        QPalette::HighlightedText, // highlighted text
        QPalette::Button, // button face
        QPalette::Dark, // button shadow
        QPalette::PlaceholderText, // grey text
        QPalette::ButtonText, // button text
        QPalette::WindowText, // inactive title bar text
        QPalette::Light, // button highlight
        QPalette::Shadow, // 3D dark shadow
        QPalette::Midlight, // 3D light
        QPalette::ToolTipText, // tip text
        QPalette::ToolTipBase, // tip background
    };

} // namespace

bool isSystemColor(qint32 number)
{
    return (number & SystemFlag) != 0;
}

QColor toColor(qint32 number)
{
    if (isSystemColor(number)) {
        const auto index = static_cast<std::size_t>(number & 0xFF);
        const auto role = index < SystemRoles.size() && (number & 0x7FFFFF00) == 0
            ? SystemRoles[index]
            : QPalette::Text;
        return QGuiApplication::palette().color(QPalette::Active, role);
    }
    return QColor(number & 0xFF, (number >> 8) & 0xFF, (number >> 16) & 0xFF);
}

} // namespace ColorNumber
