// talvo preview: every page of every entry drawn as the game's window shows it.
#include "commands.h"

namespace talvo::cli {

int run_preview(const Options&) {
  say("preview is not built yet");
  return kFailure;
}

}  // namespace talvo::cli
