#pragma once

#include "urdu/UrduScript.h"

#include <QObject>

#include <functional>

class QAction;
class Transcript;
class UrduText;
class basMain;

// The choice of the script Urdu is drawn in, under Options: two exclusive entries, the
// program's stored value, and the transcript and the Urdu composer that draw in it at once.
// Nastaliq needs its font: where it cannot be loaded the user is told, and Urdu stays in Naskh.
class UrduScriptChoice final : public QObject
{
    Q_OBJECT

public:
    // Draws in the stored script from the start. loadNastaliq makes the font available.
    UrduScriptChoice(QAction *mnuNaskh, QAction *mnuNastaliq, basMain &program,
        Transcript &transcript, UrduText &composer, QObject *parent,
        std::function<bool()> loadNastaliq = {});

    void choose(UrduScript script);

private:
    QAction *m_mnuNaskh;
    QAction *m_mnuNastaliq;
    basMain &m_program;
    Transcript &m_transcript;
    UrduText &m_composer;
    std::function<bool()> m_loadNastaliq;
};
