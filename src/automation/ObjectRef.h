#pragma once

#include <QMetaType>
#include <QObject>
#include <memory>

namespace ixo {

// A shared reference to an automation object; an empty pointer is Nothing.
using ObjectRef = std::shared_ptr<QObject>;

} // namespace ixo

Q_DECLARE_METATYPE(ixo::ObjectRef)
