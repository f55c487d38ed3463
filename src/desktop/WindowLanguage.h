#pragma once

#include "automation/Export.h"

#include <QObject>
#include <QTranslator>

class QMenu;

namespace ixo {

class InstrumentState;

// The language of the control and the window around it. The control switches its catalogue;
// the window follows with its own translation whenever the control's language changes, also
// when a document sets it.
class IXO_EXPORT WindowLanguage : public QObject {
    Q_OBJECT

public:
    explicit WindowLanguage(InstrumentState &control, QObject *parent = nullptr);

    // One action per language the window knows.
    void addActions(QMenu &menu);
    // Switches to the language of the country code; one that cannot be had leaves English.
    void switchTo(int countryCode, const QString &language);
    // Speaks the language the control now speaks.
    void followControl();

signals:
    // What became of a switch, for the status bar for timeoutMs (0: until the next message).
    void switched(const QString &message, int timeoutMs);

private:
    InstrumentState &m_control;
    QTranslator m_translator;
    int m_countryCode = 0;
};

} // namespace ixo
