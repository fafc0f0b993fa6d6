#pragma once
// Joystick 0 read as the emulator reads it on Windows, through the multimedia
// joystick calls: the buttons value exactly as the driver gives it, so that the
// "Bouton n" a player reads is the button n the emulator sees.

#include <cstdint>
#include <string>
#include <vector>

namespace velox {

class MultimediaJoystick {
 public:
  // Reads joystick 0: its buttons value, 0 when it is not there or the read
  // fails. Checks one other id as well, so that the count follows pads plugged
  // in elsewhere at one extra call per read.
  std::uint32_t Read();
  bool Connected() const { return connected_; }
  // As the pad reported it when it was found; empty when there is none.
  const std::string& Name() const { return name_; }
  // Pads found at the latest checks, joystick 0 included.
  int Count() const;
  // Changes whenever joystick 0 is found or lost.
  unsigned Generation() const { return generation_; }

 private:
  bool connected_ = false;
  std::string name_;
  unsigned generation_ = 0;
  std::vector<bool> others_;  // by id; id 0 unused
  unsigned nextOther_ = 1;
};

}  // namespace velox
