#pragma once

// Opens one alert per due reminder (active, RNext strictly before now).
// Logs "CheckRemind: <description>" on failure.
void CheckRemind();
