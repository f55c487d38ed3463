#pragma once

#include "ControlHarness.h"
#include "support/HostDocument.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>

namespace ixo::test {

// What each test of the window starts from: settings of its own in a fresh folder, and a
// scripted user answering the window's dialogs and message boxes.
class WindowTestSession {
public:
    // Once per test program: its names for the settings, and the classes registered.
    static void registerProgram(const QString &application) {
        QCoreApplication::setOrganizationName(QStringLiteral("IxoInstrSetupsTest"));
        QCoreApplication::setApplicationName(application);
        TypeLibrary::registerServer();
    }

    WindowTestSession() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings().clear();
    }

    QString path(const QString &name) const { return dir.filePath(name); }
    QString lastMessage() const { return lastMessageOf(*user); }

    // A document in the session's folder listing the states; gives its path.
    QString saveDocument(const QString &name,
                         const QList<std::shared_ptr<ItemStateInfo>> &states) const {
        auto stateInfo = std::make_shared<StateInfo>();
        for (const auto &state : states)
            stateInfo->Items()->Add(QVariant::fromValue<ObjectRef>(state), state->Name());
        PropertyBag bag;
        bag.WriteProperty(HostDocument::kStateListKey, QVariant::fromValue<ObjectRef>(stateInfo));
        HostDocument::save(bag, path(name));
        return path(name);
    }

    QTemporaryDir dir;
    const std::shared_ptr<ScriptedInteraction> user = std::make_shared<ScriptedInteraction>();

private:
    ScopedInteraction m_scope{user};
};

} // namespace ixo::test
