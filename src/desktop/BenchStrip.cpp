#include "desktop/BenchStrip.h"

#include "automation/AutomationError.h"
#include "automation/Collection.h"
#include "automation/widgets/Interaction.h"
#include "automation/widgets/MessageBoxStyle.h"
#include "control/frmEditName.h"
#include "desktop/ExchangeProgress.h"
#include "desktop/InstrumentRelay.h"
#include "desktop/SettingsDialog.h"
#include "desktop/SetupsDocument.h"
#include "localization/IxoResourcesGlobals.h"
#include "model/BenchStates.h"
#include "model/ItemStateInfo.h"
#include "model/StateDocument.h"
#include "model/StateInfo.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <atomic>
#include <map>
#include <thread>
#include <variant>

namespace ixo {

namespace {

const QString kListSeparator = QStringLiteral(", ");

// Turns the safety capture off on every role for one restore when the user has turned it off
// in the settings; each role's own choice, which the document keeps, comes back afterwards.
class SafetyOverride {
public:
    explicit SafetyOverride(StateDocument &document)
        : m_document(document) {
        if (SettingsDialog::safetyCaptureEnabled())
            return;
        for (const BenchRole &role : document.roles()) {
            m_kept.emplace_back(role.name(), role.safetyCapture());
            document.role(role.name()).setSafetyCapture(false);
        }
    }
    ~SafetyOverride() {
        for (const auto &[name, on] : m_kept) {
            if (BenchRole *role = m_document.findRole(name))
                role->setSafetyCapture(on);
        }
    }
    SafetyOverride(const SafetyOverride &) = delete;
    SafetyOverride &operator=(const SafetyOverride &) = delete;

private:
    StateDocument &m_document;
    std::vector<std::pair<QString, bool>> m_kept;
};

// A role's instrument for a bench capture, which is asked nothing more once the user cancelled:
// a cancel ends only the exchange in progress.
class UntilCancelled : public SetupInterface {
public:
    UntilCancelled(SetupInterfaceRef instrument, const ExchangeProgress &progress)
        : m_instrument(std::move(instrument))
        , m_progress(progress) {}

    QString Model() override { return checked().Model(); }
    QVariant CaptureState() override { return checked().CaptureState(); }
    void RestoreState(const QVariant &state) override { checked().RestoreState(state); }
    QString Version() override { return checked().Version(); }
    ObjectRef ImportLegacyFile(const QString &fileName, const QString &progId) override {
        return checked().ImportLegacyFile(fileName, progId);
    }

private:
    SetupInterface &checked() const {
        if (m_progress.isCancelled())
            ExchangeProgress::throwCancelled(QStringLiteral("ixo-setups"));
        return *m_instrument;
    }

    SetupInterfaceRef m_instrument;
    const ExchangeProgress &m_progress;
};

} // namespace

BenchStrip::BenchStrip(SetupsDocument &document, RelayOf relayOf, QWidget *parent)
    : QWidget(parent)
    , m_document(document)
    , m_relayOf(std::move(relayOf))
    , m_label(new QLabel(this))
    , m_states(new QComboBox(this))
    , m_capture(new QPushButton(this))
    , m_restore(new QPushButton(this)) {
    setObjectName(QStringLiteral("benchStrip"));
    m_states->setObjectName(QStringLiteral("benchStates"));
    m_states->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_states->setMinimumContentsLength(16);
    m_label->setBuddy(m_states);
    m_capture->setObjectName(QStringLiteral("captureBench"));
    m_restore->setObjectName(QStringLiteral("restoreBench"));
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_states);
    layout->addWidget(m_restore);
    layout->addWidget(m_capture);
    layout->addStretch(1);
    connect(m_capture, &QPushButton::clicked, this, &BenchStrip::captureBench);
    connect(m_restore, &QPushButton::clicked, this, &BenchStrip::restoreBench);
    applyTexts();
}

void BenchStrip::applyTexts() {
    m_label->setText(tr("Bench &state:"));
    m_capture->setText(tr("Capture &Bench..."));
    m_capture->setToolTip(tr("Capture every instrument of the bench at once under one name"));
    m_restore->setText(tr("Restore Be&nch"));
    m_restore->setToolTip(
        tr("Restore the chosen bench state on every instrument, in the bench's order"));
    refresh();
}

void BenchStrip::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange)
        applyTexts();
    QWidget::changeEvent(event);
}

