#pragma once

#include "automation/Export.h"

#include <QObject>
#include <QString>

class QMenu;

namespace ixo {

class MainWindow;

// The window's way to documents of a setup library: File > Open Library... and Save to
// Library..., Save writing back only the changes, and what a refused save offers. An address
// is the library's and names its document (sqlite:PATH?document=NAME,
// postgresql://[user@]host[:port]/database?document=NAME); the last one given is remembered.
// Edit > Compare with Version... shows an earlier version of the highlighted state beside it.
class IXO_EXPORT LibraryActions : public QObject {
    Q_OBJECT

public:
    static const QString kAddressKey;

    explicit LibraryActions(MainWindow &window);

    void addOpenAction(QMenu &file);
    void addSaveAction(QMenu &file);
    // Enabled each time the menu opens, for a saved state highlighted in a library's document.
    void addCompareAction(QMenu &edit);
    // The changes since the document was read. When another station changed the same state in
    // between, offers to reload the document or keep it here, unsaved; a library that cannot
    // be reached keeps it too.
    bool save();
    // The whole document, under a name the library does not hold yet; the window goes on with
    // the library's document.
    bool saveTo(const QString &address);

private:
    void openAsked();
    void saveAsked();
    // Empty when the user cancels.
    QString askAddress(const QString &title, const QString &label) const;
    void offerReload(const QString &address, const QString &conflict);
    // The highlighted state of the current tab when the library holds it; empty otherwise.
    QString comparableState() const;
    void compareAsked();

    MainWindow &m_window;
};

} // namespace ixo
