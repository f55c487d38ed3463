#include "automation/widgets/MemberAccess.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/ObjectRef.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QWidget>
#include <array>
#include <vector>

namespace ixo {

namespace {

const QString kMemberAccessSource = QStringLiteral("IxoInstrSetups");
constexpr qsizetype kMaxArguments = 10;
const char kTag[] = "Tag";

[[noreturn]] void failReadOnly(const QString &member) {
    throw AutomationError(ErrorNumber::PropertyReadOnly, kMemberAccessSource,
                          QStringLiteral("Property '%1' is read-only").arg(member));
}

bool is(const QString &member, const char *name) {
    return member.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// A member the class declares under its automation name.
QMetaProperty declaredProperty(const QObject &object, const QString &member) {
    const QMetaObject *metaObject = object.metaObject();
    return metaObject->property(metaObject->indexOfProperty(member.toLatin1().constData()));
}

template <typename... Classes> bool isAny(const QWidget &widget) {
    return (... || (qobject_cast<const Classes *>(&widget) != nullptr));
}

// A window that is not merely a control shown on its own.
bool isForm(const QWidget &widget) {
    return widget.isWindow() &&
           !isAny<QAbstractButton, QLabel, QGroupBox, QLineEdit, QAbstractScrollArea, QComboBox,
                  QAbstractSpinBox, QAbstractSlider>(widget);
}

QByteArray captionProperty(const QWidget &widget) {
    if (qobject_cast<const QAbstractButton *>(&widget) || qobject_cast<const QLabel *>(&widget))
        return "text";
    if (qobject_cast<const QGroupBox *>(&widget))
        return "title";
    if (isForm(widget))
        return "windowTitle";
    return {};
}

QByteArray textProperty(const QWidget &widget) {
    if (qobject_cast<const QLineEdit *>(&widget))
        return "text";
    if (qobject_cast<const QTextEdit *>(&widget) || qobject_cast<const QPlainTextEdit *>(&widget))
        return "plainText";
    return {};
}

// The Qt property a widget keeps an automation member in; empty when it has no such member.
QByteArray mappedProperty(const QObject &object, const QString &member) {
    const auto *widget = qobject_cast<const QWidget *>(&object);
    if (!widget)
        return {};
    if (is(member, "Caption"))
        return captionProperty(*widget);
    if (is(member, "Text"))
        return textProperty(*widget);
    if (is(member, "ToolTipText"))
        return "toolTip";
    if (is(member, "Enabled"))
        return "enabled";
    if (is(member, "Visible"))
        return "visible";
    return {};
}

// Every control has a Tag; other objects only once one was given to them.
bool hasTag(const QObject &object) {
    return qobject_cast<const QWidget *>(&object) || object.property(kTag).isValid();
}

QMetaMethod findMethod(const QObject &object, const QString &name, qsizetype argumentCount) {
    const QMetaObject *metaObject = object.metaObject();
    const QByteArray wanted = name.toLatin1();
    // From the most derived class, so an override of a name wins.
    for (int i = metaObject->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod method = metaObject->method(i);
        const bool callable =
            method.methodType() == QMetaMethod::Method || method.methodType() == QMetaMethod::Slot;
        if (callable && method.name() == wanted && method.parameterCount() == argumentCount)
            return method;
    }
    return {};
}

QVariant callMethod(QObject &object, const QMetaMethod &method, const QVariantList &arguments) {
    if (arguments.size() > kMaxArguments)
        throw AutomationError::standard(ErrorNumber::InvalidProcedureCall, kMemberAccessSource);
    std::vector<QVariant> values(arguments.begin(), arguments.end());
    std::array<QGenericArgument, kMaxArguments> generic{};
    const QList<QByteArray> parameterTypes = method.parameterTypes();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const QMetaType type = method.parameterMetaType(static_cast<int>(i));
        const char *typeName = parameterTypes.at(static_cast<qsizetype>(i)).constData();
        if (type == QMetaType::fromType<QVariant>()) {
            generic[i] = QGenericArgument(typeName, &values[i]);
            continue;
        }
        if (values[i].metaType() != type && !values[i].convert(type))
            throw AutomationError::standard(ErrorNumber::TypeMismatch, kMemberAccessSource);
        generic[i] = QGenericArgument(typeName, values[i].constData());
    }
    QVariant result;
    QGenericReturnArgument returnArgument;
    const QMetaType returnType = method.returnMetaType();
    if (returnType == QMetaType::fromType<QVariant>()) {
        returnArgument = QGenericReturnArgument(method.typeName(), &result);
    } else if (returnType.isValid() && returnType.id() != QMetaType::Void) {
        result = QVariant(returnType);
        returnArgument = QGenericReturnArgument(method.typeName(), result.data());
    }
    const bool called = method.invoke(&object, Qt::DirectConnection, returnArgument, generic[0],
                                      generic[1], generic[2], generic[3], generic[4], generic[5],
                                      generic[6], generic[7], generic[8], generic[9]);
    if (!called)
        throw AutomationError::standard(ErrorNumber::InvalidProcedureCall, kMemberAccessSource);
    return result;
}

bool isContainer(const QWidget &widget) {
    const QMetaObject *metaObject = widget.metaObject();
    return metaObject == &QWidget::staticMetaObject || metaObject == &QFrame::staticMetaObject ||
           qobject_cast<const QGroupBox *>(&widget) || qobject_cast<const QTabWidget *>(&widget) ||
           qobject_cast<const QStackedWidget *>(&widget) ||
           qobject_cast<const QSplitter *>(&widget);
}

// Qt's own helper widgets (a tab widget's page stack, its tab bar) are not controls.
bool isInternal(const QWidget &widget) {
    return widget.objectName().startsWith(QLatin1String("qt_"));
}

void collectControls(const QObject &parent, QObjectList &controls) {
    for (QObject *child : parent.children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget || widget->isWindow())
            continue;
        if (!isInternal(*widget))
            controls.append(widget);
        if (isContainer(*widget))
            collectControls(*widget, controls);
    }
}

} // namespace

