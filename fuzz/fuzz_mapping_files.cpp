// The small files of the Data folder: any content gives the readers' defined
// result, and what a reader returns reads back unchanged from the bytes its
// writer would store (composed in memory: a disk write per input would starve the fuzzer).

#include <cstdlib>

#include "controllers/controller_mode.h"
#include "controllers/gamepad_mapping.h"
#include "controllers/keyboard_mapping.h"
#include "shell/line_file.h"
#include "support.h"
#include "video/video_choice.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velox;
  const auto& app = fuzz::Installation();
  fuzz::PutFile("Data/clavier.cfg", data, size);
  fuzz::PutFile("Data/manette.cfg", data, size);
  fuzz::PutFile("Data/controller.cfg", data, size);
  fuzz::PutFile("Data/glide.cfg", data, size);

  const KeyboardMapping keys = ReadKeyboardMapping(app);
  if (!(ParseKeyboardNames(*LastLine(KeyboardMappingBytes(keys))) == keys)) std::abort();
  const GamepadMapping pad = ReadGamepadMapping(app);
  if (!(ParseGamepadChoices(*LastLine(GamepadMappingBytes(pad))) == pad)) std::abort();
  (void)ReadControllerMode(app);
  const VideoChoice choice = ReadVideoChoice(app);
  if (choice && (*choice < 1 || *choice > 14)) std::abort();
  return 0;
}
