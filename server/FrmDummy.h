#pragma once

#include <QTimer>
#include <QWidget>

// The hidden form "KVForm" that owns the command queue's drain timer. It is loaded by the
// first queued command and unloads itself one second later; a drain still
// pending then moves to a fresh form, so no queued command is left waiting. It is never shown,
// so it does not keep Kalvex alive as a window, only while it is loaded.
class FrmDummy : public QWidget
{
    Q_OBJECT
public:
    static FrmDummy* instance(); // nullptr when not loaded
    static FrmDummy* load();

    // (Re)starts the single-shot drain timer, which then runs drain, unless it is already due
    // sooner.
    void armDrainTimer(int ms, void (*drain)());

    static constexpr int kSelfUnloadMs = 1000;

signals:
    // Emitted as the form unloads.
    void unloaded();

private:
    FrmDummy();
    ~FrmDummy() override;
    void unload();

    QTimer m_drainTimer;
    void (*m_drain)() = nullptr;
    QTimer m_unloadTimer;
};
