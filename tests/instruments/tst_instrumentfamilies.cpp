#include "AutomationAssert.h"
#include "TransportRig.h"
#include "automation/ErrorNumber.h"
#include "instruments/InstrumentProfiles.h"
#include "instruments/VisaStatus.h"

#include <QTest>

using namespace ixo;
using namespace ixo::test;

namespace {

// The simulator's family for a built-in profile: the same name, but for our own generator.
QString familyOf(const QString &profile) {
    return profile == InstrumentProfiles::kSimulatorName ? SimulatedDevice::kDefaultFamily
                                                         : profile;
}

// A command that changes a setting of the family's device.
QByteArray changeFor(const QString &family) {
    static const QMap<QString, QByteArray> changes{
        {SimulatedDevice::kDefaultFamily, ":FREQ 2E6"},
        {"keysight-infiniivision", ":TIM:SCAL 2E-3"},
        {"keysight-infiniium", ":TIM:SCAL 2E-3"},
        {"keysight-xsa", ":FREQ:CENT 2E9"},
        {"rigol-ds1000z", ":TIM:MAIN:SCAL 2E-3"},
        {"siglent-sds1000xe", "TDIV 2E-3"},
        {"tektronix-mso", "HOR:SCA 2E-3"},
        {"keysight-truevolt", ":VOLT:DC:RANG 100"},
        {"keysight-33500", ":SOUR1:FREQ 2000"},
        {"rs-fsw", ":FREQ:CENT 2E9"},
        {"rs-znb", ":SENS1:FREQ:STAR 2E8"},
        {"rs-sma100b", ":FREQ 2E9"},
        {"keysight-e36300", "SOUR:VOLT 3,(@1)"},
        {"keithley-2400", ":SOUR:VOLT:LEV 3"},
    };
    return changes.value(family);
}

// A family's device served over one transport, with a client that picks its profile by *IDN?.
class FamilyRig {
public:
    FamilyRig(const QString &family, const QString &transport) {
        m_device = SimulatedDevice::forFamily(family);
        if (!m_device)
            return;
        // Fast enough for a test, slow enough that a restore must wait for it.
        if (family == QLatin1String("rigol-ds1000z"))
            m_device->setApplyDelay(300);
        if (transport == QLatin1String("vxi11")) {
            m_vxi11 = std::make_unique<ServedDevice<Vxi11Server>>(m_device);
            m_client = std::make_unique<ScpiInstrument>(rigs::vxi11(m_vxi11->port()));
        } else {
            m_socket = std::make_unique<ServedDevice<SimulatorServer>>(m_device);
            m_client = std::make_unique<ScpiInstrument>(rigs::socket(m_socket->port()));
        }
        m_client->useProfiles(std::make_shared<const InstrumentProfiles>());
    }

    SimulatedDevice *device() const { return m_device.get(); }
    ScpiInstrument &client() const { return *m_client; }

private:
    std::shared_ptr<SimulatedDevice> m_device;
    std::unique_ptr<ServedDevice<SimulatorServer>> m_socket;
    std::unique_ptr<ServedDevice<Vxi11Server>> m_vxi11;
    std::unique_ptr<ScpiInstrument> m_client;
};

} // namespace

class TestInstrumentFamilies : public QObject {
    Q_OBJECT

private slots:
    // Every built-in family profile is chosen by the family's own *IDN? and captures and
    // restores its setup, over the raw socket and over VXI-11, leaving no file behind.
    void roundTrip_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("transport");
        const InstrumentProfiles profiles;
        for (const InstrumentProfile &profile : profiles.profiles()) {
            if (profile.name == InstrumentProfiles::kGenericName)
                continue;
            for (const char *transport : {"socket", "vxi11"})
                QTest::addRow("%s %s", qPrintable(profile.name), transport)
                    << profile.name << QString::fromLatin1(transport);
        }
    }

    void roundTrip() {
        QFETCH(QString, profile);
        QFETCH(QString, transport);
        const FamilyRig rig(familyOf(profile), transport);
        QVERIFY2(rig.device(), qPrintable("no simulated family for " + profile));
        ScpiInstrument &client = rig.client();
        client.Model();
        QCOMPARE(client.profile().name, profile);
        if (client.profile().registersOnly) {
            QCOMPARE(errorOf([&] { client.CaptureState(); }), ErrorNumber::InvalidProcedureCall);
            return;
        }
        const auto before = rig.device()->settings();
        const QVariant setup = client.CaptureState();
        rig.device()->apply(changeFor(familyOf(profile)));
        QVERIFY(rig.device()->settings() != before);
        client.setVerifyRestore(true);
        client.RestoreState(setup);
        QCOMPARE(rig.device()->settings(), before);
        QVERIFY2(client.warnings().isEmpty(), qPrintable(client.warnings().join('\n')));
        QCOMPARE(rig.device()->files(), QStringList());
    }

    // A step that fails (a refused command, a file that is not there, an answer that never
    // comes) ends the capture or restore with the step and the instrument's error named; the
    // cleanup deletes the temporary file and a failed restore changes nothing.
    void failedStep_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("capture");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        const QString notFound = QStringLiteral("-256,\"File name not found\"");
        QTest::newRow("store refused") << "keysight-truevolt"
                                       << "MMEM:STOR:STAT" << true << int(ErrorNumber::Fail)
                                       << notFound + " after \"send MMEMory:STORe:STATe";
        QTest::newRow("file gone before the upload")
            << "keysight-33500"
            << "MMEM:UPL?" << true << int(VisaStatus::Timeout)
            << "(step 4 of 4 of the capture: query block MMEMory:UPLoad?";
        QTest::newRow("download refused")
            << "rs-fsw"
            << "MMEM:DATA" << false << int(ErrorNumber::Fail) << "(step 3 of 5 of the restore";
        QTest::newRow("load refused") << "rs-znb"
                                      << "MMEM:LOAD:STAT" << false << int(ErrorNumber::Fail)
                                      << "reported an error during the restore: " + notFound;
        QTest::newRow("recall refused")
            << "rs-sma100b"
            << "SYST:RCL" << false << int(ErrorNumber::Fail) << notFound;
        QTest::newRow("stalled answer")
            << "rs-sma100b"
            << "" << true << int(VisaStatus::Timeout) << "did not answer MMEMory:DATA?";
    }

    void failedStep() {
        QFETCH(QString, family);
        QFETCH(QString, failing);
        QFETCH(bool, capture);
        QFETCH(QString, text);
        const FamilyRig rig(family, QStringLiteral("socket"));
        ScpiInstrument &client = rig.client();
        client.setTimeout(500);
        const QVariant setup = capture ? QVariant() : client.CaptureState();
        rig.device()->apply(changeFor(family));
        const auto before = rig.device()->settings();
        if (failing.isEmpty())
            rig.device()->stallNextCapture();
        else
            rig.device()->failNextCommand(failing, QStringLiteral("-256,\"File name not found\""));
        try {
            if (capture)
                client.CaptureState();
            else
                client.RestoreState(setup);
            QFAIL("the step did not fail");
        } catch (const AutomationError &error) {
            QVERIFY2(error.description().contains(text), qPrintable(error.description()));
            QTEST(int(error.number()), "number");
        }
        QCOMPARE(rig.device()->files(), QStringList());
        QCOMPARE(rig.device()->settings(), before);
    }
};

QTEST_GUILESS_MAIN(TestInstrumentFamilies)
#include "tst_instrumentfamilies.moc"
