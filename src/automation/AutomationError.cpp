#include "automation/AutomationError.h"

#include "automation/ErrorNumber.h"

namespace ixo {

AutomationError::AutomationError(std::int32_t number, QString source, QString description)
    : m_number(number)
    , m_source(std::move(source))
    , m_description(std::move(description))
    , m_what(QStringLiteral("%1 (error %2, %3)")
                 .arg(m_description)
                 .arg(m_number)
                 .arg(m_source)
                 .toStdString()) {}

AutomationError AutomationError::withHelp(QString helpFile, std::int32_t helpContext) const {
    AutomationError error = *this;
    error.m_helpFile = std::move(helpFile);
    error.m_helpContext = helpContext;
    return error;
}

AutomationError AutomationError::standard(std::int32_t number, const QString &source) {
    return AutomationError(number, source, standardDescription(number));
}

QString AutomationError::standardDescription(std::int32_t number) {
    using namespace ErrorNumber;
    switch (number) {
    case InvalidProcedureCall:
        return QStringLiteral("Invalid procedure call or argument");
    case Overflow:
        return QStringLiteral("Overflow");
    case SubscriptOutOfRange:
        return QStringLiteral("Subscript out of range");
    case TypeMismatch:
        return QStringLiteral("Type mismatch");
    case FileNotFound:
        return QStringLiteral("File not found");
    case PathFileAccess:
        return QStringLiteral("Path/File access error");
    case ObjectNotSet:
        return QStringLiteral("Object variable or With block variable not set");
    case InvalidUseOfNull:
        return QStringLiteral("Invalid use of Null");
    case InvalidFileFormat:
        return QStringLiteral("Invalid file format");
    case PropertyReadOnly:
        return QStringLiteral("Can't set a read-only property");
    case CannotCreateObject:
        return QStringLiteral("ActiveX component can't create object");
    case MemberNotSupported:
        return QStringLiteral("Object doesn't support this property or method");
    case DuplicateKey:
        return QStringLiteral("This key is already associated with an element of this collection");
    case Fail:
    case NotImplemented:
        return {};
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

} // namespace ixo
