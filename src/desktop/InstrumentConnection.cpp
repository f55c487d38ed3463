#include "desktop/InstrumentConnection.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "desktop/InstrumentRelay.h"
#include "desktop/RecentItems.h"
#include "instruments/InstrumentFactory.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/ScpiSettings.h"

namespace ixo {

InstrumentConnection::InstrumentConnection(SetupInterfaceRef instrument, QObject *parent)
    : QObject(parent)
    , m_relay(std::make_shared<InstrumentRelay>(std::move(instrument)))
    , m_opener([](const QString &resource) { return InstrumentFactory::open(resource); }) {
    connect(m_relay.get(), &InstrumentRelay::connectionLost, this,
            [this](const QString &description) { emit statusChanged(description); });
    connect(m_relay.get(), &InstrumentRelay::connectionRestored, this,
            [this] { emit statusChanged(tr("Reconnected to %1").arg(description())); });
}

InstrumentConnection::~InstrumentConnection() = default;

InstrumentSettings
InstrumentConnection::settingsOf(const std::shared_ptr<ScpiInstrument> &instrument) {
    const std::weak_ptr<ScpiInstrument> weak = instrument;
    const auto held = [weak] {
        auto held = weak.lock();
        if (!held)
            throw AutomationError(ErrorNumber::Fail, QStringLiteral("ixo-setups"),
                                  InstrumentRelay::notConnectedText());
        return held;
    };
    return {[held] { return readSettings(held()); },
            [held](const QString &header, const QString &value) {
                ScpiSettings(held()).write(header, value);
            }};
}

// A setup read one setting at a time or by a query of the instrument's own shows through the
// capture; a block or file shows none, where *LRN? would only wait for its timeout.
QMap<QString, QString>
InstrumentConnection::readSettings(const std::shared_ptr<ScpiInstrument> &instrument) {
    const InstrumentProfile &profile = instrument->profile();
    if (!profile.capturesText())
        return {};
    if (profile.method() == InstrumentProfile::Method::Steps && profile.capture.isEmpty() &&
        profile.captureQuery == ScpiInstrument::kLearnQuery)
        return ScpiSettings(instrument).read();
    return ScpiSettings::parse(instrument->CaptureState().toString());
}

void InstrumentConnection::setOpener(ConnectDialog::Opener opener) {
    m_opener = std::move(opener);
}

void InstrumentConnection::setProfileDescriber(ConnectDialog::ProfileDescriber describer) {
    m_profileDescriber = std::move(describer);
}

void InstrumentConnection::setDiscoveryOptions(const InstrumentDiscovery::Options &options) {
    m_discoveryOptions = options;
}

std::unique_ptr<ConnectDialog> InstrumentConnection::makeConnectDialog(QWidget *parent) const {
    QStringList recent = RecentItems::resources().items();
    if (isConnected() && !m_resource.isEmpty()) {
        recent.removeAll(m_resource);
        recent.prepend(m_resource);
    }
    return std::make_unique<ConnectDialog>(recent, m_discoveryOptions, m_profileDescriber, m_opener,
                                           parent);
}

void InstrumentConnection::identify() {
    if (!m_relay->isConnected() || m_relay->isConnectionLost())
        return;
    try {
        m_model = m_relay->Model();
    } catch (const AutomationError &) {
        // The status shows it as a lost connection.
    }
}

void InstrumentConnection::connectTo(const QString &resource) {
    const QString trimmed = resource.trimmed();
    std::shared_ptr<ScpiInstrument> instrument;
    try {
        instrument = m_opener(trimmed);
        const QString model = m_relay->runApart([instrument] { return instrument->Model(); },
                                                tr("Connecting to %1...").arg(trimmed),
                                                [instrument] { instrument->cancel(); });
        m_resource = trimmed;
        RecentItems::resources().remember(trimmed);
        switchTo(std::move(instrument), model);
    } catch (const AutomationError &) {
        // Closed on the thread that opened it.
        if (instrument)
            m_relay->runApart([instrument] { instrument->disconnect(); }, QString(), {});
        throw;
    }
}

void InstrumentConnection::disconnect() {
    m_resource.clear();
    switchTo(nullptr, QString());
}

void InstrumentConnection::switchTo(std::shared_ptr<ScpiInstrument> instrument,
                                    const QString &model) {
    const InstrumentSettings settings = instrument ? settingsOf(instrument) : InstrumentSettings();
    m_relay->setInstrument(std::move(instrument));
    m_model = model;
    emit switched(settings);
}

bool InstrumentConnection::isConnected() const {
    return m_relay->isConnected();
}

QString InstrumentConnection::description() const {
    if (!isConnected())
        return tr("no instrument");
    return m_model.isEmpty() ? m_relay->name() : tr("%1 (%2)").arg(m_relay->name(), m_model);
}

QString InstrumentConnection::status() const {
    if (!isConnected())
        return tr("Not connected");
    if (m_relay->isConnectionLost())
        return tr("Connection to %1 lost; the next command reconnects").arg(m_relay->name());
    return tr("Connected to %1").arg(description());
}

} // namespace ixo
