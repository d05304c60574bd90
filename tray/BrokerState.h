#pragma once

#include <QObject>
#include <QString>

// What the tray tells of the broker: connected, connecting or refused and
// why, in Hebrew; empty while no broker is set. FrmMain shows it in the
// icon's tip.
class BrokerState : public QObject
{
    Q_OBJECT
public:
    static BrokerState& instance();
    const QString& text() const { return m_text; }
    void setText(const QString& text);

signals:
    void changed();

private:
    QString m_text;
};
