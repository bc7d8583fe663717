#include "framework/control_ids.h"

int NextControlId() {
    // Below 100 are the dialog manager's own (IDOK, IDCANCEL ...).
    static int next = 100;
    return next++;
}
