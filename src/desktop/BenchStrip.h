#pragma once

#include "automation/Export.h"
#include "model/BenchReport.h"
#include "model/BenchStates.h"

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;

namespace ixo {

class ExchangeProgress;
class InstrumentRelay;
class SetupsDocument;
class StateDocument;

// Above the tabs of a bench of several instruments: the bench states (a state of one name in
// every role that has one), Capture Bench..., which captures every instrument at once and
// changes no list unless all succeeded, and Restore Bench, which restores the chosen bench
// state role by role in the bench's order and reports on each; after a failure part-way it
// offers to put back the roles already restored. Either shows its progress as the single
// instrument's commands do, and its Cancel ends the exchange of every role.
class IXO_EXPORT BenchStrip : public QWidget {
    Q_OBJECT

public:
    // The relay of a role's instrument.
    using RelayOf = std::function<std::shared_ptr<InstrumentRelay>(const QString &role)>;

    BenchStrip(SetupsDocument &document, RelayOf relayOf, QWidget *parent = nullptr);

    // The bench states as the document has them now.
    void refresh();
    QComboBox &states() const { return *m_states; }
    // False, after saying why, when an instrument could not be captured.
    bool capture(const QString &name, const QString &description);
    void restore(const QString &name);

public slots:
    // Asks the new bench state's name and description first.
    void captureBench();
    // The bench state chosen in the list.
    void restoreBench();

signals:
    // The lists or the setups kept for Undo Restore changed; message says what happened.
    void changed(const QString &message);

protected:
    void changeEvent(QEvent *event) override;

private:
    void applyTexts();
    static QString answeredText(const QString &name, int answered, int total);
    // Raises the capture's error once every instrument has answered.
    void captureOffThread(ExchangeProgress &progress, const QString &name,
                          const QString &description, const BenchStates::Progress &answered);
    BenchStates::Instruments instrumentsForThreads(const ExchangeProgress &progress) const;
    void cancelExchanges() const;
    QString proposedName() const;
    // The roles a failed restore may put back: restored, with their setups kept before.
    QStringList rolesToPutBack(const BenchReport &report, const QStringList &keeping) const;
    void offerPutBack(const QString &report, const QStringList &roles);
    // The roles whose setups the restore keeps first.
    QStringList keepingRoles() const;
    void putBack(const QStringList &roles);
    QStringList reportLines(const BenchReport &report) const;
    static QString resultText(BenchReport::Result result);
    int message(const QString &text, int style) const;

    SetupsDocument &m_document;
    RelayOf m_relayOf;
    QLabel *m_label;
    QComboBox *m_states;
    QPushButton *m_capture;
    QPushButton *m_restore;
};

} // namespace ixo
