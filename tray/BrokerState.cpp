#include "tray/BrokerState.h"

BrokerState& BrokerState::instance()
{
    static BrokerState state;
    return state;
}

void BrokerState::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    emit changed();
}
