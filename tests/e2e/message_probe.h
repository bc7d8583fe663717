// What the message probe library and the tests that load it share.
#pragma once

#include <windows.h>

// The wParam of a WM_NULL that the probe logs as "mark <window>".
constexpr WPARAM kProbeMark = 0x59524E4C;
// The wParam of a WM_NULL sent to an open tray menu on which the probe logs
// the items of the menu's first submenu: "item <depth> <checked> <text>" for
// each, nested submenus after their item one deeper, then "items end".
constexpr WPARAM kProbeMenuItems = 0x59524E4D;
// The names under which the probe library exports its hook procedures.
constexpr const char* kProbeProcedure = "MessageProbe";
constexpr const char* kActivationProcedure = "ActivationProbe";
