#include "ui/MainMenus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

enum MenuFlag : unsigned {
    Plain = 0,
    Disabled = 1,
    Checkable = 2,
    Checked = 4 | Checkable,
    Hidden = 8,
};

struct MenuEntry
{
    int level;
    const char16_t *name;
    const char16_t *caption;
    unsigned flags;
};

// The whole menu tree, in order. Level 0 entries are menus (the hidden ones serve as the
// tray's and the composers' context menus); an entry followed by deeper entries is a submenu.
constexpr MenuEntry MenuTree[] = {
    { 0, u"mnuFile", u"&File", Plain },
    { 1, u"mnuConnect", u"&Connect", Plain },
    { 1, u"mnuSettings", u"&Settings", Plain },
    { 1, u"mnuln1", u"-", Plain },
    { 1, u"mnuSaveAs", u"Save &As", Disabled },
    { 1, u"mnuPrint", u"&Print", Disabled },
    { 1, u"mnuOpenHistory", u"Open &History Folder", Plain },
    { 1, u"mnuln7", u"-", Plain },
    { 1, u"mnuExit", u"E&xit", Plain },
    { 0, u"mnuOptions", u"&Options", Plain },
    { 1, u"mnuUrdukeyboard", u"&Urdu Keyboard", Plain },
    { 1, u"mnuln2", u"-", Plain },
    { 1, u"mnuGetInfo", u"&Get Info.", Plain },
    { 2, u"mnuRemote", u"&Remote", Disabled },
    { 2, u"mnuLocal", u"&Local", Plain },
    { 1, u"mnuSetLanguage", u"Set &Language", Disabled },
    { 2, u"mnuEnglish", u"&English", Checkable },
    { 2, u"mnuUrdu", u"&Urdu", Checked },
    { 1, u"mnuFont", u"&Font", Disabled },
    { 1, u"mnuFontColor", u"Font &Color", Disabled },
    { 1, u"mnuUrduScript", u"Urdu &Script", Plain },
    { 2, u"mnuNaskh", u"&Naskh", Checked },
    { 2, u"mnuNastaliq", u"Nas&taliq", Checkable },
    { 1, u"mnuln3", u"-", Plain },
    { 1, u"mnuSendFile", u"&Send File", Disabled },
    { 1, u"mnuln8", u"-", Plain },
    { 1, u"mnuKeepHistory", u"Keep &History", Checkable },
    { 0, u"mnuHelp", u"&Help", Plain },
    { 1, u"mnuHlepTopics", u"Help &Topics", Plain },
    { 1, u"mnuln4", u"-", Plain },
    { 1, u"mnuAbout", u"&About \"Kalvex\"", Plain },
    { 0, u"mnuTray", u"Tray", Hidden },
    { 1, u"mnuShowMessenger", u"&Show Messenger", Plain },
    { 1, u"mnuConnectT", u"&Connect", Plain },
    { 1, u"mnuSettingsT", u"&Settings", Plain },
    { 1, u"mnuln5", u"-", Plain },
    { 1, u"mnuExitT", u"E&xit", Plain },
    { 0, u"mnuPopText", u"PopText", Hidden },
    { 1, u"mnuSetLanguageP", u"Set &Language", Plain },
    { 2, u"mnuEnglishP", u"&English", Checkable },
    { 2, u"mnuUrduP", u"&Urdu", Checked },
    { 1, u"mnuln6", u"-", Plain },
    { 1, u"mnuFontP", u"&Font", Plain },
    { 1, u"mnuFontColorP", u"Font &Color", Plain },
};

} // namespace

void MainMenus::build(QMainWindow &window)
{
    QList<QMenu *> openMenus; // the menu at each level above the current entry
    const auto entryCount = std::size(MenuTree);
    for (std::size_t i = 0; i < entryCount; ++i) {
        const MenuEntry &entry = MenuTree[i];
        const QString name = QString::fromUtf16(entry.name);
        const QString caption = QString::fromUtf16(entry.caption);
        const bool hasChildren = i + 1 < entryCount && MenuTree[i + 1].level > entry.level;
        openMenus.resize(entry.level);

        QAction *item = nullptr;
        if (entry.level == 0) {
            auto *menu = new QMenu(caption, &window);
            if (!(entry.flags & Hidden))
                window.menuBar()->addMenu(menu);
            menu->setObjectName(name);
            openMenus.append(menu);
            item = menu->menuAction();
        } else if (hasChildren) {
            QMenu *menu = openMenus.last()->addMenu(caption);
            menu->setObjectName(name);
            openMenus.append(menu);
            item = menu->menuAction();
        } else if (caption == u"-") {
            item = openMenus.last()->addSeparator();
        } else {
            item = openMenus.last()->addAction(caption);
        }
        item->setObjectName(name);
        item->setEnabled(!(entry.flags & Disabled));
        item->setCheckable(entry.flags & Checkable);
        item->setChecked((entry.flags & Checked) == Checked);
    }
}
