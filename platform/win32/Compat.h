#pragma once

// What the program wants of Windows versions newer than 2000: looked up at
// run time and skipped where the running Windows lacks it, so that the exe
// still loads on the oldest system it supports.

// Takes the current directory out of the DLL search path (SetDllDirectoryW,
// XP SP1 and later), so that a DLL planted beside a downloaded exe, where a
// browser's download folder is often the current directory, is not loaded by
// any later load of the process.
void RemoveCurrentDirectoryFromDllSearch();
