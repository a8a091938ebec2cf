#include <windows.h>

// The module's state is built by static initialisers and by the objects themselves.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
