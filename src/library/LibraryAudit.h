#pragma once

#include "automation/Export.h"
#include "library/ChangeRecord.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <vector>

namespace ixo {

class SetupLibrary;

// The restores done from a library: which state and version went to which instrument, when,
// by whom and from which station, as audited labs must show.
class IXO_EXPORT LibraryAudit {
public:
    struct Restore {
        QString document;
        QString role;
        QString state;
        int version = 0;
        // The instrument's *IDN? answer.
        QString instrument;
        ChangeRecord by;

        QJsonObject toJson() const;
    };

    explicit LibraryAudit(SetupLibrary &library);

    // In a transaction of its own.
    void record(const Restore &restore);
    // Oldest first; an invalid since gives all.
    std::vector<Restore> since(const QDateTime &since);

private:
    SetupLibrary &m_library;
};

} // namespace ixo
