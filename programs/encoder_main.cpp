// SJIStoTalvo_msg, SJIStoTalvo_str and SJIStoTalvo_btl: one source, built
// three times, each with its own bank compiled in. They take no arguments;
// everything goes through the file dialog and message boxes.
#include "banks.h"
#include "encoder_engine.h"
#include "program_run.h"

#if !defined(TALVO_ENCODER_VARIANT)
#error "TALVO_ENCODER_VARIANT must name the bank: kMessageVariant, kFixedStringVariant or kBattleTextVariant"
#endif

static int run() { return talvo::run_encoder(talvo::TALVO_ENCODER_VARIANT); }

#ifdef _WIN32
#include <windows.h>
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return talvo::run_program(run); }
#else
int main() { return talvo::run_program(run); }
#endif
