#pragma once

// The process command line without the program's own name and the blanks after it.
const char* FindCommandTail(const char* commandLine);
