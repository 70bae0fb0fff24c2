// Every Qt Widgets header includes this one first. The core library's sources find this file
// ahead of Qt's, so a widget reached through <QtWidgets/...> stops the build there too.
#error "kalvex_core is built without Qt Widgets: a window belongs in kalvex_ui"
