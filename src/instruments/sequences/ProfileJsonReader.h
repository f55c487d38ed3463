#pragma once

#include "automation/Export.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

namespace ixo {

// Reads the fields of one JSON object of a profile file; every failure names the file, the
// field (with the path of the object it sits in) and what is wrong, as InvalidFileFormat.
class IXO_EXPORT ProfileJsonReader {
public:
    ProfileJsonReader(const QJsonObject &object, const QString &source, QString path = QString());

    [[noreturn]] void fail(const QString &field, const QString &what) const;
    // Refuses any field not in known, naming those that are.
    void onlyFields(const QStringList &known) const;

    bool has(const QString &field) const { return m_object.contains(field); }
    QString text(const QString &field, const QString &fallback, bool required = false) const;
    bool flag(const QString &field, bool fallback) const;
    qint64 number(const QString &field, qint64 fallback, qint64 min, qint64 max) const;
    QString choice(const QString &field, const QString &fallback, const QStringList &choices) const;
    // A string, or a list of strings; fallback when missing.
    QStringList texts(const QString &field, const QStringList &fallback) const;
    QJsonArray list(const QString &field) const;
    QJsonObject object(const QString &field) const;
    // A reader of the object at index of the list field, named "field[index]" in messages.
    ProfileJsonReader element(const QString &field, qsizetype index) const;
    ProfileJsonReader member(const QString &field) const;

    const QJsonObject &json() const { return m_object; }
    const QString &source() const { return m_source; }

    static QString shown(const QJsonValue &value);

private:
    QString named(const QString &field) const;

    QJsonObject m_object;
    QString m_source;
    QString m_path;
};

} // namespace ixo
