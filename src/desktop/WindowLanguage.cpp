#include "desktop/WindowLanguage.h"

#include "automation/AutomationError.h"
#include "automation/widgets/Interaction.h"
#include "automation/widgets/MessageBoxStyle.h"
#include "control/InstrumentState.h"

#include <QCoreApplication>
#include <QMenu>

namespace ixo {

namespace {

struct Language {
    int countryCode;
    const char *name;
    const char *suffix;
};

constexpr Language kLanguages[] = {
    {0, "English", ""}, {49, "Deutsch", "de"}, {33, "Français", "fr"}, {81, "日本語", "ja"}};

QString suffixOf(int countryCode) {
    for (const Language &language : kLanguages) {
        if (language.countryCode == countryCode)
            return QString::fromLatin1(language.suffix);
    }
    return {};
}

} // namespace

WindowLanguage::WindowLanguage(InstrumentState &control, QObject *parent)
    : QObject(parent)
    , m_control(control) {}

void WindowLanguage::addActions(QMenu &menu) {
    for (const Language &language : kLanguages) {
        const QString name = QString::fromUtf8(language.name);
        menu.addAction(name, this,
                       [this, code = language.countryCode, name] { switchTo(code, name); });
    }
}

void WindowLanguage::switchTo(int countryCode, const QString &language) {
    try {
        m_control.LoadResources(countryCode);
    } catch (const AutomationError &error) {
        Interaction::current()->messageBox(error.description(), MessageBoxStyle::Critical,
                                           tr("IxoInstrSetups"));
    }
    followControl();
    if (m_control.CountryCode() != countryCode)
        emit switched(tr("%1 is not available here (its catalogue or font is missing); the texts "
                         "stay in English.")
                          .arg(language),
                      0);
    else
        emit switched(tr("Language: %1").arg(language), 5000);
}

void WindowLanguage::followControl() {
    const int code = m_control.CountryCode();
    if (code == m_countryCode)
        return;
    QCoreApplication::removeTranslator(&m_translator);
    const QString suffix = suffixOf(code);
    if (!suffix.isEmpty() &&
        m_translator.load(QStringLiteral(":/i18n/ixo-setups_%1.qm").arg(suffix)))
        QCoreApplication::installTranslator(&m_translator);
    m_countryCode = code;
}

} // namespace ixo
