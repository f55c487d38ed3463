#include "DemoBench.h"
#include "automation/AutomationError.h"
#include "control/InstrumentState.h"
#include "desktop/ConsoleInteraction.h"
#include "desktop/InstrumentConnection.h"
#include "desktop/MainWindow.h"
#include "desktop/RecentItems.h"
#include "desktop/SettingsDialog.h"
#include "instruments/InstrumentFactory.h"
#include "instruments/InstrumentProfiles.h"
#include "instruments/ScpiInstrument.h"
#include "server/TypeLibrary.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

struct Options {
    QString screenshot;
    QString document;
    QString instrument;
    QStringList select;
    QString profile;
    QString screenshotConnect;
    bool demoBench = false;
};

Options parse(const QCoreApplication &app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Keeps a list of saved instrument setups in a document: capture the connected "
        "instrument's setup, restore it, rename, remove, export and import state files."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("screenshot-connect"),
                      QStringLiteral("Save a picture of the Connect dialog, testing the "
                                     "instrument, to <file> and exit."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("screenshot"),
                      QStringLiteral("Save a picture of the window to <file> and exit."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("instrument"),
                      QStringLiteral("The instrument's VISA resource, such as "
                                     "TCPIP::192.168.1.20::5025::SOCKET, "
                                     "USB::0x1AB1::0x04CE::DS1ZA1234::INSTR or "
                                     "ASRL/dev/ttyUSB0,115200::INSTR (default SIM, the "
                                     "simulated instrument; SIM::<family> simulates one of "
                                     "ixo-instrument-sim's families)."),
                      QStringLiteral("resource"), ixo::InstrumentFactory::kSimulator});
    parser.addOption({QStringLiteral("select"),
                      QStringLiteral("Highlight the saved state <name> (given twice: compare "
                                     "the two)."),
                      QStringLiteral("name")});
    parser.addOption({QStringLiteral("profile"),
                      QStringLiteral("The instrument profile to use instead of the one matching "
                                     "the instrument's *IDN?."),
                      QStringLiteral("name")});
    parser.addOption({QStringLiteral("demo-bench"),
                      QStringLiteral("Open a new bench of four simulated instruments (generator, "
                                     "scope, supply, meter) instead of a document.")});
    parser.addPositionalArgument(QStringLiteral("document"),
                                 QStringLiteral("A document to open (.ixs)."), "[document]");
    parser.process(app);
    if (parser.isSet(QStringLiteral("demo-bench")) && !parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "ixo-setups: --demo-bench opens no document\n");
        std::exit(2);
    }
    return {parser.value(QStringLiteral("screenshot")),
            parser.positionalArguments().value(0),
            parser.value(QStringLiteral("instrument")),
            parser.values(QStringLiteral("select")),
            parser.value(QStringLiteral("profile")),
            parser.value(QStringLiteral("screenshot-connect")),
            parser.isSet(QStringLiteral("demo-bench"))};
}

// The Connect dialog once its first search has ended and a Test of resource has answered.
int takeConnectScreenshot(ixo::MainWindow &window, const QString &resource,
                          const QString &fileName) {
    const std::unique_ptr<ixo::ConnectDialog> dialog =
        window.connection().makeConnectDialog(&window);
    dialog->setResource(resource);
    dialog->show();
    QEventLoop loop;
    bool tested = false, searched = false;
    const auto settle = [&] {
        if (tested && searched)
            loop.quit();
    };
    QObject::connect(dialog.get(), &ixo::ConnectDialog::tested, &loop, [&] {
        tested = true;
        settle();
    });
    QObject::connect(&dialog->discovery(), &ixo::InstrumentDiscovery::finished, &loop, [&] {
        searched = true;
        settle();
    });
    dialog->test();
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    QApplication::processEvents();
    if (!dialog->grab().save(fileName)) {
        std::fprintf(stderr, "ixo-setups: could not write %s\n", qPrintable(fileName));
        return 1;
    }
    std::printf("ixo-setups: wrote %s\n", qPrintable(fileName));
    return 0;
}

int takeScreenshot(ixo::MainWindow &window, const QString &fileName) {
    QApplication::processEvents();
    if (!window.grab().save(fileName)) {
        std::fprintf(stderr, "ixo-setups: could not write %s\n", qPrintable(fileName));
        return 1;
    }
    std::printf("ixo-setups: wrote %s\n", qPrintable(fileName));
    return 0;
}

void nameApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("IxoInstrSetups"));
    QCoreApplication::setApplicationName(QStringLiteral("ixo-setups"));
    QCoreApplication::setApplicationVersion(QStringLiteral(IXO_VERSION));
}

// Help and version are answered without a window system, so they work without a display.
bool asksForHelpOrVersion(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")
            return false;
        if (argument == "-h" || argument == "--help" || argument == "-?" ||
            argument == "--help-all" || argument == "-v" || argument == "--version")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[]) {
    if (asksForHelpOrVersion(argc, argv)) {
        const QCoreApplication app(argc, argv);
        nameApplication();
        parse(app); // prints and exits
        return 0;
    }
    QApplication app(argc, argv);
    nameApplication();
    const Options options = parse(app);
    ixo::TypeLibrary::registerServer();
    if (!options.screenshot.isEmpty() || !options.screenshotConnect.isEmpty())
        ixo::Interaction::setCurrent(std::make_shared<ixo::ConsoleInteraction>());
    std::shared_ptr<ixo::ScpiInstrument> instrument;
    std::shared_ptr<const ixo::InstrumentProfiles> profiles;
    // Every instrument connected later uses the same profiles and, unless its role of a bench
    // names one, --profile.
    const auto opener = [&profiles, &options](const QString &resource,
                                              const QString &roleProfile = QString()) {
        const QString profile = roleProfile.isEmpty() ? options.profile : roleProfile;
        auto opened = ixo::InstrumentFactory::open(resource, profiles, profile);
        opened->setWarningHandler([](const QString &warning) {
            std::fprintf(stderr, "ixo-setups: warning: %s\n", qPrintable(warning));
        });
        if (ixo::SettingsDialog::verifyEnabled())
            opened->setVerifyRestore(true);
        return opened;
    };
    try {
        profiles = ixo::InstrumentProfiles::load();
        for (const QString &problem : profiles->problems())
            std::fprintf(stderr, "ixo-setups: warning: profile left out: %s\n",
                         qPrintable(problem));
        instrument = opener(options.instrument);
    } catch (const ixo::AutomationError &error) {
        std::fprintf(stderr, "ixo-setups: %s\n", qPrintable(error.description()));
        return 1;
    }
    ixo::InstrumentSettings settings = ixo::InstrumentConnection::settingsOf(instrument);
    // The window holds the only reference, so that switching instruments lets this one go.
    ixo::MainWindow window(std::move(instrument), std::move(settings));
    ixo::RecentItems::resources().remember(options.instrument);
    window.setOpener(opener);
    window.setProfileDescriber(ixo::ConnectDialog::describeProfiles(profiles, options.profile));
    if (options.demoBench) {
        window.newBench(ixo::DemoBench::roles());
        ixo::DemoBench::captureStates(window);
    }
    if (!options.document.isEmpty() && !window.openDocument(options.document))
        return 1;
    window.show();
    window.selectStates(options.select);
    if (!options.screenshot.isEmpty())
        return takeScreenshot(window, options.screenshot);
    if (!options.screenshotConnect.isEmpty())
        return takeConnectScreenshot(window, options.instrument, options.screenshotConnect);
    return QApplication::exec();
}
