#include "instruments/Ieee488Block.h"
#include "instruments/simulator/SimulatedDevice.h"

#include <QTest>

using namespace ixo;

// Each simulated family at the raw SCPI level, as the profiles of the same names drive it.
class TestSimulatedFamilies : public QObject {
    Q_OBJECT

    // Sends the messages in turn, "$" in one standing for the last answer so far (without its
    // newline); returns the last message's answer.
    static SimulatedDevice::Reply converse(SimulatedDevice &device,
                                           const QByteArrayList &messages) {
        QByteArray last;
        SimulatedDevice::Reply reply;
        for (QByteArray message : messages) {
            reply = device.process(message.replace("$", last) + '\n');
            if (!reply.bytes.isEmpty())
                last = reply.bytes.chopped(1);
        }
        return reply;
    }

private slots:
    void identity_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("identity");
        const QList<std::pair<const char *, const char *>> rows{
            {"ixo", "IXO,SG-100,000001,2.1.0"},
            {"keysight-infiniivision",
             "KEYSIGHT TECHNOLOGIES,DSO-X 3024T,MY58100001,07.50.2021102830"},
            {"keysight-infiniium", "KEYSIGHT TECHNOLOGIES,MSOS254A,MY56100001,06.70.00201"},
            {"keysight-xsa", "Keysight Technologies,N9020B,MY56100001,A.32.05"},
            {"rigol-ds1000z", "RIGOL TECHNOLOGIES,DS1104Z,DS1ZA000000001,00.04.04.SP4"},
            {"siglent-sds1000xe", "Siglent Technologies,SDS1202X-E,SDS1EBAC0L0098,1.3.27"},
            {"tektronix-mso", "TEKTRONIX,MSO54,C012345,CF:91.1CT FV:1.28.3.1021"},
            {"keysight-truevolt",
             "Keysight Technologies,34465A,MY57500001,A.02.14-02.40-02.14-00.49-03-01"},
            {"keysight-33500", "Keysight Technologies,33522B,MY52600001,4.00-1.19-2.00-58-00"},
            {"rs-fsw", "Rohde&Schwarz,FSW-26,1312.8000K26/101234,4.80"},
            {"rs-znb", "Rohde-Schwarz,ZNB8-4Port,1311601044100104,3.45"},
            {"rs-sma100b", "Rohde&Schwarz,SMA100B,1419.8888K02/101234,4.70.026.40"},
            {"keysight-e36300", "Keysight Technologies,E36312A,MY59000001,2.1.0-1.0.4-1.12"},
            {"keithley-2400", "KEITHLEY INSTRUMENTS INC.,MODEL 2400,1234567,C32   Oct  4 2010 "
                              "14:20:11/A02  /K/J"},
            {"keysight-e364x", "Agilent Technologies,E3646A,0,1.7-5.0-1.0"},
        };
        for (const auto &[family, identity] : rows)
            QTest::newRow(family) << family << identity;
    }

    void identity() {
        QFETCH(QString, family);
        QFETCH(QString, identity);
        QVERIFY(SimulatedDevice::familyNames().contains(family));
        QVERIFY(!SimulatedDevice::familyDescription(family).isEmpty());
        const auto device = SimulatedDevice::forFamily(family);
        QCOMPARE(device->process("*IDN?\n").bytes, identity.toUtf8() + '\n');
        QCOMPARE(SimulatedDevice::forFamily(family, "M", "V")->model(), QStringLiteral("M"));
        QVERIFY(!SimulatedDevice::forFamily(family + "x"));
    }

    // A changed setting survives the family's capture, a reset and the restore, leaving no
    // files and no errors.
    void roundTrip_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QByteArray>("change");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArrayList>("messages");
        QTest::addColumn<QByteArray>("errorQuery");
        QTest::addColumn<QByteArray>("noError");
        const QByteArrayList block{":SYSTem:SETup?", "*RST", ":syst:set $"};
        const QByteArrayList keysightFiles{
            R"(MMEMory:STORe:STATe "INT:\S1")", R"(MMEM:UPL? "INT:\S1.sta")",
            R"(mmem:del "int:\s1.STA")",        "*RST",
            R"(MMEM:DOWN:FNAM "INT:\S2.sta")",  "MMEM:DOWN:DATA $",
            R"(MMEM:LOAD:STAT "INT:\S2.sta")",  R"(MMEM:DEL "INT:\S2.sta")"};
        const auto rsFiles = [](const QByteArray &s1, const QByteArray &s2) {
            return QByteArrayList{
                "MMEM:STOR:STAT 1," + s1, "MMEM:DATA? " + s1,           "MMEM:DEL " + s1, "*RST",
                "MMEM:DATA " + s2 + ",$", "MMEMory:LOAD:STATe 1," + s2, "MMEM:DEL " + s2};
        };
        const QByteArray keysightNoError = R"(+0,"No error")";
        const QByteArray noError = R"(0,"No error")";
        QTest::newRow("ixo") << "ixo" << QByteArray(":FREQ 2E9") << ":FREQ"
                             << QByteArrayList{":SYST:SET?", "*RST", ":SYST:SET $"}
                             << QByteArray(":SYST:ERR?") << noError;
        for (const char *family : {"keysight-infiniivision", "keysight-infiniium"})
            QTest::newRow(family) << family << QByteArray(":TIM:SCAL 2E-3") << ":TIM:SCAL" << block
                                  << QByteArray("SYST:ERR?") << keysightNoError;
        QTest::newRow("keysight-xsa")
            << "keysight-xsa" << QByteArray(":FREQ:CENT 2E9") << ":FREQ:CENT" << block
            << QByteArray("SYST:ERR?") << keysightNoError;
        QTest::newRow("rigol-ds1000z")
            << "rigol-ds1000z" << QByteArray(":TIM:MAIN:SCAL 2E-3") << ":TIM:MAIN:SCAL" << block
            << QByteArray("SYST:ERR?") << noError;
        QTest::newRow("siglent-sds1000xe")
            << "siglent-sds1000xe" << QByteArray("TDIV 2E-3") << ":TDIV"
            << QByteArrayList{"PNSU?", "*RST", "$"} << QByteArray("CMR?") << QByteArray("CMR 0");
        QTest::newRow("tektronix-mso")
            << "tektronix-mso" << QByteArray("HOR:SCA 2E-3") << ":HOR:SCA"
            << QByteArrayList{"SET?", "*RST", "$"} << QByteArray("ALLEV?")
            << QByteArray(R"(:ALLEV 0,"No events to report - queue empty")");
        QTest::newRow("keysight-truevolt")
            << "keysight-truevolt" << QByteArray(":VOLT:DC:RANG 100") << ":VOLT:DC:RANG"
            << keysightFiles << QByteArray("SYST:ERR?") << keysightNoError;
        QTest::newRow("keysight-33500")
            << "keysight-33500" << QByteArray(":SOUR1:FREQ 2000") << ":SOUR1:FREQ" << keysightFiles
            << QByteArray("SYST:ERR?") << keysightNoError;
        QTest::newRow("rs-fsw") << "rs-fsw" << QByteArray(":FREQ:CENT 2E9") << ":FREQ:CENT"
                                << rsFiles(R"('C:\Temp\S1.dfl')", R"('c:\temp\S2.dfl')")
                                << QByteArray("SYST:ERR?") << noError;
        QTest::newRow("rs-znb") << "rs-znb" << QByteArray(":SENS1:SWE:POIN 401")
                                << ":SENS1:SWE:POIN"
                                << rsFiles(R"('C:\Temp\S1.znx')", R"("C:\Temp\S2.znx")")
                                << QByteArray("SYST:ERR:NEXT?") << noError;
        QTest::newRow("rs-sma100b") << "rs-sma100b" << QByteArray(":FREQ 2E9") << ":FREQ"
                                    << QByteArrayList{"SYST:SAV '/var/user/s1.savrcltxt'",
                                                      "MMEM:DATA? '/var/user/s1.savrcltxt'",
                                                      "MMEM:DEL '/var/user/s1.savrcltxt'",
                                                      "*RST",
                                                      "MMEM:DATA '/var/user/s2.savrcltxt',$",
                                                      "SYSTem:RCL '/var/user/s2.savrcltxt'",
                                                      "MMEM:DEL '/var/user/s2.savrcltxt'"}
                                    << QByteArray("SYST:ERR?") << noError;
        QTest::newRow("keysight-e36300")
            << "keysight-e36300" << QByteArray("SOUR:VOLT 5,(@2)") << ":SOUR:VOLT (@2)"
            << QByteArrayList{"*SAV 10", "*RST", "*RCL 10"} << QByteArray("SYST:ERR?")
            << keysightNoError;
        QTest::newRow("keysight-e364x") << "keysight-e364x" << QByteArray("VOLT 5") << ":VOLT"
                                        << QByteArrayList{"*SAV 5", "*RST", "*RCL 5"}
                                        << QByteArray("SYST:ERR?") << keysightNoError;
        QTest::newRow("keithley-2400")
            << "keithley-2400" << QByteArray(":SOUR:VOLT:LEV 1") << ":SOUR:VOLT:LEV"
            << QByteArrayList{"*SAV 0", "*RST", "*RCL 0"} << QByteArray(":SYST:ERR?") << noError;
    }

    void roundTrip() {
        QFETCH(QString, family);
        QFETCH(QByteArray, change);
        QFETCH(QString, key);
        QFETCH(QByteArrayList, messages);
        QFETCH(QByteArray, errorQuery);
        QFETCH(QByteArray, noError);
        const auto device = SimulatedDevice::forFamily(family);
        const QString initial = device->setting(key);
        device->apply(change);
        const QString changed = device->setting(key);
        QVERIFY(!initial.isEmpty() && changed != initial);
        QVERIFY(device->settings().contains(key));
        converse(*device, messages);
        QCOMPARE(device->setting(key), changed);
        QCOMPARE(device->files(), QStringList());
        QCOMPARE(device->process(errorQuery + '\n').bytes, noError + '\n');
    }

    void quirks_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("blockForm");
        QTest::addColumn<QByteArrayList>("messages");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("minDelay");
        const auto row = [](const char *name, const char *family, const QByteArrayList &messages,
                            const QByteArray &answer, int minDelay = 0, int blockForm = -1) {
            QTest::newRow(name) << family << blockForm << messages << answer << minDelay;
        };
        row("keysight #8", "keysight-infiniivision", {":SYST:SET?"}, "#8000000");
        row("keysight indefinite", "keysight-infiniivision",
            {":TIM:SCAL 2E-3", ":SYST:SET?", "*RST", ":SYST:SET $", ":SYST:SET?",
             ":TIM:SCAL?;:SYST:ERR?"},
            R"(2.0000E-03;+0,"No error")", 0, int(Ieee488Block::Form::Indefinite));
        row("rigol #9", "rigol-ds1000z", {":SYST:SET?"}, "#9000000");
        row("rigol busy applying", "rigol-ds1000z", {":SYST:SET?", ":SYST:SET $;*OPC?"}, "1", 1500);
        row("siglent header", "siglent-sds1000xe", {"PNSU?"}, QByteArray("PNSU #90000000"));
        row("siglent bare", "siglent-sds1000xe", {"CHDR OFF", "CHDR?;PNSU?;CMR?"}, "OFF;#9000000");
        row("siglent command error", "siglent-sds1000xe", {"SYST:ERR?", "CMR?;CMR?"},
            "CMR 1;CMR 0");
        row("siglent execution error", "siglent-sds1000xe", {"PNSU #15hello", "EXR?;EXR?;*ESR?"},
            "EXR 36;EXR 0;32");
        row("sma #(n)", "rs-sma100b",
            {"SYST:SAV '/var/user/a.savrcltxt'", "MMEM:DATA? '/var/user/A.SAVRCLTXT'"}, "#(");
        row("sma definite forced", "rs-sma100b",
            {"SYST:SAV '/var/user/a.savrcltxt'", "MMEM:DATA? '/var/user/a.savrcltxt'"}, "#2", 0,
            int(Ieee488Block::Form::Definite));
        row("keysight missing file", "keysight-truevolt",
            {R"(MMEM:LOAD:STAT "INT:\none")", "SYST:ERR?"}, R"(-256,"File name not found")");
        row("keysight stored without .sta", "keysight-truevolt",
            {R"(MMEM:STOR:STAT "INT:\a")", R"(MMEM:LOAD:STAT "INT:\a")", "SYST:ERR?"},
            R"(-256,"File name not found")");
        row("keysight other folder", "keysight-truevolt", {R"(MMEM:STOR:STAT "C:\a")", "SYST:ERR?"},
            R"(-257,"File name error")");
        row("keysight data without name", "keysight-33500", {"MMEM:DOWN:DATA #13abc", "SYST:ERR?"},
            R"(-221,"Settings conflict")");
        row("keysight not a setup", "keysight-33500",
            {R"(MMEM:DOWN:FNAM "INT:\x.sta";MMEM:DOWN:DATA #13abc)",
             R"(MMEM:LOAD:STAT "INT:\x.sta")", "SYST:ERR?"},
            R"(-161,"Invalid block data")");
        row("rs missing file", "rs-fsw", {R"(MMEM:DATA? 'C:\Temp\none.dfl')", "SYST:ERR?"},
            R"(-256,"File name not found")");
        row("tek events", "tektronix-mso", {"HOR:SCA 1E9;FOO", "*ESR?;ALLEV?"},
            R"(48;:ALLEV 222,"Data out of range",113,"Undefined header")");
        row("tek no error queue", "tektronix-mso", {"SYST:ERR?", "EVMSG?;EVMSG?"},
            R"(:EVMSG 113,"Undefined header";:EVMSG 0,"No events to report - queue empty")");
        row("e36300 outputs", "keysight-e36300",
            {"SOURce:VOLTage 5,(@1);OUTP ON,(@3)", "SOUR:VOLT? (@1);OUTP? (@3);OUTP? (@2)"},
            "+5.00000000E+00;1;0");
        row("e36300 range", "keysight-e36300", {"SOUR:CURR 2,(@2)", "SYST:ERR?"},
            R"(-222,"Data out of range")");
        row("e36300 no learn string", "keysight-e36300", {"*LRN?", "SYST:ERR?"},
            R"(-113,"Undefined header")");
        row("e364x no setup query", "keysight-e364x", {"SYST:SET?", "SYST:ERR?"},
            R"(-113,"Undefined header")");
        row("keithley", "keithley-2400", {":SOUR:FUNC CURRent", ":SOUR:FUNC?;:SOUR:CURR:LEV?"},
            "CURR;+0.000000E+00");
    }

    void quirks() {
        QFETCH(QString, family);
        QFETCH(int, blockForm);
        QFETCH(QByteArrayList, messages);
        QFETCH(QByteArray, answer);
        QFETCH(int, minDelay);
        const auto device = SimulatedDevice::forFamily(family);
        if (blockForm >= 0)
            device->setBlockForm(Ieee488Block::Form(blockForm));
        const SimulatedDevice::Reply reply = converse(*device, messages);
        QVERIFY2(reply.bytes.startsWith(answer), reply.bytes.constData());
        QVERIFY(reply.delayMs >= minDelay);
    }

    // Siglent's setups begin with a newline and a NUL: the block keeps them, and the message
    // holding them back is found whole in a stream.
    void siglentBlockBytes() {
        const auto device = SimulatedDevice::forFamily("siglent-sds1000xe");
        const QByteArray answer = device->process("TDIV 5E-3;PNSU?\n").bytes;
        QVERIFY(answer.contains(QByteArray("SDS\n\0\r\n", 7)));
        device->process("*RST\n");
        QCOMPARE(SimulatedDevice::messageLength(answer + "*IDN?\n"), answer.size());
        device->process(answer);
        QCOMPARE(device->setting("TDIV"), "5.00E-03");
    }

    void failNextCommand() {
        const auto device = SimulatedDevice::forFamily("keysight-truevolt");
        device->apply(":VOLT:DC:RANG 100");
        device->process(R"(MMEM:STOR:STAT "INT:\a")"
                        "\n");
        QVERIFY(device->file(R"(int:\A.STA)"));
        device->apply(":VOLT:DC:RANG 1");
        device->failNextCommand("MMEM:LOAD:STAT", R"(-256,"File name not found")");
        const QByteArray load = R"(MMEMory:LOAD:STATe "INT:\a.sta")"
                                "\n";
        device->process(load);
        QCOMPARE(device->setting(":VOLT:DC:RANG"), "1.000000E+00");
        QCOMPARE(device->process("SYST:ERR?\n").bytes, "-256,\"File name not found\"\n");
        device->process(load);
        QCOMPARE(device->setting(":VOLT:DC:RANG"), "1.000000E+02");
    }
};

QTEST_GUILESS_MAIN(TestSimulatedFamilies)
#include "tst_simulatedfamilies.moc"
