#pragma once

#include "manager/ListLine.h"

#include <QLabel>
#include <QVector>

class QAbstractItemView;

// A column header of the list: a label that reports clicks.
class HeaderLabel : public QLabel
{
    Q_OBJECT
public:
    HeaderLabel(int index, const QString& caption, QWidget* parent);
    int index() const { return m_index; }

signals:
    void clicked(int index);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_index;
};

// The strip above List1 holding the headers ListLabel_0..7, each kept exactly
// above its column of the list's character grid.
class ListHeaders : public QWidget
{
    Q_OBJECT
public:
    ListHeaders(QAbstractItemView* list, const QFont& listFont, QWidget* parent);

    HeaderLabel* label(int index) const { return m_labels.at(index); }
    int count() const { return int(m_labels.size()); }
    // The columns the list shows now (with or without the author).
    void setColumns(const QVector<ListColumnSpan>& spans);
    // The header index that sorts by a column's field.
    static int headerFor(ListColumn column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeLabels();

    QAbstractItemView* m_list;
    qreal m_charWidth;
    QVector<HeaderLabel*> m_labels;
    QVector<ListColumnSpan> m_spans;
};
