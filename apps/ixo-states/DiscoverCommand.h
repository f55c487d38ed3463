#pragma once

#include "instruments/discovery/InstrumentDiscovery.h"

#include <QList>
#include <QStringList>
#include <QTextStream>

namespace ixo {

// `ixo-states discover`: searches for instruments for a while, showing progress on a
// terminal, then lists each one's resource, *IDN? (or why it did not answer) and how it was
// found.
class DiscoverCommand {
public:
    static const QString kUsage;

    DiscoverCommand(QTextStream &out, QTextStream &err, bool progressOnTerminal);
    // The arguments after the command's name; returns the exit code.
    int run(const QStringList &arguments);

private:
    int usage(const QString &problem);
    int help();
    QList<DiscoveredInstrument> search(const InstrumentDiscovery::Options &options);
    void showProgress(int elapsedMs, int timeoutMs);
    void printJson(const QList<DiscoveredInstrument> &found);
    void printText(const QList<DiscoveredInstrument> &found);

    QTextStream &m_out;
    QTextStream &m_err;
    bool m_progress;
};

} // namespace ixo
