// What the message probe library and the tests that load it share.
#pragma once

#include <windows.h>

// The wParam of a WM_NULL that the probe logs as "mark <window>".
constexpr WPARAM kProbeMark = 0x59524E4C;
// The names under which the probe library exports its hook procedures.
constexpr const char* kProbeProcedure = "MessageProbe";
constexpr const char* kActivationProcedure = "ActivationProbe";
