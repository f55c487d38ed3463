#include "model/RestoreHistory.h"

#include "automation/AutomationError.h"
#include "automation/PropertyBag.h"
#include "support/SetupInterface.h"

namespace ixo {

namespace {

const QString kEntriesCountKey = QStringLiteral("Count");
const QString kModelKey = QStringLiteral("Model%1");
const QString kVersionKey = QStringLiteral("Version%1");
const QString kDataKey = QStringLiteral("Data%1");
const QString kTakenKey = QStringLiteral("Taken%1");
const QString kReplacedByKey = QStringLiteral("ReplacedBy%1");

void writeEntry(PropertyBag &bag, std::size_t index, const RestoreHistory::Entry &entry) {
    const QString n = QString::number(index + 1);
    bag.WriteProperty(kModelKey.arg(n), entry.model);
    bag.WriteProperty(kVersionKey.arg(n), entry.version);
    bag.WriteProperty(kDataKey.arg(n), entry.data);
    bag.WriteProperty(kTakenKey.arg(n), entry.taken.toUTC().toString(Qt::ISODate));
    bag.WriteProperty(kReplacedByKey.arg(n), entry.replacedBy);
}

RestoreHistory::Entry readEntry(const PropertyBag &bag, int index) {
    const QString n = QString::number(index);
    return {bag.ReadProperty(kModelKey.arg(n)).toString(),
            bag.ReadProperty(kVersionKey.arg(n)).toString(), bag.ReadProperty(kDataKey.arg(n)),
            QDateTime::fromString(bag.ReadProperty(kTakenKey.arg(n)).toString(), Qt::ISODate),
            bag.ReadProperty(kReplacedByKey.arg(n), QString()).toString()};
}

} // namespace

RestoreHistory::Entry RestoreHistory::capture(SetupInterface &instrument,
                                              const QString &replacedBy) {
    Entry entry;
    entry.model = instrument.Model();
    entry.version = instrument.Version();
    entry.data = instrument.CaptureState();
    entry.taken = QDateTime::currentDateTimeUtc();
    entry.replacedBy = replacedBy;
    return entry;
}

void RestoreHistory::push(Entry entry) {
    m_entries.push_back(std::move(entry));
    while (m_entries.size() > kMaxEntries)
        m_entries.pop_front();
}

void RestoreHistory::dropLast() {
    if (!m_entries.empty())
        m_entries.pop_back();
}

QByteArray RestoreHistory::toContents() const {
    PropertyBag bag;
    bag.WriteProperty(kEntriesCountKey, int(m_entries.size()));
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        writeEntry(bag, i, m_entries[i]);
    return bag.Contents();
}

RestoreHistory RestoreHistory::fromContents(const QByteArray &contents) {
    RestoreHistory history;
    try {
        PropertyBag bag;
        bag.setContents(contents);
        const int count = bag.ReadProperty(kEntriesCountKey, 0).toInt();
        for (int i = 1; i <= count && i <= int(kMaxEntries); ++i) {
            Entry entry = readEntry(bag, i);
            if (entry.data.isValid())
                history.push(std::move(entry));
        }
    } catch (const AutomationError &) {
        // Whatever could be read stays.
    }
    return history;
}

} // namespace ixo
