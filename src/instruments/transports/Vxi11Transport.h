#pragma once

#include "automation/Export.h"
#include "instruments/transports/InstrumentTransport.h"
#include "instruments/transports/SocketChannel.h"

namespace ixo {

class AutomationError;

// A VXI-11 instrument (TCPIP::host[::device]::INSTR): ONC RPC over TCP to the core channel whose
// port the host's portmapper tells. A write is one message (END on its last chunk); a read
// fetches the answer until END or the term character, keeping what the caller did not take
// for the next read. An answer given up is cleared with device_clear.
class IXO_EXPORT Vxi11Transport : public InstrumentTransport {
public:
    static constexpr quint16 kPortmapperPort = 111;

    Vxi11Transport(QString host, QString deviceName, QString resourceName,
                   quint16 portmapperPort = kPortmapperPort);
    ~Vxi11Transport() override;

    void open(QDeadlineTimer deadline) override;
    void close() override;
    bool isOpen() const override;
    void write(const QByteArray &bytes, QDeadlineTimer deadline) override;
    QByteArray read(qsizetype maxBytes, QDeadlineTimer deadline) override;

    // The largest write chunk the device accepts, as create_link reported it.
    quint32 maxReceiveSize() const { return m_maxReceiveSize; }
    // Clears the device's input and output (device_clear).
    void clearDevice(QDeadlineTimer deadline);

private:
    struct Reply {
        QByteArray record;
        qsizetype resultsOffset = 0;
        QByteArrayView results() const { return QByteArrayView(record).sliced(resultsOffset); }
    };

    quint16 lookUpCorePort(QDeadlineTimer deadline);
    Reply call(SocketChannel &channel, quint32 program, quint32 version, quint32 procedure,
               QByteArrayView arguments, qsizetype maxReply, QDeadlineTimer deadline);
    Reply coreCall(quint32 procedure, QByteArrayView arguments, qsizetype maxReply,
                   QDeadlineTimer deadline);
    void fetch(qsizetype maxBytes, QDeadlineTimer deadline);
    void checkDevice(qint32 error, const QString &operation);
    // Drops the link without a word to the device: after a failure the channel is out of step.
    void abandon() override;
    [[noreturn]] void refuseReply(const AutomationError &error);
    static quint32 ioTimeout(QDeadlineTimer deadline);

    QString m_host;
    QString m_deviceName;
    quint16 m_portmapperPort;
    SocketChannel m_core{*this};
    qint32 m_link = 0;
    bool m_linked = false;
    quint32 m_maxReceiveSize = 0;
    quint32 m_xid = 0;
    // Fetched but not yet taken: m_input from m_inputOffset.
    QByteArray m_input;
    qsizetype m_inputOffset = 0;
};

} // namespace ixo
