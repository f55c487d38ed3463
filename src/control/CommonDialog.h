#pragma once

#include "automation/Export.h"
#include "automation/widgets/FileDialogRequest.h"

#include <QObject>
#include <QString>

namespace ixo {

// The common file dialog: keeps its settings between uses, so a path chosen once is where the
// next use starts. After a show FileName is the chosen path, or empty when the user cancelled.
class IXO_EXPORT CommonDialog : public QObject {
    Q_OBJECT
    Q_CLASSINFO("AutomationTypeName", "CommonDialog")
    Q_PROPERTY(QString DialogTitle READ DialogTitle WRITE setDialogTitle)
    Q_PROPERTY(QString Filter READ Filter WRITE setFilter)
    Q_PROPERTY(int Flags READ Flags WRITE setFlags)
    Q_PROPERTY(QString FileName READ FileName WRITE setFileName)

public:
    explicit CommonDialog(QObject *parent = nullptr);

    QString DialogTitle() const { return m_request.title; }
    void setDialogTitle(const QString &title) { m_request.title = title; }
    QString Filter() const { return m_request.filter; }
    void setFilter(const QString &filter) { m_request.filter = filter; }
    int Flags() const { return m_request.flags; }
    void setFlags(int flags) { m_request.flags = flags; }
    QString FileName() const { return m_request.fileName; }
    void setFileName(const QString &fileName) { m_request.fileName = fileName; }

    Q_INVOKABLE void ShowOpen();
    Q_INVOKABLE void ShowSave();

private:
    void show(FileDialogRequest::Mode mode);

    FileDialogRequest m_request;
};

} // namespace ixo
