#pragma once

#include <QPixmap>

// The three 16x16 alarm-clock faces of the tray icon, on a transparent ground.
enum class ClockFace {
    RunningLan, // yellow face, purple rim: running with a LAN switch on
    Running,    // white face, dark marks, red hand: running with both off
    Stopped,    // shades of grey
};

QPixmap drawAlarmClock(ClockFace face);
