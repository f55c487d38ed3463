#pragma once

#include "automation/Export.h"

#include <QString>
#include <cstdint>
#include <exception>
#include <string>

namespace ixo {

// The failure that goes back to a caller: a 32-bit number, the source that raised it and a text.
class IXO_EXPORT AutomationError : public std::exception {
public:
    AutomationError(std::int32_t number, QString source, QString description);

    // An error with the standard description of its number.
    static AutomationError standard(std::int32_t number, const QString &source);

    std::int32_t number() const noexcept { return m_number; }
    const QString &source() const noexcept { return m_source; }
    const QString &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_what.c_str(); }
    const QString &helpFile() const noexcept { return m_helpFile; }
    std::int32_t helpContext() const noexcept { return m_helpContext; }
    // The same error pointing the user at a topic of a help file.
    AutomationError withHelp(QString helpFile, std::int32_t helpContext) const;

    static QString standardDescription(std::int32_t number);

private:
    std::int32_t m_number;
    QString m_source;
    QString m_description;
    std::string m_what;
    QString m_helpFile;
    std::int32_t m_helpContext = 0;
};

} // namespace ixo
