#pragma once

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/ListView.h"
#include "automation/widgets/ScopedInteraction.h"
#include "automation/widgets/ScriptedInteraction.h"
#include "control/InstrumentState.h"
#include "control/frmEditName.h"
#include "model/ItemStateInfo.h"
#include "model/StateInfo.h"
#include "server/TypeLibrary.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <functional>
#include <optional>

namespace ixo::test {

// An instrument that records its calls and fails on demand.
class FakeSetup : public SetupInterface {
public:
    QString model = QStringLiteral("M100");
    QString version = QStringLiteral("2.3");
    QVariant captured = QByteArray("setup-1");
    bool failCapture = false, failRestore = false, failImport = false;
    std::optional<QVariant> restored;
    int captures = 0;
    // What the legacy reader gives: model, version, name, description of a new state.
    QStringList legacy{QStringLiteral("M100"), QStringLiteral("*"), QStringLiteral("Legacy"),
                       QStringLiteral("from file")};
    // Runs while the legacy reader reads, to break something in the middle of an import.
    std::function<void()> whileImporting;

    QString Model() override { return model; }
    QString Version() override { return version; }
    QVariant CaptureState() override {
        ++captures;
        failIf(failCapture, "capture refused");
        return captured;
    }
    void RestoreState(const QVariant &state) override {
        failIf(failRestore, "restore refused");
        restored = state;
    }
    ObjectRef ImportLegacyFile(const QString &, const QString &) override {
        failIf(failImport, "not a setup");
        if (whileImporting)
            whileImporting();
        return state(legacy.at(2), legacy.at(3), legacy.at(0), legacy.at(1));
    }

    static std::shared_ptr<ItemStateInfo> state(const QString &name, const QString &description,
                                                const QString &model, const QString &version) {
        auto result = std::make_shared<ItemStateInfo>();
        result->setName(name);
        result->setDescription(description);
        result->setModel(model);
        result->setVersion(version);
        result->setData(name.toUtf8());
        return result;
    }

private:
    static void failIf(bool failing, const char *description) {
        if (failing)
            throw AutomationError(ErrorNumber::Fail, QStringLiteral("FakeSetup"),
                                  QString::fromLatin1(description));
    }
};

// The text of each row of the list, from the top.
inline QStringList rowsOf(const ListView &view) {
    QStringList result;
    for (int row = 1; row <= view.rowCount(); ++row)
        result << view.rowText(row);
    return result;
}

// The marker of each row: 1 the current setup, 2 a state of another instrument.
inline QList<int> iconsOf(const ListView &view) {
    QList<int> result;
    for (int row = 1; row <= view.rowCount(); ++row)
        result << view.smallIcon(row);
    return result;
}

inline QString lastMessageOf(const ScriptedInteraction &user) {
    return user.messageBoxes().empty() ? QString() : user.messageBoxes().back().text;
}

// The user types into the next name dialog and presses OK (or Cancel).
inline void answerNameDialog(ScriptedInteraction &user, const QString &name,
                             const QString &description = {}, bool ok = true) {
    user.answerModal([=](QDialog &dialog) {
        auto &form = static_cast<frmEditName &>(dialog);
        form.nameTextBox->setText(name);
        form.descriptionText->setPlainText(description);
        (ok ? form.okBtn : form.cancelBtn)->click();
        return dialog.result();
    });
}

// The user presses OK on the next name dialog as it comes, but only if it proposes `proposed`
// (any name when that is empty).
inline void acceptProposedName(ScriptedInteraction &user, const QString &proposed = {}) {
    user.answerModal([=](QDialog &dialog) {
        auto &form = static_cast<frmEditName &>(dialog);
        if (!proposed.isEmpty() && form.nameTextBox->text() != proposed)
            return int(QDialog::Rejected);
        form.okBtn->click();
        return dialog.result();
    });
}

// A control with a scripted user and an attached list on a fake instrument.
struct ControlHarness {
    ControlHarness() { TypeLibrary::registerServer(); }

    std::shared_ptr<ScriptedInteraction> user = std::make_shared<ScriptedInteraction>();
    ScopedInteraction scope{user};
    std::shared_ptr<FakeSetup> setup = std::make_shared<FakeSetup>();
    std::shared_ptr<StateInfo> stateInfo = std::make_shared<StateInfo>();
    InstrumentState control;

    // Attaches states given as name, or name plus model and version.
    void attach(const QList<QStringList> &states) {
        stateInfo->setSetupInterface(setup);
        for (const QStringList &s : states) {
            auto item = FakeSetup::state(s.at(0), s.at(0) + QStringLiteral(" text"),
                                         s.value(1, setup->model), s.value(2, setup->version));
            stateInfo->Items()->Add(QVariant::fromValue<ObjectRef>(item), s.at(0));
        }
        control.setInstrumentStateInfo(stateInfo);
    }

    ListView &view() const { return *control.stateListView; }
    QStringList rows() const { return rowsOf(view()); }
    QList<int> icons() const { return iconsOf(view()); }
    QStringList names() const {
        QStringList result;
        for (int i = 1; i <= stateInfo->Items()->Count(); ++i)
            result << stateInfo->item(i)->Name();
        return result;
    }
    bool stateButtonsEnabled() const {
        return control.restoreBtn->isEnabled() && control.editNameBtn->isEnabled() &&
               control.removeBtn->isEnabled() && control.exportBtn->isEnabled();
    }
    QString lastMessage() const { return lastMessageOf(*user); }
};

} // namespace ixo::test
