#pragma once

// The methods of interface Kalvex.KVClass.Alerts (common/Kalvex.KVClass.xml),
// which KVClass serves: the alerts shown as a whole (the alert windows and
// the rows of the list beyond them), for the tray menu's "סגור הכל" and
// "דחה הכל". They read no settings and queue nothing;
// KVClass::CountChanged tells every change of the count.
class KVClassAlerts
{
public:
    // How many alerts are shown: windows and rows.
    int Count() const;
    // Closes every open alert as its own close does: each reminder moves on.
    void CloseAll();
    // Postpones every open alert by the postponement chosen in it (the rows
    // by the list's).
    void PostponeAll();

protected:
    ~KVClassAlerts() = default;
};
