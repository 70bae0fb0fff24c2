#pragma once

#include <QIcon>

// The program's icon, drawn by us and rendered from its SVG source to several sizes; the
// window, the tray and the about box all show it.
namespace ProgramIcon {
QIcon icon();
} // namespace ProgramIcon
