// A DLL that stands beside the tests as one planted beside the program would:
// the runtime must never load it in place of Windows' own.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
