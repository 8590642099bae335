// PLACEHOLDER: replaced by the run-line registration.
#include "run/run_line.h"

void AddToRunLine(LPCSTR) {}
