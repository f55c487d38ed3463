#pragma once

#include <QByteArray>
#include <QString>

namespace ixo {

// A sibling application's setup file: SCPI commands, one per line, after optional header
// comments such as "# Model: SG-100". A missing version reads as the wildcard "*".
class LegacySetupFile {
public:
    static constexpr qint64 kMaxSize = qint64(16) * 1024 * 1024;

    QString model;
    QString version = QStringLiteral("*");
    QString name;
    QString description;
    QByteArray commands;

    static LegacySetupFile parse(const QByteArray &text);
    static LegacySetupFile read(const QString &fileName);

private:
    bool takeHeader(const QString &line);
};

} // namespace ixo
