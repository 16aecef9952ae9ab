#include <windows.h>

#include "app/run.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { endProcess(runProgram()); }
