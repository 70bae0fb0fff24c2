#include "ui/UrduScriptChoice.h"

#include "app/basMain.h"
#include "controls/UrduText.h"
#include "ui/Transcript.h"
#include "urdu/NastaliqFont.h"

#include <QAction>
#include <QActionGroup>

UrduScriptChoice::UrduScriptChoice(QAction *mnuNaskh, QAction *mnuNastaliq, basMain &program,
    Transcript &transcript, UrduText &composer, QObject *parent, std::function<bool()> loadNastaliq)
    : QObject(parent)
    , m_mnuNaskh(mnuNaskh)
    , m_mnuNastaliq(mnuNastaliq)
    , m_program(program)
    , m_transcript(transcript)
    , m_composer(composer)
    , m_loadNastaliq(loadNastaliq ? std::move(loadNastaliq) : NastaliqFont::install)
{
    auto *entries = new QActionGroup(this);
    entries->addAction(mnuNaskh);
    entries->addAction(mnuNastaliq);
    connect(mnuNaskh, &QAction::triggered, this, [this] { choose(UrduScript::Naskh); });
    connect(mnuNastaliq, &QAction::triggered, this, [this] { choose(UrduScript::Nastaliq); });
    choose(program.Script);
}

void UrduScriptChoice::choose(UrduScript script)
{
    if (script == UrduScript::Nastaliq && !m_loadNastaliq()) {
        m_program.messageBox(
            QStringLiteral("Urdu cannot be drawn in Nastaliq: the font %1 cannot be read. Urdu "
                           "stays in Naskh.")
                .arg(NastaliqFont::family()),
            Desktop::Icon::Information, Desktop::Buttons::Ok);
        script = UrduScript::Naskh;
    }
    m_program.Script = script;
    (script == UrduScript::Nastaliq ? m_mnuNastaliq : m_mnuNaskh)->setChecked(true);
    m_transcript.setUrduScript(script);
    m_composer.setScript(script);
}
