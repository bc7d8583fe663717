// Resource numbers, shared by the resource script and the code.
#pragma once

// Tray icons and the application's icon.
#define IDI_RUNNING 1
#define IDI_PAUSED 2
#define IDI_APP 3
