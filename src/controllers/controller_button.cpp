#include "controllers/controller_button.h"

namespace velox {

std::string ButtonMask::Text() const { return std::to_string(low) + "-" + std::to_string(high); }

const std::array<ControllerButton, kControllerButtonCount>& ControllerButtons() {
  using enum ButtonName;
  static const std::array<ControllerButton, kControllerButtonCount> table{{
      {1, GreenButton, "Combo1", "GreenButton", "green button", "Green button", {64, 0}},
      {2, LeftShoulder, "Combo2", "LeftShoulder", "left shoulder button", "Left shoulder", {0, 32}},
      {3, RightShoulder, "Combo3", "RightShoulder", "right shoulder button", "Right shoulder", {0, 16}},
      {4, YellowLeft, "Combo4", "YellowLeft", "left yellow button", "Yellow left", {0, 2}},
      {5, YellowUp, "Combo5", "YellowUp", "top yellow button", "Yellow up", {0, 8}},
      {6, YellowRight, "Combo6", "YellowRight", "right yellow button", "Yellow right", {0, 1}},
      {7, YellowDown, "Combo7", "YellowDown", "bottom yellow button", "Yellow down", {0, 4}},
      {8, BlueButton, "Combo8", "BlueButton", "blue button", "Blue button", {128, 0}},
      {9, GripTrigger, "Combo9", "GripTrigger", "trigger under the centre grip", "Grip trigger", {32, 0}},
      {10, CentreButton, "Combo10", "CentreButton", "red centre button", "Centre button", {16, 0}},
      {11, PadUp, "Combo11", "PadUp", "direction pad up", "Pad up", {8, 0}},
      {12, PadLeft, "Combo12", "PadLeft", "direction pad left", "Pad left", {2, 0}},
      {13, PadDown, "Combo13", "PadDown", "direction pad down", "Pad down", {4, 0}},
      {14, PadRight, "Combo14", "PadRight", "direction pad right", "Pad right", {1, 0}},
  }};
  return table;
}

const ControllerButton& ButtonAt(ButtonName name) { return ControllerButtons()[static_cast<int>(name) - 1]; }

}  // namespace velox
