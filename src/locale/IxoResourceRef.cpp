#include "locale/IxoResourceRef.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

namespace ixo {

namespace {

const QString kIxoResourceRefSource = QStringLiteral("IxoInstrSetups");

} // namespace

IxoResourceRef::IxoResourceRef(ObjectRef object)
    : m_object(std::move(object))
    , m_resource(dynamic_cast<IxoResource *>(m_object.get())) {
    if (m_object && !m_resource)
        throw AutomationError::standard(ErrorNumber::TypeMismatch, kIxoResourceRefSource);
}

IxoResource &IxoResourceRef::get() const {
    if (!m_resource)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kIxoResourceRefSource);
    return *m_resource;
}

void IxoResourceRef::reset() {
    m_object.reset();
    m_resource = nullptr;
}

} // namespace ixo
