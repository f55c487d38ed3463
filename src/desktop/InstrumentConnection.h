#pragma once

#include "automation/Export.h"
#include "desktop/ConnectDialog.h"
#include "desktop/InstrumentSettings.h"
#include "instruments/discovery/InstrumentDiscovery.h"
#include "support/SetupInterface.h"

#include <QObject>
#include <memory>

namespace ixo {

class InstrumentRelay;
class ScpiInstrument;

// Which instrument the window talks to: connecting to a resource, which is identified first on
// the instrument's thread; disconnecting; and what the window says about the connection. The
// relay it owns stays the same object throughout, so that the control and the document keep it.
class IXO_EXPORT InstrumentConnection : public QObject {
    Q_OBJECT

public:
    // instrument: the one the window starts on (none leaves it disconnected).
    explicit InstrumentConnection(SetupInterfaceRef instrument, QObject *parent = nullptr);
    ~InstrumentConnection() override;

    // The settings panel's view of an SCPI instrument, which it keeps only weakly so that
    // letting the instrument go closes its connection on the instrument's thread.
    static InstrumentSettings settingsOf(const std::shared_ptr<ScpiInstrument> &instrument);

    const std::shared_ptr<InstrumentRelay> &relay() const { return m_relay; }
    // How a resource is opened; InstrumentFactory::open unless told otherwise.
    void setOpener(ConnectDialog::Opener opener);
    // What the Connect dialog shows as the profile a resource will use.
    void setProfileDescriber(ConnectDialog::ProfileDescriber describer);
    // Where the Connect dialog looks for instruments.
    void setDiscoveryOptions(const InstrumentDiscovery::Options &options);
    // The recent resources, the connected one first.
    std::unique_ptr<ConnectDialog> makeConnectDialog(QWidget *parent) const;
    // Asks the model of the instrument connected at the start, unless its connection failed.
    void identify();
    // Raises why the instrument could not be opened or identified, leaving the connection as it
    // was; a resource that connects is remembered among the recent ones.
    void connectTo(const QString &resource);
    void disconnect();

    bool isConnected() const;
    // The resource connectTo() was given, to offer it again.
    QString resource() const { return m_resource; }
    // The resource and *IDN? model of the connected instrument, or that there is none.
    QString description() const;
    // The state of the connection, for the status bar.
    QString status() const;

signals:
    // Another instrument, or none, is connected; its settings are read through settings.
    void switched(const InstrumentSettings &settings);
    // The connection broke or came back; message says so for a while.
    void statusChanged(const QString &message);

private:
    // The settings of a setup that is text; none for one of bytes.
    static QMap<QString, QString> readSettings(const std::shared_ptr<ScpiInstrument> &instrument);
    void switchTo(std::shared_ptr<ScpiInstrument> instrument, const QString &model);

    std::shared_ptr<InstrumentRelay> m_relay;
    ConnectDialog::Opener m_opener;
    ConnectDialog::ProfileDescriber m_profileDescriber;
    InstrumentDiscovery::Options m_discoveryOptions;
    QString m_resource;
    QString m_model;
};

} // namespace ixo
