#pragma once

#include "support/SetupInterface.h"

#include <QByteArray>
#include <QMap>
#include <QString>

namespace ixo {

// An in-process signal generator that answers like a real one: its setup is a list of SCPI
// commands, captured as bytes and restored by sending them back.
class SimulatedInstrument : public SetupInterface {
public:
    static const QString kDefaultModel;
    static const QString kDefaultVersion;

    SimulatedInstrument(QString model = kDefaultModel, QString version = kDefaultVersion);

    QString Model() override;
    QVariant CaptureState() override;
    void RestoreState(const QVariant &state) override;
    QString Version() override;
    ObjectRef ImportLegacyFile(const QString &fileName, const QString &progId) override;

    // Applies SCPI setting commands such as ":FREQ 1E6" separated by newlines or ";".
    void apply(const QByteArray &commands);
    QString setting(const QString &header) const;
    QMap<QString, QString> settings() const { return m_settings; }

    // Makes the next instrument call fail, for exercising error paths.
    void failNextCall(const QString &description) { m_pendingFault = description; }

private:
    void checkFault();
    void applyCommand(const QString &command);

    QString m_model;
    QString m_version;
    QMap<QString, QString> m_settings;
    QString m_pendingFault;
};

} // namespace ixo
