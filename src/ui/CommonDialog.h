#pragma once

#include "app/Desktop.h"

#include <QString>

class QWidget;

// The one font, colour and file picker object that the windows share. It keeps its values
// between uses, so each picker opens on what it returned last.
class CommonDialog
{
public:
    explicit CommonDialog(Desktop &desktop);

    // Set by callers as the classic dialogs expect (4: no read-only box, 1: screen fonts);
    // Qt's pickers have no read-only box and always list the screen fonts, so it is kept
    // only as a value.
    qint32 Flags = 0;
    // Pairs of description and patterns, all separated by "|":
    // "RichText Format (*.rtf)|*.rtf|All Files (*.*)|*.*".
    QString Filter;
    QString FileName;
    QString FontName;
    qreal FontSize = 0;
    bool FontBold = false;
    bool FontItalic = false;
    // A colour number, 0x00BBGGRR.
    qint32 Color = 0;

    // True when a file was chosen: FileName is then its full path. False when the user
    // cancelled: FileName keeps its value.
    bool ShowOpen(QWidget *parent);
    bool ShowSave(QWidget *parent);
    // Opens on FontName, FontSize, FontBold and FontItalic; true, with them set, when a
    // font was chosen.
    bool ShowFont(QWidget *parent);
    // Opens on Color; true, with Color set, when a colour was chosen. Closed without a
    // choice, Color keeps the colour chosen last.
    bool ShowColor(QWidget *parent);

    // The filter in Qt's form: "RichText Format (*.rtf);;All Files (*)".
    static QString qtFilter(const QString &filter);

private:
    bool showFile(QWidget *parent, Desktop::FileMode mode);

    Desktop &m_desktop;
};
