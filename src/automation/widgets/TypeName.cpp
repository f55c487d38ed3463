#include "automation/widgets/TypeName.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaClassInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

namespace ixo {

namespace {

template <typename... Classes> bool isAny(const QObject &object) {
    return (... || (qobject_cast<const Classes *>(&object) != nullptr));
}

QString controlTypeName(const QObject &object) {
    if (isAny<QPushButton>(object))
        return QStringLiteral("CommandButton");
    if (isAny<QCheckBox>(object))
        return QStringLiteral("CheckBox");
    if (isAny<QRadioButton>(object))
        return QStringLiteral("OptionButton");
    if (isAny<QLineEdit, QTextEdit, QPlainTextEdit>(object))
        return QStringLiteral("TextBox");
    if (isAny<QGroupBox>(object))
        return QStringLiteral("Frame");
    if (isAny<QLabel>(object))
        return QStringLiteral("Label");
    if (isAny<QComboBox>(object))
        return QStringLiteral("ComboBox");
    return {};
}

QString classNameWithoutNamespace(const QObject &object) {
    const QString name = QString::fromLatin1(object.metaObject()->className());
    const qsizetype cut = name.lastIndexOf(QLatin1String("::"));
    return cut < 0 ? name : name.mid(cut + 2);
}

} // namespace

QString TypeName::of(const QObject &object) {
    const QMetaObject *metaObject = object.metaObject();
    if (const int index = metaObject->indexOfClassInfo("AutomationTypeName"); index >= 0)
        return QString::fromLatin1(metaObject->classInfo(index).value());
    if (QString name = controlTypeName(object); !name.isEmpty())
        return name;
    return classNameWithoutNamespace(object);
}

} // namespace ixo
