#pragma once

#include "automation/Export.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>

class QWidget;

namespace ixo {

// Late-bound access to automation members by name. A member that a class declares under its
// automation name (a Q_PROPERTY or Q_INVOKABLE) is used as it is; otherwise the usual members
// of the widgets ("Caption", "Text", "ToolTipText", "Tag", "Enabled", "Visible", "Controls")
// are mapped onto their Qt counterparts. A null object fails with error 91, a member the
// object lacks with error 438.
class IXO_EXPORT MemberAccess {
public:
    static QVariant get(QObject *object, const QString &member);
    static void set(QObject *object, const QString &member, const QVariant &value);
    // Calls a method by name; arguments are converted to the parameter types.
    static QVariant invoke(QObject *object, const QString &method,
                           const QVariantList &arguments = {});

    // The object a value refers to (a QObject pointer or an ObjectRef); Nothing fails with
    // error 91, anything else with error 13.
    static QObject *objectOf(const QVariant &value);

    // Every control on a form, depth first through the plain containers (frames, group boxes,
    // tab pages) but not into the parts of composite widgets and not into other windows.
    static QObjectList controlsOf(const QWidget &form);
};

} // namespace ixo
