#pragma once

#include "automation/Export.h"
#include "desktop/ConnectDialog.h"
#include "desktop/InstrumentSettings.h"
#include "desktop/SetupsDocument.h"

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QStackedWidget;
class QTabBar;

namespace ixo {

class BenchRole;
class BenchStrip;
class RoleView;
class ScpiInstrument;
class StateDocument;

// The document's roles, each in a view of its own under a tab of the role's name, below the bench
// strip. The strip and the tabs show only for a bench of several instruments, so that one
// instrument fills the space as it always has. What the views report is passed on, the current
// view's connection status only.
class IXO_EXPORT RoleTabs : public QWidget {
    Q_OBJECT

public:
    // How a role's instrument is opened: its resource and the role's profile (empty for the
    // one matching the instrument).
    using Opener = std::function<std::shared_ptr<ScpiInstrument>(const QString &resource,
                                                                 const QString &profile)>;

    // instrument: the one the first view starts on; that view lives as long as the tabs.
    RoleTabs(SetupInterfaceRef instrument, InstrumentSettings settings, SetupsDocument &document,
             QWidget *parent = nullptr);
    ~RoleTabs() override;

    BenchStrip &benchStrip() const { return *m_benchStrip; }
    QTabBar &tabBar() const { return *m_tabs; }
    int count() const { return int(m_views.size()); }
    RoleView &view(int index) const { return *m_views.at(std::size_t(index)); }
    RoleView &currentView() const;
    // Raises when no tab shows that role.
    RoleView &viewOf(const QString &role) const;

    // A view for each of the document's roles, the first one kept with its connection; the
    // document shows from its first role on.
    std::vector<SetupsDocument::Binding> bindRoles(const StateDocument &document);
    // How every view opens instruments and what its Connect dialog shows as the profile a
    // resource will use.
    void setOpener(Opener opener);
    void setProfileDescriber(ConnectDialog::ProfileDescriber describer);
    // Connects every view to its role's instrument; says which could not be reached and why.
    QStringList connectRoles();
    // The current tab's role is reached from now on, and in the saved document, at the resource
    // its tab last connected to, with the profile that connection used.
    void keepCurrentResource();
    // Every view in the language of the first; says why a view could not follow.
    QStringList followLanguage();
    // Every view divides itself as the first one does.
    void restoreState(const QByteArray &state);
    QByteArray saveState() const;

signals:
    void currentChanged(int index);
    // The view at index connected another instrument, or none.
    void roleSwitched(int index);
    void currentStatusChanged(const QString &message);
    // A view kept a setup in its role's history.
    void kept();
    // A view's control restored a saved state to its instrument (named by resource, model and
    // firmware).
    void restored(const QString &role, const QString &state, const QString &instrument);
    void comparing(const QString &message);

private:
    void buildLayout();
    RoleView &addView(SetupInterfaceRef instrument, InstrumentSettings settings);
    void forwardSignals(RoleView &view);
    void dropLastView();
    void setViewCount(std::size_t count);
    SetupsDocument::Binding bindRole(std::size_t index, const BenchRole &role);
    void configureConnection(RoleView &view);
    void showTab(int index);

    SetupsDocument &m_document;
    // Owned by the stack.
    std::vector<RoleView *> m_views;
    BenchStrip *m_benchStrip = nullptr;
    QTabBar *m_tabs = nullptr;
    QStackedWidget *m_stack = nullptr;
    Opener m_opener;
    ConnectDialog::ProfileDescriber m_profileDescriber;
};

} // namespace ixo
