// Talvo_insert: puts the edited text files of the current directory into a
// copy of a cartridge image, "TalvoInsert.smc", with the BPS patch
// "TalvoInsert.bps" beside it. It takes no arguments; everything goes
// through the file dialog and message boxes.
#include "insert_program.h"
#include "program_run.h"

#ifdef _WIN32
#include <windows.h>
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return talvo::run_program(talvo::run_inserter); }
#else
int main() { return talvo::run_program(talvo::run_inserter); }
#endif
