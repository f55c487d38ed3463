#pragma once

#include "automation/Export.h"

#include <QMap>
#include <QString>
#include <memory>

namespace ixo {

class ScpiInstrument;

// An SCPI instrument's settings as its learn string lists them: "HEADER value" commands
// separated by ";". Common commands such as *RST set nothing and are left out.
class IXO_EXPORT ScpiSettings {
public:
    explicit ScpiSettings(std::shared_ptr<ScpiInstrument> instrument);

    static QMap<QString, QString> parse(const QString &learnString);

    QMap<QString, QString> read() const;
    // Raises the errors the instrument queued for the command.
    void write(const QString &header, const QString &value) const;

private:
    std::shared_ptr<ScpiInstrument> m_instrument;
};

} // namespace ixo
