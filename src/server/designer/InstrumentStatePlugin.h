#pragma once

#include "automation/Export.h"

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace ixo {

// Puts the saved-states control into Qt Designer's widget box.
class IXO_EXPORT InstrumentStatePlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    explicit InstrumentStatePlugin(QObject *parent = nullptr);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QWidget *createWidget(QWidget *parent) override;
    QString domXml() const override;
};

} // namespace ixo
