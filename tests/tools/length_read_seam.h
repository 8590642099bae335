// The log writer's length read, replaced in the test writer: it can make the log grow between
// the read and the lock, or make every read slow.
#pragma once

// Moved end: right after the writer's first length read, a block of another writer's bytes is
// appended to the log, FOLDER/grown is created, and the read returns (its old length) only
// once FOLDER/rival exists, so that a test can take the new end first.
void ArmMovedEnd(const char* folder);
// Slow reads: every length read lasts kSlowReadMs longer, as a sleep does at a coarse timer
// resolution; the reads are counted.
void ArmSlowReads();
// After the last line, before the log is closed: with a moved end, creates FOLDER/written and
// waits for FOLDER/exit, so a test can look at the locks the writer still holds.
void AfterLastLine();
int LengthReads();
