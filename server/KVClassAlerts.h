#pragma once

// The methods of interface Kalvex.KVClass.Alerts (common/Kalvex.KVClass.xml),
// which KVClass serves: the open alert windows as a whole, for the tray
// menu's "סגור הכל" and "דחה הכל". They read no settings and queue nothing;
// KVClass::CountChanged tells every change of the count.
class KVClassAlerts
{
public:
    // How many alert windows are open.
    int Count() const;
    // Closes every open alert as its own close does: each reminder moves on.
    void CloseAll();
    // Postpones every open alert by the postponement chosen in it.
    void PostponeAll();

protected:
    ~KVClassAlerts() = default;
};
