// Lumivex.exe: the program's entry. One copy runs at a time; a second start hands its path
// to the first and ends with 0.
#include <windows.h>

#include "app/program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
  if (!lmx::StartProgram(instance, commandLine, showCommand)) return 0;
  int exitCode = lmx::RunMessageLoop();
  lmx::EndProgram();
  return exitCode;
}
