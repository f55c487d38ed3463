#include "StatesCli.h"

#include "automation/AutomationError.h"
#include "automation/ClassRegistry.h"
#include "automation/ErrorNumber.h"
#include "model/ItemStateInfo.h"
#include "support/HostDocument.h"
#include "support/SimulatedInstrument.h"
#include "support/StateFile.h"

#include <QDir>
#include <QFileInfo>

namespace ixo {

namespace {

const QString kItemProgId = QStringLiteral("IxoInstrSetups.ItemStateInfo");
const QString kListProgId = QStringLiteral("IxoInstrSetups.StateInfo");

} // namespace

StatesCli::StatesCli(QTextStream &out, QTextStream &err)
    : m_out(out)
    , m_err(err)
    , m_instrument(std::make_shared<SimulatedInstrument>()) {}

int StatesCli::run(const QStringList &arguments) {
    const QString command = arguments.value(0);
    try {
        if (command == QLatin1String("demo") && arguments.size() <= 2)
            return demo(arguments.value(1, QStringLiteral("ixo-demo")));
        if (command == QLatin1String("list") && arguments.size() == 2)
            return list(arguments[1]);
        if (command == QLatin1String("capture") && (arguments.size() == 3 || arguments.size() == 4))
            return capture(arguments[1], arguments[2], arguments.value(3));
        if (command == QLatin1String("export") && arguments.size() == 4)
            return exportState(arguments[1], arguments[2], arguments[3]);
        if (command == QLatin1String("import") && arguments.size() == 3)
            return importState(arguments[1], arguments[2]);
        if (command == QLatin1String("remove") && arguments.size() == 3)
            return remove(arguments[1], arguments[2]);
    } catch (const AutomationError &error) {
        m_err << "error " << error.number() << " (" << error.source()
              << "): " << error.description() << Qt::endl;
        return 1;
    }
    return usage();
}

int StatesCli::usage() {
    m_err << "usage: ixo-states demo [directory]\n"
             "       ixo-states list <document>\n"
             "       ixo-states capture <document> <name> [description]\n"
             "       ixo-states export <document> <name> <file.sta>\n"
             "       ixo-states import <document> <file.sta | setup file>\n"
             "       ixo-states remove <document> <name>"
          << Qt::endl;
    return 2;
}

std::shared_ptr<StateInfo> StatesCli::loadList(const QString &document) const {
    if (!QFileInfo::exists(document)) {
        auto states = std::make_shared<StateInfo>();
        states->setSetupInterface(m_instrument);
        return states;
    }
    const PropertyBag bag = HostDocument::load(document);
    auto states = std::dynamic_pointer_cast<StateInfo>(
        bag.ReadProperty(HostDocument::kStateListKey).value<ObjectRef>());
    if (!states)
        throw AutomationError(ErrorNumber::TypeMismatch, QStringLiteral("ixo-states"),
                              QStringLiteral("%1 holds no state list").arg(document));
    states->setSetupInterface(m_instrument);
    return states;
}

void StatesCli::saveList(const std::shared_ptr<StateInfo> &states, const QString &document) const {
    PropertyBag bag;
    bag.WriteProperty(HostDocument::kStateListKey, QVariant::fromValue<ObjectRef>(states));
    HostDocument::save(bag, document);
}

void StatesCli::printList(const StateInfo &states) {
    const int count = states.Items()->Count();
    m_out << count << (count == 1 ? " saved state" : " saved states") << Qt::endl;
    for (int i = 1; i <= count; ++i) {
        const auto state = states.item(i);
        const bool here =
            state->Model() == m_instrument->Model() && state->Version() == m_instrument->Version();
        m_out << "  " << i << ". " << state->Name() << " - " << state->Description() << " ["
              << state->Model() << ' ' << state->Version() << (here ? "" : ", other instrument")
              << ", " << state->data().toByteArray().size() << " bytes]" << Qt::endl;
    }
}

void StatesCli::addState(StateInfo &states, const std::shared_ptr<QObject> &state) {
    const QString name = state->property("Name").toString();
    states.Items()->Add(QVariant::fromValue(state), name);
}

int StatesCli::list(const QString &document) {
    printList(*loadList(document));
    return 0;
}

int StatesCli::capture(const QString &document, const QString &name, const QString &description) {
    const auto states = loadList(document);
    auto state = std::make_shared<ItemStateInfo>();
    state->Init(states->SetupInterface());
    state->setName(name);
    state->setDescription(description);
    state->setData(states->SetupInterface()->CaptureState());
    addState(*states, state);
    saveList(states, document);
    printList(*states);
    return 0;
}

int StatesCli::exportState(const QString &document, const QString &name, const QString &file) {
    const auto states = loadList(document);
    StateFile stateFile;
    stateFile.SaveObject(states->Items()->Item(name).value<ObjectRef>(), file);
    m_out << "exported " << name << " to " << file << Qt::endl;
    return 0;
}

int StatesCli::importState(const QString &document, const QString &file) {
    const auto states = loadList(document);
    StateFile stateFile;
    const bool isStateFile =
        stateFile.FileExtension(file).compare(QLatin1String(".sta"), Qt::CaseInsensitive) == 0;
    const ObjectRef state = isStateFile ? stateFile.LoadObject(kItemProgId, file)
                                        : m_instrument->ImportLegacyFile(file, kItemProgId);
    addState(*states, state);
    saveList(states, document);
    printList(*states);
    return 0;
}

int StatesCli::remove(const QString &document, const QString &name) {
    const auto states = loadList(document);
    states->Items()->Remove(name);
    saveList(states, document);
    printList(*states);
    return 0;
}

int StatesCli::demo(const QString &directory) {
    if (!QDir().mkpath(directory))
        throw AutomationError(ErrorNumber::PathFileAccess, QStringLiteral("ixo-states"),
                              QStringLiteral("Cannot create %1").arg(directory));
    const QString document = QDir(directory).filePath(QStringLiteral("demo.ixs"));
    const QString stateFile = QDir(directory).filePath(QStringLiteral("carrier.sta"));
    QFile::remove(document);
    m_out << "Simulated instrument: " << m_instrument->Model() << ' ' << m_instrument->Version()
          << Qt::endl;

    m_instrument->apply(":FREQ 2.4E9\n:POW -20\n:OUTP ON");
    capture(document, QStringLiteral("Carrier"), QStringLiteral("2.4 GHz, -20 dBm, on"));
    m_instrument->apply(":AM:STAT ON\n:AM:DEPT 80");
    capture(document, QStringLiteral("AM test"), QStringLiteral("carrier with 80 % AM"));
    exportState(document, QStringLiteral("Carrier"), stateFile);

    m_instrument->apply(":FREQ 1E6\n:OUTP OFF\n:AM:STAT OFF");
    const auto states = loadList(document);
    states->SetupInterface()->RestoreState(states->item(1)->data());
    m_out << "restored Carrier: FREQ " << m_instrument->setting(QStringLiteral(":FREQ"))
          << ", OUTP " << m_instrument->setting(QStringLiteral(":OUTP")) << Qt::endl;

    remove(document, QStringLiteral("carrier"));
    importState(document, stateFile);
    m_out << "document: " << document << Qt::endl;
    return 0;
}

} // namespace ixo
