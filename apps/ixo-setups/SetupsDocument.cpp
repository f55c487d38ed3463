#include "SetupsDocument.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/PropertyBag.h"
#include "control/InstrumentState.h"
#include "model/StateInfo.h"
#include "support/HostDocument.h"

namespace ixo {

SetupsDocument::SetupsDocument(InstrumentState &control, SetupInterfaceRef instrument)
    : m_control(control)
    , m_instrument(std::move(instrument)) {}

void SetupsDocument::reset() {
    attach(std::make_shared<StateInfo>());
    m_fileName.clear();
    m_savedContents = contents();
}

void SetupsDocument::open(const QString &fileName) {
    const PropertyBag bag = HostDocument::load(fileName);
    auto stateInfo = std::dynamic_pointer_cast<StateInfo>(
        bag.ReadProperty(HostDocument::kStateListKey).value<ObjectRef>());
    if (!stateInfo)
        throw AutomationError(ErrorNumber::InvalidFileFormat, QStringLiteral("ixo-setups"),
                              QStringLiteral("%1 holds no list of saved states").arg(fileName));
    // Documents written by other hosts may have no properties of the control.
    PropertyBag controlBag;
    if (bag.contains(HostDocument::kControlKey))
        controlBag.setContents(bag.ReadProperty(HostDocument::kControlKey));
    m_control.ReadProperties(controlBag);
    attach(std::move(stateInfo));
    m_fileName = fileName;
    m_savedContents = contents();
}

void SetupsDocument::save(const QString &fileName) {
    const QByteArray bytes = contents();
    PropertyBag bag;
    bag.setContents(bytes);
    HostDocument::save(bag, fileName);
    m_fileName = fileName;
    m_savedContents = bytes;
}

bool SetupsDocument::isModified() const {
    return contents() != m_savedContents;
}

QByteArray SetupsDocument::contents() const {
    PropertyBag controlBag;
    m_control.WriteProperties(controlBag);
    PropertyBag bag;
    bag.WriteProperty(HostDocument::kControlKey, controlBag.Contents());
    bag.WriteProperty(HostDocument::kStateListKey, QVariant::fromValue<ObjectRef>(m_stateInfo));
    return bag.Contents();
}

void SetupsDocument::attach(std::shared_ptr<StateInfo> stateInfo) {
    stateInfo->setSetupInterface(m_instrument);
    m_stateInfo = std::move(stateInfo);
    m_control.setInstrumentStateInfo(m_stateInfo);
}

} // namespace ixo
