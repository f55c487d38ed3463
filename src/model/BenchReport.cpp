#include "model/BenchReport.h"

#include <algorithm>

namespace ixo {

void BenchReport::add(const QString &role, Result result, const QString &message) {
    m_outcomes.push_back({role, result, message});
}

bool BenchReport::failed() const {
    return std::any_of(m_outcomes.begin(), m_outcomes.end(),
                       [](const Outcome &outcome) { return outcome.result == Result::Failed; });
}

QStringList BenchReport::restoredRoles() const {
    QStringList roles;
    for (const Outcome &outcome : m_outcomes) {
        if (outcome.result == Result::Restored)
            roles << outcome.role;
    }
    return roles;
}

QString BenchReport::resultName(Result result) {
    switch (result) {
    case Result::Restored:
        return QStringLiteral("restored");
    case Result::NoSuchState:
        return QStringLiteral("has no such state");
    case Result::Failed:
        return QStringLiteral("failed");
    case Result::NotReached:
        return QStringLiteral("not restored (an earlier role failed)");
    }
    return {};
}

QStringList BenchReport::lines() const {
    QStringList lines;
    for (const Outcome &outcome : m_outcomes) {
        QString line = outcome.role + QStringLiteral(": ") + resultName(outcome.result);
        if (!outcome.message.isEmpty())
            line += QStringLiteral(": ") + outcome.message;
        lines << line;
    }
    return lines;
}

} // namespace ixo
