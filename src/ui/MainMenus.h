#pragma once

class QMainWindow;

// The main window's whole menu tree: the menu bar's menus, and the hidden menus that serve as
// the tray's and the composers' context menus. Every menu and entry carries its control name
// as its object name, which is how the window and the tests find it.
namespace MainMenus {

void build(QMainWindow &window);

} // namespace MainMenus
