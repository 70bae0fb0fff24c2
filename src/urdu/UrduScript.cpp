#include "urdu/UrduScript.h"

namespace UrduScripts {

QString name(UrduScript script)
{
    return script == UrduScript::Nastaliq ? QStringLiteral("Nastaliq") : QStringLiteral("Naskh");
}

UrduScript named(const QString &name)
{
    return name == u"Nastaliq" ? UrduScript::Nastaliq : UrduScript::Naskh;
}

} // namespace UrduScripts
