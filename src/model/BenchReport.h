#pragma once

#include "automation/Export.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace ixo {

// What a bench restore did on each instrument, in the bench's order.
class IXO_EXPORT BenchReport {
public:
    enum class Result { Restored, NoSuchState, Failed, NotReached };
    struct Outcome {
        QString role;
        Result result;
        QString message;
    };

    void add(const QString &role, Result result, const QString &message = QString());
    const std::vector<Outcome> &outcomes() const { return m_outcomes; }
    bool failed() const;
    // The roles whose instrument was restored, to put back after a failure.
    QStringList restoredRoles() const;
    // One line per role.
    QStringList lines() const;
    static QString resultName(Result result);

private:
    std::vector<Outcome> m_outcomes;
};

} // namespace ixo
