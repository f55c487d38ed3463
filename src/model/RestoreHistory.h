#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <deque>

namespace ixo {

class SetupInterface;

// An instrument's setups as they were just before its last restores, newest last, so that a
// restore can be taken back on the instrument itself. Only the last kMaxEntries are kept.
class IXO_EXPORT RestoreHistory {
public:
    static constexpr std::size_t kMaxEntries = 10;

    struct Entry {
        QString model;
        QString version;
        QVariant data;
        QDateTime taken;
        // The saved state whose restore replaced this setup.
        QString replacedBy;
    };

    // The instrument's present setup, before restoring the state replacedBy.
    static Entry capture(SetupInterface &instrument, const QString &replacedBy);

    bool isEmpty() const { return m_entries.empty(); }
    std::size_t size() const { return m_entries.size(); }
    const std::deque<Entry> &entries() const { return m_entries; }
    const Entry &last() const { return m_entries.back(); }
    void push(Entry entry);
    void dropLast();

    QByteArray toContents() const;
    // Entries it cannot read are left out: the history is a help, not the user's data.
    static RestoreHistory fromContents(const QByteArray &contents);

private:
    std::deque<Entry> m_entries;
};

} // namespace ixo
