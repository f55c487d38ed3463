#pragma once

#include "automation/Export.h"

#include <QObject>
#include <QString>

class QTreeWidget;

namespace ixo {

// One column header of a list view. Its text lives in the view's header item, so the view and
// the header never disagree.
class IXO_EXPORT ColumnHeader : public QObject {
    Q_OBJECT
    Q_CLASSINFO("AutomationTypeName", "ColumnHeader")
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)
    Q_PROPERTY(int Index READ Index)
    Q_PROPERTY(float Width READ Width WRITE setWidth)

public:
    ColumnHeader(QTreeWidget &view, int column, QObject *parent);

    QString Text() const;
    void setText(const QString &text);
    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }
    // Counted from 1.
    int Index() const { return m_column + 1; }
    // In twips, as the container measures; the view shows it in pixels.
    float Width() const { return m_width; }
    void setWidth(float twips);

private:
    QTreeWidget &m_view;
    int m_column;
    QString m_tag;
    float m_width = 0;
};

} // namespace ixo
