#include "AutomationAssert.h"
#include "ServedDevice.h"
#include "automation/ErrorNumber.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/ThreadedInstrument.h"
#include "instruments/servers/SimulatorServer.h"

#include <QSet>
#include <QTest>
#include <future>
#include <mutex>

using namespace ixo;
using test::errorOf;
using test::errorTextOf;

namespace {

// Notes the thread of everything done to it.
class ThreadRecorder : public SetupInterface {
public:
    explicit ThreadRecorder(QSet<QThread *> &threads)
        : m_threads(threads) {
        note();
    }
    ~ThreadRecorder() override { note(); }

    QString Model() override {
        note();
        return QStringLiteral("model");
    }
    QVariant CaptureState() override {
        note();
        return QByteArray("setup");
    }
    void RestoreState(const QVariant &state) override {
        note();
        if (state.toByteArray() != "setup")
            throw AutomationError(ErrorNumber::Fail, QStringLiteral("recorder"),
                                  QStringLiteral("not my setup"));
    }
    QString Version() override {
        note();
        return QStringLiteral("1.0");
    }
    ObjectRef ImportLegacyFile(const QString &, const QString &) override {
        note();
        return nullptr;
    }

private:
    void note() {
        const std::lock_guard lock(m_mutex);
        m_threads.insert(QThread::currentThread());
    }

    QSet<QThread *> &m_threads;
    std::mutex m_mutex;
};

// Warnings Qt gives about objects used from a thread they do not belong to.
QStringList g_threadWarnings;

void catchThreadWarnings(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type == QtWarningMsg && message.contains(QLatin1String("thread")))
        g_threadWarnings << message;
}

} // namespace

class TestThreadedInstrument : public QObject {
    Q_OBJECT

private slots:
    void madeUsedAndReleasedOnOneThreadOfItsOwn() {
        QSet<QThread *> threads;
        {
            ThreadedInstrument instrument(
                [&threads] { return std::make_shared<ThreadRecorder>(threads); });
            QCOMPARE(instrument.Model(), QStringLiteral("model"));
            QCOMPARE(instrument.Version(), QStringLiteral("1.0"));
            // Callers on other threads still reach it on its own.
            std::async(std::launch::async, [&] {
                instrument.RestoreState(instrument.CaptureState());
            }).get();
            QCOMPARE(instrument.ImportLegacyFile(QStringLiteral("a.set"), QString()), nullptr);
        }
        QCOMPARE(threads.size(), 1);
        QVERIFY(!threads.contains(QThread::currentThread()));
    }

    void raisesErrorsInTheCaller() {
        QSet<QThread *> threads;
        ThreadedInstrument instrument(
            [&threads] { return std::make_shared<ThreadRecorder>(threads); });
        QCOMPARE(errorTextOf([&] { instrument.RestoreState(QByteArray("other")); }),
                 QStringLiteral("not my setup"));
        QCOMPARE(instrument.Model(), QStringLiteral("model"));
        QCOMPARE(errorOf([] {
                     ThreadedInstrument refused([]() -> SetupInterfaceRef {
                         throw AutomationError(ErrorNumber::FileNotFound, QStringLiteral("t"),
                                               QStringLiteral("no such instrument"));
                     });
                 }),
                 ErrorNumber::FileNotFound);
    }

    // A socket connection made on the instrument's thread, used there whichever thread calls.
    void socketInstrumentFromOtherThreads() {
        test::ServedDevice<SimulatorServer> served;
        QVERIFY(served.port() != 0);
        served.device->loadWaveform(QByteArray(1 << 20, 'w'));
        const QString resource = QStringLiteral("TCPIP::127.0.0.1::%1::SOCKET").arg(served.port());
        g_threadWarnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(catchThreadWarnings);
        {
            ThreadedInstrument instrument([&resource] {
                auto scpi = std::make_shared<ScpiInstrument>(resource);
                scpi->setSetupQuery(SimulatedDevice::kSetupQuery);
                scpi->setRestoreCommand(SimulatedDevice::kSetupCommand);
                return scpi;
            });
            QCOMPARE(instrument.Model(), SimulatedDevice::kDefaultModel);
            for (int i = 0; i < 3; ++i) {
                std::async(std::launch::async, [&] {
                    instrument.RestoreState(instrument.CaptureState());
                }).get();
            }
        }
        qInstallMessageHandler(previous);
        QVERIFY2(g_threadWarnings.isEmpty(), qPrintable(g_threadWarnings.join(u'\n')));
        QCOMPARE(served.device->waveform(), QByteArray(1 << 20, 'w'));
    }
};

QTEST_GUILESS_MAIN(TestThreadedInstrument)
#include "tst_threadedinstrument.moc"
