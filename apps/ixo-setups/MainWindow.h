#pragma once

#include "InstrumentSettings.h"
#include "SetupsDocument.h"

#include <QMainWindow>
#include <memory>

class QMenu;

namespace ixo {

class InstrumentState;
class ObservedInstrument;

// The desktop host: the saved-states control beside the connected instrument's settings, with
// the list kept in a document file.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(SetupInterfaceRef instrument, InstrumentSettings settings,
               QWidget *parent = nullptr);
    ~MainWindow() override;

    bool openDocument(const QString &fileName);
    InstrumentState &control() const { return *m_control; }

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void newDocument();
    void open();
    bool save();
    bool saveAs();
    void updateTitle();

private:
    void buildMenus();
    void buildLanguageMenu(QMenu &menu);
    void rebuildRecentMenu();
    void rememberRecent(const QString &fileName);
    void switchLanguage(int countryCode, const QString &language);
    bool saveTo(const QString &fileName);
    // Asks whether unsaved changes should be saved; false when the user cancels.
    bool settleChanges();
    void showError(const QString &text);

    std::shared_ptr<ObservedInstrument> m_instrument;
    InstrumentState *m_control;
    std::unique_ptr<SetupsDocument> m_document;
    QMenu *m_recentMenu = nullptr;
};

} // namespace ixo