void BenchStrip::refresh() {
    const QString chosen = m_states->currentText();
    const BenchStates bench(m_document.model());
    m_states->clear();
    for (const QString &name : bench.names()) {
        m_states->addItem(name);
        m_states->setItemData(m_states->count() - 1,
                              tr("Kept for %1").arg(bench.rolesWith(name).join(kListSeparator)),
                              Qt::ToolTipRole);
    }
    const int index = m_states->findText(chosen);
    if (index >= 0)
        m_states->setCurrentIndex(index);
    m_restore->setEnabled(m_states->count() > 0);
}

// The name dialog of the control, refusing a name any role has already.
void BenchStrip::captureBench() {
    auto state = std::make_shared<ItemStateInfo>();
    state->setName(proposedName());
    auto taken = std::make_shared<Collection>();
    for (const QString &name : BenchStates(m_document.model()).names())
        taken->Add(name, name);
    frmEditName dialog;
    gResourcesAgent->SetResourceValuesForObject(&dialog);
    dialog.setWindowTitle(tr("Capture Bench"));
    dialog.Init(state, taken);
    Interaction::current()->showModal(dialog);
    if (dialog.okSelected)
        capture(state->Name(), state->Description());
}

QString BenchStrip::proposedName() const {
    const QStringList names = BenchStates(m_document.model()).names();
    for (int number = 1;; ++number) {
        const QString name = tr("Bench state %1").arg(number);
        if (!names.contains(name, Qt::CaseInsensitive))
            return name;
    }
}

// Every instrument is asked at once, each on its own thread, while the window waits for all.
bool BenchStrip::capture(const QString &name, const QString &description) {
    const int total = int(m_document.model().roles().size());
    std::atomic<int> answered = 0;
    ExchangeProgress progress(window(), tr("Capture Bench"), answeredText(name, 0, total),
                              tr("Cancelling the capture of bench state %1...").arg(name),
                              [this] { cancelExchanges(); });
    try {
        captureOffThread(progress, name, description, [&](const BenchRole &) {
            ++answered;
            QMetaObject::invokeMethod(
                &progress, [&] { progress.setText(answeredText(name, answered, total)); },
                Qt::QueuedConnection);
        });
    } catch (const AutomationError &error) {
        message(progress.isCancelled()
                    ? tr("Bench state \"%1\" was not captured: cancelled by the user. No list "
                         "changed.")
                          .arg(name)
                    : error.description(),
                MessageBoxStyle::Critical);
        return false;
    }
    // The controls add only the rows of their own captures.
    try {
        m_document.reattach();
    } catch (const AutomationError &error) {
        message(error.description(), MessageBoxStyle::Critical);
    }
    refresh();
    m_states->setCurrentIndex(m_states->findText(name));
    emit changed(tr("Bench state \"%1\" captured on %2 instruments.").arg(name).arg(total));
    return true;
}

QString BenchStrip::answeredText(const QString &name, int answered, int total) {
    return tr("Capturing bench state %1: %2 of %3 instruments answered")
        .arg(name)
        .arg(answered)
        .arg(total);
}

// The instruments are asked on a thread of their own; the lists change here, once every
// capture is back.
void BenchStrip::captureOffThread(ExchangeProgress &progress, const QString &name,
                                  const QString &description,
                                  const BenchStates::Progress &answered) {
    const BenchStates::Instruments instruments = instrumentsForThreads(progress);
    BenchStates states(m_document.model());
    BenchStates::Captures captured;
    std::exception_ptr failure;
    std::atomic<bool> done = false;
    {
        const std::jthread worker([&] {
            try {
                captured = states.collect(instruments, name, description, answered);
            } catch (...) {
                failure = std::current_exception();
            }
            done = true;
        });
        progress.waitUntil(done);
    }
    if (failure)
        std::rethrow_exception(failure);
    states.commit(captured);
}

// Taken here, where the relays live; one that cannot be had fails as the model reports it.
BenchStates::Instruments BenchStrip::instrumentsForThreads(const ExchangeProgress &progress) const {
    std::map<QString, std::variant<SetupInterfaceRef, AutomationError>> opened;
    for (const BenchRole &role : m_document.model().roles()) {
        try {
            opened.emplace(role.name(), std::make_shared<UntilCancelled>(
                                            m_relayOf(role.name())->forOtherThreads(), progress));
        } catch (const AutomationError &error) {
            opened.emplace(role.name(), error);
        }
    }
    return [opened = std::move(opened)](const BenchRole &role) {
        const auto &instrument = opened.at(role.name());
        if (const auto *error = std::get_if<AutomationError>(&instrument))
            throw *error;
        return std::get<SetupInterfaceRef>(instrument);
    };
}

void BenchStrip::cancelExchanges() const {
    for (const BenchRole &role : m_document.model().roles())
        m_relayOf(role.name())->cancelExchange();
}

void BenchStrip::restoreBench() {
    if (m_states->currentIndex() >= 0)
        restore(m_states->currentText());
}