QVariant MemberAccess::get(QObject *object, const QString &member) {
    if (!object)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kMemberAccessSource);
    if (const QMetaProperty declared = declaredProperty(*object, member); declared.isValid())
        return declared.read(object);
    if (const QByteArray mapped = mappedProperty(*object, member); !mapped.isEmpty())
        return object->property(mapped.constData());
    if (is(member, kTag) && hasTag(*object)) {
        const QVariant tag = object->property(kTag);
        return tag.isValid() ? tag : QVariant(QString());
    }
    // A frame lists the controls inside it, as a form lists all of its own.
    if (const auto *form = qobject_cast<const QWidget *>(object);
        form && (isForm(*form) || qobject_cast<const QGroupBox *>(form)) && is(member, "Controls"))
        return QVariant::fromValue(controlsOf(*form));
    if (const QMetaMethod method = findMethod(*object, member, 0); method.isValid())
        return callMethod(*object, method, {});
    throw AutomationError::standard(ErrorNumber::MemberNotSupported, kMemberAccessSource);
}

void MemberAccess::set(QObject *object, const QString &member, const QVariant &value) {
    if (!object)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kMemberAccessSource);
    QMetaProperty property = declaredProperty(*object, member);
    if (!property.isValid()) {
        const QByteArray mapped = mappedProperty(*object, member);
        if (mapped.isEmpty() && is(member, kTag) && hasTag(*object)) {
            object->setProperty(kTag, value);
            return;
        }
        const QMetaObject *metaObject = object->metaObject();
        property = metaObject->property(metaObject->indexOfProperty(mapped.constData()));
    }
    if (!property.isValid())
        throw AutomationError::standard(ErrorNumber::MemberNotSupported, kMemberAccessSource);
    if (!property.isWritable())
        failReadOnly(member);
    if (!property.write(object, value))
        throw AutomationError::standard(ErrorNumber::TypeMismatch, kMemberAccessSource);
}

QVariant MemberAccess::invoke(QObject *object, const QString &method,
                              const QVariantList &arguments) {
    if (!object)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kMemberAccessSource);
    const QMetaMethod found = findMethod(*object, method, arguments.size());
    if (!found.isValid())
        throw AutomationError::standard(ErrorNumber::MemberNotSupported, kMemberAccessSource);
    return callMethod(*object, found, arguments);
}

QObject *MemberAccess::objectOf(const QVariant &value) {
    if (!value.isValid())
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kMemberAccessSource);
    if (value.metaType() == QMetaType::fromType<ObjectRef>()) {
        QObject *object = value.value<ObjectRef>().get();
        if (!object)
            throw AutomationError::standard(ErrorNumber::ObjectNotSet, kMemberAccessSource);
        return object;
    }
    if (!value.metaType().flags().testFlag(QMetaType::PointerToQObject))
        throw AutomationError::standard(ErrorNumber::TypeMismatch, kMemberAccessSource);
    QObject *object = *static_cast<QObject *const *>(value.constData());
    if (!object)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kMemberAccessSource);
    return object;
}

QObjectList MemberAccess::controlsOf(const QWidget &form) {
    QObjectList controls;
    collectControls(form, controls);
    return controls;
}

} // namespace ixo
