#pragma once

#include "automation/AutomationError.h"
#include "instruments/ScpiInstrument.h"

#include <functional>

namespace ixo::test {

// What an action raised: number 0 when it succeeded.
struct Failure {
    int number = 0;
    QString text;
};

inline Failure failureOf(const std::function<void()> &action) {
    try {
        action();
    } catch (const AutomationError &error) {
        return {error.number(), error.description()};
    }
    return {};
}

// "model" on a fresh connection (identity is asked once per connection), "capture", or a
// restore of state.
inline void perform(ScpiInstrument &client, const QString &operation, const QVariant &state) {
    if (operation == QLatin1String("model")) {
        client.disconnect();
        client.Model();
    } else if (operation == QLatin1String("capture")) {
        client.CaptureState();
    } else {
        client.RestoreState(state);
    }
}

// Every byte value, newlines and NULs included.
inline QByteArray everyByte(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7);
    return bytes;
}

} // namespace ixo::test
