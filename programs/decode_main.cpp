// Talvo_decode: extracts the three text banks of a cartridge image into
// Shift_JIS text files. It takes no arguments; everything goes through the
// file dialog and message boxes.
#include "extractor.h"
#include "program_run.h"

#ifdef _WIN32
#include <windows.h>
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return talvo::run_program(talvo::run_extractor); }
#else
int main() { return talvo::run_program(talvo::run_extractor); }
#endif
