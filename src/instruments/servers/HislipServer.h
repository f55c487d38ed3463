#pragma once

#include "automation/Export.h"
#include "instruments/protocols/HislipMessageReader.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_map>

class QTcpSocket;

namespace ixo {

class SimulatedDevice;

// Serves a SimulatedDevice over HiSLIP in synchronized mode: each session is a synchronous
// and an asynchronous connection; all sessions share the one device. The device's faults
// (delay, drop mid-answer, garbage) apply as over the raw socket; the protocol faults below
// replace the next answer of any session. Fault methods may be called from any thread.
class IXO_EXPORT HislipServer : public QObject {
    Q_OBJECT

public:
    static constexpr quint64 kDefaultMaxMessageSize = quint64(1) << 20;
    static constexpr quint16 kVendorId = 0x4958;

    explicit HislipServer(std::shared_ptr<SimulatedDevice> device, QObject *parent = nullptr);
    ~HislipServer() override;

    bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }
    SimulatedDevice &device() const { return *m_device; }

    // The largest message payload the device takes, told to clients that ask; for sessions
    // that begin afterwards.
    void setMaxMessageSize(quint64 bytes) { m_maxMessageSize = bytes; }
    quint64 maxMessageSize() const { return m_maxMessageSize; }
    int deviceClears() const { return m_deviceClears; }

    // The next answer becomes a FatalError with this code and text, and the session ends.
    void failNextAnswerFatally(quint8 code, const QString &text);
    // The next answer becomes a (non-fatal) Error with this code and text.
    void failNextAnswer(quint8 code, const QString &text);
    // The next answer's header announces a payload of 2^63 bytes.
    void oversizeNextAnswer();
    // Only the first bytes of the next answer's header go out; the session then stays silent.
    void stallNextAnswerMidHeader();

private:
    enum class Fault { None, Fatal, Error, Oversize, StallMidHeader };
    struct Connection {
        HislipMessageReader reader;
        quint16 session = 0;
    };
    struct Session {
        QTcpSocket *sync = nullptr;
        QTcpSocket *async = nullptr;
        QByteArray input;
        quint32 messageId = 0;
        quint64 clientMaxMessage = kDefaultMaxMessageSize;
        bool waiting = false;
        bool stalled = false;
        quint64 generation = 0;
    };

    void accept();
    void receive(QTcpSocket *socket);
    void handle(QTcpSocket *socket, HislipMessage &message);
    void initialize(QTcpSocket *socket, const HislipMessage &message);
    void initializeAsync(QTcpSocket *socket, const HislipMessage &message);
    void takeData(quint16 id, HislipMessage &message);
    void serve(quint16 id);
    void answer(quint16 id, const QByteArray &bytes, bool dropHalfway);
    void endSession(quint16 id);
    void dropConnection(QTcpSocket *socket);
    void fatal(QTcpSocket *socket, quint8 code, const QString &text);
    Session *session(quint16 id);
    Fault takeFault(quint8 &code, QString &text);

    std::shared_ptr<SimulatedDevice> m_device;
    QTcpServer m_server;
    std::unordered_map<QTcpSocket *, Connection> m_connections;
    std::unordered_map<quint16, Session> m_sessions;
    quint16 m_lastSession = 0;
    std::atomic<quint64> m_maxMessageSize = kDefaultMaxMessageSize;
    std::atomic<int> m_deviceClears = 0;

    std::mutex m_faultMutex;
    Fault m_fault = Fault::None;
    quint8 m_faultCode = 0;
    QString m_faultText;
};

} // namespace ixo