void BenchStrip::restore(const QString &name) {
    const QStringList keeping = keepingRoles();
    const QStringList roles = BenchStates(m_document.model()).rolesWith(name);
    BenchReport report;
    try {
        const SafetyOverride safety(m_document.model());
        // Each relay waits for its instrument inside this one wait, so one dialog shows it all.
        ExchangeProgress progress(window(), tr("Restore Bench"),
                                  tr("Restoring bench state %1...").arg(name),
                                  tr("Cancelling the restore of bench state %1...").arg(name),
                                  [this] { cancelExchanges(); });
        report = BenchStates(m_document.model())
                     .restore(
                         [this](const BenchRole &role) -> SetupInterfaceRef {
                             return m_relayOf(role.name());
                         },
                         name,
                         [&](const BenchRole &role) {
                             progress.setText(tr("Restoring %1 (%2 of %3)")
                                                  .arg(role.name())
                                                  .arg(roles.indexOf(role.name()) + 1)
                                                  .arg(roles.size()));
                         });
    } catch (const AutomationError &error) {
        message(error.description(), MessageBoxStyle::Critical);
        return;
    }
    try {
        m_document.recordRestore(report, name);
    } catch (const AutomationError &error) {
        message(tr("The library could not add the restore to its audit trail: %1")
                    .arg(error.description()),
                MessageBoxStyle::Critical);
    }
    const QString lines = reportLines(report).join(QLatin1Char('\n'));
    if (!report.failed()) {
        emit changed(tr("Bench state \"%1\" restored.").arg(name));
        message(tr("Bench state \"%1\" restored:\n\n%2").arg(name, lines),
                MessageBoxStyle::Information);
        return;
    }
    emit changed(tr("Bench state \"%1\" was not restored completely.").arg(name));
    offerPutBack(tr("Bench state \"%1\" was not restored completely:\n\n%2").arg(name, lines),
                 rolesToPutBack(report, keeping));
}

QStringList BenchStrip::keepingRoles() const {
    QStringList roles;
    for (const BenchRole &role : m_document.model().roles()) {
        if (SettingsDialog::safetyCaptureEnabled() && role.safetyCapture())
            roles << role.name();
    }
    return roles;
}

// Last restored first, so each instrument goes back to the setup it had before the bench
// restore began.
QStringList BenchStrip::rolesToPutBack(const BenchReport &report,
                                       const QStringList &keeping) const {
    QStringList roles;
    for (const QString &role : report.restoredRoles()) {
        if (keeping.contains(role))
            roles.prepend(role);
    }
    return roles;
}

void BenchStrip::offerPutBack(const QString &report, const QStringList &roles) {
    if (roles.isEmpty()) {
        message(report, MessageBoxStyle::Critical);
        return;
    }
    const int answer = message(
        report + QStringLiteral("\n\n") +
            tr("Put back the setups the restore replaced on %1?").arg(roles.join(kListSeparator)),
        MessageBoxStyle::YesNo | MessageBoxStyle::Question);
    if (answer == MessageBoxResult::Yes)
        putBack(roles);
}

void BenchStrip::putBack(const QStringList &roles) {
    QStringList done, failures;
    for (const QString &role : roles) {
        try {
            m_document.model().role(role).undoRestore(*m_relayOf(role));
            done << role;
        } catch (const AutomationError &error) {
            failures << tr("%1: %2").arg(role, error.description());
        }
    }
    emit changed(tr("Put back the setups of %1.").arg(done.join(kListSeparator)));
    if (!failures.isEmpty())
        message(
            tr("These setups could not be put back:\n\n%1").arg(failures.join(QLatin1Char('\n'))),
            MessageBoxStyle::Critical);
}

QStringList BenchStrip::reportLines(const BenchReport &report) const {
    QStringList lines;
    for (const BenchReport::Outcome &outcome : report.outcomes()) {
        QString line = tr("%1: %2").arg(outcome.role, resultText(outcome.result));
        if (!outcome.message.isEmpty())
            line = tr("%1: %2").arg(line, outcome.message);
        lines << line;
    }
    return lines;
}

QString BenchStrip::resultText(BenchReport::Result result) {
    switch (result) {
    case BenchReport::Result::Restored:
        return tr("restored");
    case BenchReport::Result::NoSuchState:
        return tr("has no such state");
    case BenchReport::Result::Failed:
        return tr("failed");
    case BenchReport::Result::NotReached:
        return tr("not restored (an earlier role failed)");
    }
    return {};
}

int BenchStrip::message(const QString &text, int style) const {
    return Interaction::current()->messageBox(text, style, tr("IxoInstrSetups"));
}

} // namespace ixo
