// A writer as another program would be one, through the system's CreateFileA.
// Kept apart from the framework's headers, whose HINSTANCE is not windows.h's.
#pragma once

// A handle open for writing that shares everything, or null.
void* OpenForWriting(const char* path);
void CloseWriter(void* handle);
// True under the compatibility layer that runs these tests on Linux, whose
// search takes "*." for "*" where Windows itself keeps names without a dot.
bool RunningUnderWine();
