// PLACEHOLDER: replaced by the install log.
#include "update/install_log.h"

void OpenInstallLog() {}
void WriteInstallLogLine(LPCSTR) {}
void CloseInstallLog() {}
