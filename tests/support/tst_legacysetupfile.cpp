#include "AutomationAssert.h"
#include "automation/ErrorNumber.h"
#include "support/LegacySetupFile.h"

#include <QTest>

using namespace ixo;
using test::errorOf;
using test::errorTextOf;

class TestLegacySetupFile : public QObject {
    Q_OBJECT

private slots:
    void parse_data() {
        QTest::addColumn<QByteArray>("text");
        // Model, version, name, description and commands; or what the error says.
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("full header")
            << QByteArray("# Model: SG-100\n# Version: 2.1.0\n# Name: Bench\n"
                          "# Description: carrier on\n:FREQ 2.4E9\r\n\n:OUTP ON\n")
            << QStringList{"SG-100", "2.1.0", "Bench", "carrier on", ":FREQ 2.4E9\n:OUTP ON"};
        QTest::newRow("no header") << QByteArray(":FREQ 2.4E9;:OUTP ON")
                                   << QStringList{"", "*", "", "", ":FREQ 2.4E9;:OUTP ON"};
        QTest::newRow("! comments, keys in any case, empty version")
            << QByteArray("! MODEL: IXO SG-100\n!version:\n\t*RST\n:OUTP ON\n")
            << QStringList{"IXO SG-100", "*", "", "", "*RST\n:OUTP ON"};
        QTest::newRow("other comments left out")
            << QByteArray("# saved on Monday\n# Operator: Ann\n:POW -3\n")
            << QStringList{"", "*", "", "", ":POW -3"};
        QTest::newRow("binary") << QByteArray("IXS1\x00\x02\x03", 7)
                                << QStringList{"not text: control byte 0x00 at offset 4"};
        QTest::newRow("not UTF-8") << QByteArray("\xff\xfe:FREQ 1E6\n") << QStringList{"not UTF-8"};
        QTest::newRow("markup") << QByteArray("<?xml version=\"1.0\"?>\n<setup/>\n")
                                << QStringList{"Line 1 of the setup file is not an SCPI command"};
        QTest::newRow("prose after commands")
            << QByteArray(":FREQ 1E6\n\n3 volts\n")
            << QStringList{"Line 3 of the setup file is not an SCPI command: 3 volts"};
        QTest::newRow("comments only")
            << QByteArray("# Model: SG-100\n") << QStringList{"no instrument commands"};
        QTest::newRow("empty") << QByteArray() << QStringList{"no instrument commands"};
    }

    void parse() {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, fields);
        if (fields.size() == 1) {
            QCOMPARE(errorOf([&] { LegacySetupFile::parse(text); }),
                     ErrorNumber::InvalidFileFormat);
            const QString error = errorTextOf([&] { LegacySetupFile::parse(text); });
            QVERIFY2(error.contains(fields.front()), qPrintable(error));
            return;
        }
        const LegacySetupFile file = LegacySetupFile::parse(text);
        QCOMPARE(
            (QStringList{file.model, file.version, file.name, file.description, file.commands}),
            fields);
    }
};

QTEST_APPLESS_MAIN(TestLegacySetupFile)
#include "tst_legacysetupfile.moc"
