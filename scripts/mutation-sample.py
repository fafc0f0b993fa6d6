#!/usr/bin/env python3
"""Measures how many realistic one-line mutations of the source the tests catch.

Each mutation replaces a text that must occur exactly once in its file (one
that is missing or occurs twice is reported as an error, never skipped
silently). For each: apply it, rebuild what sees the file, run the test
programs that can see it (first the tests of that file's folder, then, if all
pass, the rest of the same programs), stop at the first failure, restore the
file. A mutation is killed when a test fails, crashes or runs past the time
limit; one that does not build is reported and not counted.

A .ui mutation needs one build: each form is compiled by a build rule of its
own into forms/ui_<Form>.h, which Ninja knows every includer of. The script
still checks that the header really changed (and that the restore gives it back
as it was), so that no mutation is counted against a stale form.

The summary gives "killed K of N (P%)" for each folder and overall.

Usage: scripts/mutation-sample.py [--list] [--only SUBSTRING]... [--every N [--start K]] [--timeout SECONDS]
                                  [--quick] [--no-baseline] [--log FILE]
  --list     print the mutations (and check that each text occurs once), run nothing
  --only     run the mutations whose file or text holds SUBSTRING
  --every    take every N-th mutation from the K-th: a part spread over every folder, when time is short
  --quick    stop after the first, focused pass (survivors are then "survived the folder's tests")
  --no-baseline  skip the first check that every test run used passes on the unmutated tree
Run from anywhere, with a configured build/default (cmake --preset default).

To add a mutation: one (file, text, replacement) line below. Keep it realistic:
a fault a developer could make, that still builds, and that changes what a user
or a file can see (an equivalent mutation only lowers the figure).
"""
import argparse
import os
import pathlib
import re
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
BUILD = ROOT / "build" / "default"
CORE, UI, APP = "velox_core_tests", "velox_ui_tests", "velox-configurator"

# (file, text, replacement)
MUTATIONS = [
    # --- shell: finding and starting programs
    ("src/shell/platform_posix.cpp", "if (fs::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0) return candidate;", "if (fs::is_regular_file(candidate, ec)) return candidate;"),
    ("src/shell/platform_posix.cpp", "while (start <= paths.size()) {", "while (start < paths.size()) {"),
    ("src/shell/platform_posix.cpp", "if (permissions >= 0 && ::fchmod(fd, mode) != 0) {", "if (false) {"),
    ("src/shell/platform_posix.cpp", "const mode_t mode = permissions < 0 ? 0666 : static_cast<mode_t>(permissions);", "const mode_t mode = permissions < 0 ? 0600 : static_cast<mode_t>(permissions);"),
    ("src/shell/platform.cpp", "out.push_back(static_cast<char>((field[i + 1] - '0') * 64", "out.push_back(static_cast<char>((field[i + 1] - '0') * 8"),
    ("src/shell/platform.cpp", "if (IsUnder(absoluteFolder, volume) && volume.native().size() > best.native().size()) best = volume;", "if (IsUnder(absoluteFolder, volume) && volume.native().size() < best.native().size()) best = volume;"),
    ("src/shell/program_start.cpp", "return head.starts_with(\"\\x7f\" \"ELF\") || head.starts_with(\"#!\");", "return head.starts_with(\"\\x7f\" \"ELF\");"),
    ("src/shell/program_start.cpp", "for (int i = 3; i >= 0; --i) at = at << 8", "for (int i = 0; i <= 3; ++i) at = at << 8"),
    ("src/shell/program_start.cpp", "      if (wine.empty()) return FileError{shown, \"is a Windows program and wine is not installed\"};\n", ""),
    # --- shell: files
    ("src/shell/safe_file.cpp", "if (written == 0) return EIO;", "if (written == 0) break;"),
    ("src/shell/safe_file.cpp", "real = next.is_absolute() ? next : real.parent_path() / next;", "real = next;"),
    ("src/shell/safe_file.cpp", "const int permissions = fs::is_regular_file(before) ? static_cast<int>(before.permissions() & fs::perms::mask) : -1;", "const int permissions = -1;"),
    ("src/shell/safe_file.cpp", "  if (error) {\n    (void)Remove(temp);", "  if (error) {"),
    ("src/shell/safe_file.cpp", "if (fs::exists(left)) {", "if (fs::is_symlink(left)) {"),
    ("src/shell/install_layout.cpp", "if (c == '\\\\' || c == '/') {", "if (c == '\\\\') {"),
    ("src/shell/install_layout.cpp", "result /= found.front();", "result /= name;"),
    ("src/shell/line_file.cpp", "    if (end > 0 && bytes[end - 1] == '\\r') --end;\n", ""),
    ("src/shell/line_file.cpp", "out.append(\"\\r\\n\");", "out.append(\"\\n\");"),
    ("src/shell/line_file.cpp", "while (start > 0 && bytes[start - 1] != '\\n' && bytes[start - 1] != '\\r') --start;", "while (start > 0 && bytes[start - 1] != '\\n') --start;"),
    ("src/shell/text_encoding.cpp", "const char16_t mapped = kHighControls[i] != 0 ? kHighControls[i] : static_cast<char16_t>(0x80 + i);", "const char16_t mapped = kHighControls[i];"),
    ("src/shell/text_encoding.cpp", "0x2039, 0x0152, 0,      0x017D,", "0x2039, 0x0152, 0,      0x017E,"),
    ("src/shell/file_status.cpp", "    case EACCES:\n", ""),
    # --- shell: the launcher
    ("src/shell/launcher_window.cpp", "button->setEnabled(static_cast<bool>(action));", "button->setEnabled(true);"),
    ("src/shell/launcher_window.cpp", "wire(ui_->Command4, actions_.showSettings, &Form3Window::Form3_Command4_Click);", "wire(ui_->Command4, actions_.showSettings, &Form3Window::Form3_Command1_Click);"),
    # --- settings: velox.ini
    ("src/settings/emulator_ini.cpp", "return header.substr(1, header.size() - 2);", "return header.substr(1, header.size() - 1);"),
    ("src/settings/emulator_ini.cpp", "start = at + from.size()) {", "start = at + 1) {"),
    ("src/settings/emulator_ini.cpp", "runEnd_ = end + 2;", "runEnd_ = end + 1;"),
    ("src/settings/emulator_ini.cpp", "if (settings.sound == SoundSetting::kOn) sound = \"sound=1\";", "if (settings.sound == SoundSetting::kOn) sound = \"sound=0\";"),
    ("src/settings/emulator_ini.cpp", "else if (line.starts_with(kViewport)) replacement = &viewport;", "else if (line.starts_with(kViewport)) replacement = &resolution;"),
    ("src/settings/emulator_ini.cpp", "else if (where == kBefore && HeaderName(line) == game) where = kInside;", "else if (HeaderName(line) == game) where = kInside;"),
    ("src/settings/emulator_ini.cpp", "if (!on && state != EntryState::kActive) {", "if (!on && state == EntryState::kPlainComment) {"),
    ("src/settings/emulator_ini.cpp", "if (entry.find_first_of(std::string_view(\"\\r\\n\", 2)) != std::string_view::npos) {", "if (entry.find('\\n') != std::string_view::npos) {"),
    ("src/settings/emulator_ini.cpp", "game->comment = std::string(line.substr(kComment.size()));", "game->comment = std::string(line);"),
    ("src/settings/emulator_ini.cpp", "if (Status s = check(kSavepath, *settings.savepath); !s) return s;", ";"),
    # --- settings: the dialogs
    ("src/settings/form5_window.cpp", "if (settings.savepath) ui_->Text2->setText(FromFile(*settings.savepath));", "if (settings.savepath) ui_->Text1->setText(FromFile(*settings.savepath));"),
    ("src/settings/form5_window.cpp", "    settings.sound = SoundSetting::kOff;\n  } else if", "    settings.sound = SoundSetting::kOn;\n  } else if"),
    ("src/settings/emulator_ini.cpp", "    if (c == Char('\\r')) return \"a carriage return (CR)\";\n", ""),
    ("src/settings/form5_window.cpp", "return JoinedPath(AppFolder(), \"\\\\-velox-.ini\");", "return JoinedPath(AppFolder(), \"\\\\velox.ini\");"),
    ("src/settings/form5_window.cpp", "  ui_->Combo2->setCurrentIndex(-1);", "  ui_->Combo2->setCurrentIndex(0);"),
    ("src/settings/form1_window.cpp", "if (row < ui_->List1->count()) {", "if (row < ui_->List1->count() - 1) {"),
    ("src/settings/form1_window.cpp", "    case EntryState::kActive:\n      ui_->Command2->setEnabled(true);", "    case EntryState::kActive:\n      ui_->Command1->setEnabled(true);"),
    ("src/settings/form1_window.cpp", "if (now == ui_->List1 && ui_->List1->selectedItems().isEmpty() && ui_->List1->count() > 0) {", "if (false) {"),
    ("src/settings/form1_window.cpp", "kShownLength + 1)), kShownLength));", "kShownLength + 1)), kShownLength + 1));"),
    ("src/settings/folder_picker_window.cpp", "if (key == Qt::Key_Return || key == Qt::Key_Enter) {", "if (key == Qt::Key_Return) {"),
    ("src/settings/folder_picker_window.cpp", "if (!info.isDir() || !info.isReadable() || !info.isExecutable()) return false;", "if (!info.isDir()) return false;"),
    ("src/settings/folder_picker_window.cpp", "ui_->Drive1->setCurrentIndex(std::max(current, 0));", "ui_->Drive1->setCurrentIndex(0);"),
    # --- controllers: mapping files and the walk
    ("src/controllers/gamepad_mapping.cpp", "for (int n = 0; n <= kJoystickButtonCount; ++n) {", "for (int n = 0; n < kJoystickButtonCount; ++n) {"),
    ("src/controllers/gamepad_mapping.cpp", "if (buttons == (std::uint32_t{1} << (n - 1))) return ChoiceText(n);", "if (buttons & (std::uint32_t{1} << (n - 1))) return ChoiceText(n);"),
    ("src/controllers/gamepad_mapping.cpp", "  AppendLine(out, JoinFields(masks));\n  AppendLine(out, JoinFields(choices));", "  AppendLine(out, JoinFields(choices));\n  AppendLine(out, JoinFields(masks));"),
    ("src/controllers/keyboard_mapping.cpp", "codes.push_back(std::to_string(KeyCode(key)));", "codes.push_back(std::string(1, key));"),
    ("src/controllers/keyboard_mapping.cpp", "const std::optional<std::string_view> last = LastLine(*bytes);", "const std::optional<std::string_view> last = FirstLine(*bytes);"),
    ("src/controllers/controller_mode.cpp", "{Gamepad, \"2\", \"Option2\", \"1 Player - Gamepad\", false, true},", "{Gamepad, \"2\", \"Option2\", \"1 Player - Gamepad\", true, true},"),
    ("src/controllers/controller_mode.cpp", "AppendLine(out, mode ? ModeInfo(*mode).number : \"\");", "AppendLine(out, mode ? ModeInfo(*mode).number : \"5\");"),
    ("src/controllers/controller_button.cpp", "\"bottom yellow button\", \"Yellow down\", {0, 4}},", "\"bottom yellow button\", \"Yellow down\", {0, 8}},"),
    ("src/controllers/mapping_fields.cpp", "if (i) out += separator;", "out += separator;"),
    ("src/controllers/mapping_walk.cpp", "if (current == bit) return (previous & bit) ? std::nullopt : std::optional<int>(n);", "if (current == bit) return std::optional<int>(n);"),
    ("src/controllers/mapping_walk.cpp", "  if (press.keypad) return std::nullopt;\n", ""),
    ("src/controllers/mapping_walk.cpp", "std::pair{kXkbHomeRow, 38u}", "std::pair{kXkbHomeRow, 37u}"),
    ("src/controllers/mapping_walk.cpp", "if (connected > 1) text +=", "if (connected > 0) text +="),
    # --- controllers: the profile
    ("src/controllers/profile_writer.cpp", "{0x4271B1, ButtonName::PadLeft, 'F'},", "{0x4271B1, ButtonName::PadRight, 'F'},"),
    ("src/controllers/profile_writer.cpp", "constexpr std::string_view kHeader{\"\\x01\\x40\", 2};", "constexpr std::string_view kHeader{\"\\x01\\x41\", 2};"),
    ("src/controllers/profile_writer.cpp", "{0x43A64F, ButtonName::GripTrigger},", "{0x43A650, ButtonName::GripTrigger},"),
    ("src/controllers/profile_writer.cpp", "  bytes.append(\"\\r\\n\");\n", ""),
    ("src/controllers/profile_writer.cpp", "done.profileDeleted = existed;", "done.profileDeleted = true;"),
    # --- controllers: the dialogs
    ("src/controllers/form8_window.cpp", "if (stored) OptionFor(*stored)->setChecked(true);", ";"),
    ("src/controllers/form8_window.cpp", "} else if (progress.profileDeleted) {", "} else if (false) {"),
    ("src/controllers/form2_window.cpp", "if (pressed && (press_->CloseOpenList() || isActiveWindow())) {", "if (pressed) {"),
    ("src/controllers/form2_window.cpp", "ui_->MapAllButton->setEnabled(state != PadState::NoSupport);", "ui_->MapAllButton->setEnabled(state == PadState::Connected);"),
    ("src/controllers/press_mapping_window.cpp", "  if (e->isAutoRepeat()) return true;\n", ""),
    ("src/controllers/press_mapping_window.cpp", "    case Qt::Key_Backtab:\n      walk_.Back();", "    case Qt::Key_Backtab:\n      walk_.Advance();"),
    ("src/controllers/press_mapping_window.cpp", "  if (watched == c_.dialog && type == QEvent::Hide && Walking()) StopWalk(idleText_);\n", ""),
    ("src/controllers/joystick_sdl.cpp", "if (g_joystick && !g_sdl.JoystickGetAttached(g_joystick)) {", "if (false) {"),
    ("src/controllers/controller_picture_window.cpp", "  caption->setBuddy(combo);\n", ""),
    # --- video
    ("src/video/video_choice.cpp", "if (std::error_code kind; !fs::is_directory(fs::symlink_status(file, kind))) found.push_back(file);", "found.push_back(file);"),
    ("src/video/video_choice.cpp", "if (FileExists(openGlide)) {", "if (true) {"),
    ("src/video/wrapper_catalogue.cpp", "\"Glide Wrapper\\\\GL2ide rev A3\\\\Gl2ideConfig.exe\", kLeft, 7,", "\"Glide Wrapper\\\\GL2ide rev C\\\\Gl2ideConfig.exe\", kLeft, 7,"),
    ("src/video/wrapper_catalogue.cpp", "if (choice < 1 || choice > static_cast<int>(kCatalogue.size())) return nullptr;", "if (choice < 1 || choice >= static_cast<int>(kCatalogue.size())) return nullptr;"),
    ("src/video/wrapper_catalogue.cpp", "\"\\\\Glide Wrapper\\\\Clide v2.4\\\\glide2x.dll\", \"config11\", 0,", "\"\\\\Glide Wrapper\\\\Clide v2.4\\\\glide2x.dll\", \"config1\", 0,"),
    ("src/video/principal_window.cpp", "if (button == QLatin1String(\"config10\")) button += QStringLiteral(\"_%1\").arg(entry.setupMember);", ";"),
    ("src/video/principal_window.cpp", "\"Option8\", \"Option14\", \"Option9\",", "\"Option8\", \"Option9\","),
    ("src/video/principal_window.cpp", "if (!done.libraryInstalled && !done.libraryRemoved && !changed.isEmpty()) {", "if (!done.libraryInstalled && !changed.isEmpty()) {"),
    # --- ui: shared window code
    ("src/ui/velox_dialog.cpp", "if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {", "if (event->modifiers() == Qt::NoModifier) {"),
    ("src/ui/messages.cpp", "static_cast<size_t>(quoted.size())), kExcerptLength));", "static_cast<size_t>(quoted.size())), kExcerptLength + 1));"),
    ("src/ui/messages.cpp", "if (sentence.endsWith(QLatin1Char('.'))) sentence.chop(1);", ";"),
    ("src/ui/messages.cpp", "if (close < text.size()) out += QLatin1Char('\"');", "out += QLatin1Char('\"');"),
    ("src/ui/accessibility.cpp", "for (QAbstractButton* option : options) QObject::connect(option, &QAbstractButton::toggled, option, follow);", ";"),
    ("src/ui/accessibility.cpp", "const bool reachable = !text.isEmpty() && (label->textInteractionFlags() & Qt::TextSelectableByKeyboard);", "const bool reachable = !text.isEmpty();"),
    ("src/ui/accessibility.cpp", "window->setAccessibleName(what + QStringLiteral(\" \\u2014 \") + QString::fromLatin1(kWindowCaption));", "window->setAccessibleName(what);"),
    ("src/ui/single_window.h", "W* Get() const { return window_ && window_->isVisible() ? window_.data() : nullptr; }", "W* Get() const { return window_.data(); }"),
    ("src/app/default_actions.cpp", "actions.quit = [] { QCoreApplication::exit(0); };", "actions.quit = [] { QCoreApplication::exit(1); };"),
    ("src/ui/text_box_font.cpp", "if (!TextBoxesCanShow(font)) QApplication::setFont(WithFamily(font, family), name);", ";"),
    # --- ui: forms (buddies, tab order, accessible names, default buttons, mnemonics)
    ("src/ui/Form5.ui", "<cstring>Text2</cstring>", "<cstring>Text1</cstring>"),
    ("src/ui/Form5.ui", "  <tabstop>Combo1</tabstop>\n  <tabstop>Combo2</tabstop>", "  <tabstop>Combo2</tabstop>\n  <tabstop>Combo1</tabstop>"),
    ("src/ui/Form5.ui", "<string>Sound emulation: No</string>", "<string>Sound emulation: Yes</string>"),
    ("src/ui/Form1.ui", "<string>Entries of the chosen game</string>", "<string></string>"),
    ("src/ui/Form3.ui", "  <tabstop>Command6</tabstop>\n  <tabstop>Command3</tabstop>", "  <tabstop>Command3</tabstop>\n  <tabstop>Command6</tabstop>"),
    ("src/ui/FolderPicker.ui", "<cstring>Drive1</cstring>", "<cstring>Dir1</cstring>"),
    ("src/ui/FolderPicker.ui", "          <property name=\"default\">\n           <bool>true</bool>", "          <property name=\"default\">\n           <bool>false</bool>"),
    ("src/ui/Form8.ui", "<string>Configure Game&amp;Pad</string>", "<string>Configure &amp;GamePad</string>"),
    ("src/ui/Form2.ui", "<property name=\"buddy\"><cstring>Text111</cstring></property>", ""),
    ("src/ui/Form4.ui", "<tabstop>Command1</tabstop><tabstop>Command2</tabstop>", "<tabstop>Command2</tabstop><tabstop>Command1</tabstop>"),
    ("src/ui/principal.ui", "  <tabstop>config10_1</tabstop>\n  <tabstop>config10_0</tabstop>", "  <tabstop>config10_0</tabstop>\n  <tabstop>config10_1</tabstop>"),
    # --- controllers: joystick 0 read through the multimedia joystick calls (core; the Windows build uses it)
    ("src/controllers/multimedia_joystick.cpp", "  return buttons;\n}", "  return buttons & 0xFFFF;\n}"),
    ("src/controllers/multimedia_joystick.cpp", "  if (!found) buttons = 0;\n", ""),
    ("src/controllers/multimedia_joystick.cpp", "calls.ReadButtons(0, buttons) == platform::kJoyNoError;", "calls.ReadButtons(0, buttons) != platform::kJoyUnplugged;"),
    ("src/controllers/multimedia_joystick.cpp", "if (nextOther_ >= others_.size()) nextOther_ = 1;", "if (nextOther_ >= others_.size()) nextOther_ = 0;"),
    ("src/controllers/multimedia_joystick.cpp", "if (there != others_[nextOther_] && connected_) {", "if (there && !others_[nextOther_] && connected_) {"),
    ("src/controllers/multimedia_joystick.cpp", "        ++generation_;\n", ""),
    # --- shell: a file held open for a moment is tried again (the hold is only ever seen on Windows: tests fake it)
    ("src/shell/safe_file.cpp", "error && Files().MayClearSoon(error) && waited < kPatienceMs;", "error && waited < kPatienceMs;"),
    ("src/shell/safe_file.cpp", "wait *= 2) {", "wait += kFirstWaitMs) {"),
    ("src/shell/safe_file.cpp", "std::min({wait, kLongestWaitMs, kPatienceMs - waited});", "std::min(wait, kPatienceMs - waited);"),
    ("src/shell/safe_file.cpp", "return error && waited > 0 && Files().MayClearSoon(error) ? EBUSY : error;", "return error;"),
    ("src/shell/safe_file.cpp", "Patiently([&] { return Files().Replace(temp, real); })", "Files().Replace(temp, real)"),
    ("src/shell/file_status.cpp", "\"is in use, held open by another program\", true};", "\"is in use, held open by another program\"};"),
    ("src/video/principal_window.cpp", "if (error.inUse && name.compare(QStringLiteral(\"glide2x.dll\"), Qt::CaseInsensitive) == 0) {", "if (error.inUse && name == QStringLiteral(\"glide2x.dll\")) {"),
    ("src/video/principal_window.cpp", "  if (error.inUse && name.compare(", "  if (name.compare("),
    # --- shell: one configurator per folder
    ("src/shell/single_instance.cpp", "if constexpr (platform::kWindows) folder = folder.toCaseFolded();", "folder = folder.toCaseFolded();"),
    ("src/shell/single_instance.cpp", "QString folder = info.canonicalFilePath();", "QString folder;"),
    ("src/shell/single_instance.cpp", "    QLocalServer::removeServer(key_);  // the socket file a killed configurator left (POSIX)\n", ""),
    ("src/shell/single_instance.cpp", "  lock_.setStaleLockTime(0);\n", ""),
    ("src/shell/single_instance.cpp", "  if (lock_.error() != QLockFile::LockFailedError) return;\n", ""),
    # --- controllers: profile names, files and the pad's own profile
    # (Left out as no run can see them: a gamepad profile of more than 3 lines, or of more than 4096 bytes, is
    # refused by the exact rewrite check whether or not its count or size is checked first.)
    ("src/controllers/mapping_profile.cpp", "{U\"CON\", U\"PRN\", U\"AUX\", U\"NUL\", U\"CONIN$\", U\"CONOUT$\"}", "{U\"CON\", U\"PRN\", U\"AUX\", U\"CONIN$\", U\"CONOUT$\"}"),
    ("src/controllers/mapping_profile.cpp", "  for (char32_t& c : stem) c = c >= U'a' && c <= U'z' ? c - 0x20 : c;\n", ""),
    ("src/controllers/mapping_profile.cpp", "IsReservedStem(text->substr(0, text->find(U'.')))", "IsReservedStem(*text)"),
    ("src/controllers/mapping_profile.cpp", "return (n >= U'0' && n <= U'9') || n == 0xB9 || n == 0xB2 || n == 0xB3;", "return n >= U'0' && n <= U'9';"),
    ("src/controllers/mapping_profile.cpp", "if (text->back() == U'.' || text->back() == U' ') return", "if (text->back() == U'.') return"),
    ("src/controllers/mapping_profile.cpp", "if (text->size() > kProfileNameMaxLength) {", "if (text->size() >= kProfileNameMaxLength) {"),
    ("src/controllers/mapping_profile.cpp", "if (SameProfileName(entry.name, name)) return std::move(entry);", "if (entry.name == name) return std::move(entry);"),
    ("src/controllers/mapping_profile.cpp", "  if (c >= 0x410 && c <= 0x42F) return c + 0x20;\n", ""),
    ("src/controllers/mapping_profile.cpp", "  if (SplitLines(GamepadProfileBytes(profile)) != *lines) return Damaged(file, MappingKind::Gamepad);\n", ""),
    ("src/controllers/mapping_profile.cpp", "  if (SplitLines(KeyboardProfileBytes(mapping)) != *lines) return Damaged(file, MappingKind::Keyboard);\n", ""),
    ("src/controllers/mapping_profile.cpp", "if (!best || entry.saved > best->saved) best = std::move(entry);", "if (!best) best = std::move(entry);"),
    ("src/controllers/mapping_profile.cpp", "  if (pad.empty()) return std::nullopt;\n", ""),
    ("src/controllers/mapping_profile.cpp", "const char shown = byte < 0x20 || byte == 0x7F ? ' ' : c;", "const char shown = byte < 0x20 ? ' ' : c;"),
    # --- controllers: the profile row and the Linux pad-numbers line
    ("src/controllers/profile_row_window.cpp", "(key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)", "key->key() != Qt::Key_Return"),
    ("src/controllers/profile_row_window.cpp", "Refresh(replaced ? Text(replaced->name) : name);", "Refresh(name);"),
    ("src/controllers/profile_row_window.cpp", "if (replaced && !AskYesNo(", "if (false && !AskYesNo("),
    ("src/controllers/profile_row_window.cpp", "c_.remove->setEnabled(!profiles_.empty());", "c_.remove->setEnabled(true);"),
    ("src/controllers/form2_window.cpp", "  if (platform::kWindows) {\n    ui_->PadNumbers->hide();", "  if (!platform::kWindows) {\n    ui_->PadNumbers->hide();"),
    ("src/controllers/form2_window.cpp", "    MakeReadable(ui_->PadNumbers);\n", ""),
    # --- main.cpp (only the single-instance test starts the program)
    ("src/main.cpp", "  velox::ui::EnsureReadableTextBoxes();\n", ""),
    ("src/main.cpp", "velox::ui::Form3Window launcher(velox::ui::DefaultLauncherActions());", "velox::ui::Form3Window launcher(velox::ui::LauncherActions{});"),
]

# Which tests look at a file, first match wins: (path prefix, core tests' filter, window tests' filter).
# None: that program cannot see the file. The filters give the first, quick pass; the rest of the same
# programs runs only when that pass is survived (unless --quick).
WINDOWS_EVERYWHERE = "AccessibilityTest.*:TextBoxWindowTest.*"
FOCUS = [
    ("src/main.cpp", None, "SingleInstanceTest.*"),  # the only test that starts the program
    ("src/app/", None, "Launcher*.*:" + WINDOWS_EVERYWHERE),
    ("src/shell/launcher_window", None, "Launcher*.*:" + WINDOWS_EVERYWHERE),
    ("src/shell/single_instance", None, "SingleInstanceTest.*"),
    ("src/shell/", "*SafeFile*.*:LineFile.*:ProgramStart.*:DefaultProgram.*:Drives.*:InstallLayout.*:AnyLetters.*",
     "Launcher*.*"),
    ("src/settings/emulator_ini", "EmulatorIni.*", "SettingsWindowTest.*"),
    ("src/settings/", None, "SettingsWindowTest.*:" + WINDOWS_EVERYWHERE),
    ("src/controllers/joystick_sdl", None, "ControllerDialogTest.*"),
    ("src/controllers/profile_row", None, "ControllerDialogTest.*:" + WINDOWS_EVERYWHERE),
    ("src/controllers/", "Mapping*.*:PressedButtonTest.*", "ControllerDialogTest.*"),
    ("src/video/principal_window", None, "Principal*.*:" + WINDOWS_EVERYWHERE),
    ("src/video/", "*VideoChoiceTest.*", "Principal*.*"),
    ("src/ui/Form3.ui", None, "Launcher*.*:" + WINDOWS_EVERYWHERE),
    ("src/ui/Form1.ui", None, "SettingsWindowTest.*:" + WINDOWS_EVERYWHERE),
    ("src/ui/Form5.ui", None, "SettingsWindowTest.*:" + WINDOWS_EVERYWHERE),
    ("src/ui/FolderPicker.ui", None, "SettingsWindowTest.*:" + WINDOWS_EVERYWHERE),
    ("src/ui/principal.ui", None, "Principal*.*:" + WINDOWS_EVERYWHERE),
    ("src/ui/Form", None, "ControllerDialogTest.*:" + WINDOWS_EVERYWHERE),
    ("src/ui/", None, WINDOWS_EVERYWHERE),
]
# Files with Qt (windows) are seen by the window tests only; the rest of src/ is the core.
QT_FILES = re.compile(r"(_window\.|^src/ui/|^src/app/|single_instance|joystick_sdl|^src/main\.cpp)")
# Code the Linux build does not compile (Win32 only) is not sampled: a mutation there would count as a survivor.
WINDOWS_ONLY = re.compile(r"_win32\.cpp$")


def focus_of(file):
    for prefix, core, ui in FOCUS:
        if file.startswith(prefix):
            if QT_FILES.search(file):
                core = None
            return [(b, f) for b, f in ((CORE, core), (UI, ui)) if f is not None]
    raise SystemExit(f"no test programs known for {file}: add it to FOCUS")


def targets_of(file):
    targets = [b for b, _ in focus_of(file)]
    return targets or [APP]


def folder_of(file):
    """The folder a mutation is counted under; the forms apart from the code of src/ui."""
    if file.endswith(".ui"):
        return "src/ui (.ui forms)"
    return str(pathlib.Path(file).parent) if "/" in file[4:] else file


def log(line, out):
    print(line, flush=True)
    if out:
        out.write(line + "\n")
        out.flush()


def quiet(cmd, timeout=None):
    """Runs cmd in the build folder at low priority; returns the exit code, or "timeout"."""
    env = {**os.environ, "QT_QPA_PLATFORM": "offscreen"}
    try:
        return subprocess.run(["nice", "-n", "10", *cmd], cwd=BUILD, env=env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return "timeout"


def generated_header(form):
    """The form's header, compiled by its own build rule (CMakeLists.txt) into forms/ui_<Form>.h."""
    return BUILD / "forms" / f"ui_{form.stem}.h"


def header_text(form):
    header = generated_header(form)
    return header.read_bytes() if header.exists() else None


def build(file, targets, header_before=None):
    """Builds targets after file changed. Returns None, or why it failed.

    For a form, header_before is its generated header before the change: one build must have
    compiled the form again, so the header has to differ from it (Ninja then recompiles every
    object that includes it, as the build rules name it)."""
    path = ROOT / file
    if quiet(["cmake", "--build", ".", "--target", *targets]) != 0:
        return "does not build"
    if path.suffix == ".ui" and header_before is not None and header_text(path) == header_before:
        return f"forms/ui_{path.stem}.h did not change"
    return None


def passes_of(file, quick):
    """The test runs for file: the focused pass, then (unless quick) the rest of the same programs."""
    runs = focus_of(file)
    passes = [runs] if runs else []
    if runs and not quick:
        passes.append([(b, "-" + f) for b, f in runs if f != "*"])
    return passes


def run_tests(file, timeout, quick):
    """Returns the verdict: "survived" or what killed the mutation."""
    for runs in passes_of(file, quick):
        for binary, gtest_filter in runs:
            code = quiet([f"tests/{binary}", f"--gtest_filter={gtest_filter}", "--gtest_fail_fast", "--gtest_brief=1"],
                         timeout)
            if code != 0:
                return f"killed by {binary} [{gtest_filter}] ({code})"
    return "survived"


def check_all(mutations):
    """Each text must occur exactly once in its file; returns the errors."""
    errors = []
    for file, old, new in mutations:
        path = ROOT / file
        if not path.exists():
            errors.append(f"{file}: no such file")
            continue
        count = path.read_text().count(old)
        if count != 1:
            errors.append(f"{file}: text occurs {count} times: {old.strip()[:70]!r}")
        if WINDOWS_ONLY.search(file):
            errors.append(f"{file}: Win32-only code, which the Linux build does not compile")
        if old == new:
            errors.append(f"{file}: replacement equals the text: {old.strip()[:70]!r}")
    return errors


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--list", action="store_true", help="print the mutations and check them; run nothing")
    parser.add_argument("--only", action="append", default=[],
                        help="run the mutations whose file or text holds this (may be given again)")
    parser.add_argument("--timeout", type=int, default=300, help="seconds per test program run")
    parser.add_argument("--quick", action="store_true", help="run only the focused pass")
    parser.add_argument("--log", help="also write the progress and summary to this file")
    parser.add_argument("--no-baseline", action="store_true",
                        help="skip checking that every test run used passes on the unmutated tree")
    parser.add_argument("--every", type=int, default=1, help="take every N-th mutation (a spread-out part)")
    parser.add_argument("--start", type=int, default=0, help="with --every: the first one taken (from 0)")
    args = parser.parse_args()

    wanted = lambda m: not args.only or any(s in m[0] or s in m[1] for s in args.only)
    chosen = [m for m in MUTATIONS if wanted(m)][args.start::args.every]
    errors = check_all(chosen)
    if args.list:
        for i, (file, old, new) in enumerate(chosen, 1):
            runs = " then ".join(f"{b}[{f}]" for b, f in focus_of(file)) or "no test program"
            print(f"{i:3} {file}: {old.strip()[:60]!r} -> {new.strip()[:40]!r}  ({runs})")
        folders = sorted({str(pathlib.Path(f).parent) if "/" in f[4:] else f for f, _, _ in chosen})
        print(f"\n{len(chosen)} mutations in {', '.join(folders)}")
    for error in errors:
        print(f"ERROR {error}", file=sys.stderr)
    if errors or args.list:
        return 1 if errors else 0

    out = open(args.log, "a") if args.log else None
    if quiet(["cmake", "--build", "."]) != 0:
        raise SystemExit("the unmutated tree does not build")
    if not args.no_baseline:
        # A filtered run can fail on its own (a test that needs an earlier one): that would count as a kill.
        runs = sorted({run for file, _, _ in chosen for runs in passes_of(file, args.quick) for run in runs})
        for binary, gtest_filter in runs:
            code = quiet([f"tests/{binary}", f"--gtest_filter={gtest_filter}", "--gtest_brief=1"], args.timeout)
            if code != 0:
                raise SystemExit(f"{binary} --gtest_filter={gtest_filter} fails on the unmutated tree ({code})")
        log(f"baseline: {len(runs)} test runs pass on the unmutated tree", out)
    killed, survived, invalid = 0, [], []
    by_folder = {}  # folder: [killed, counted]
    for i, (file, old, new) in enumerate(chosen, 1):
        path = ROOT / file
        source = path.read_text()
        started = time.time()
        targets = targets_of(file)
        header = header_text(path) if path.suffix == ".ui" else None
        try:
            path.write_text(source.replace(old, new, 1))
            failure = build(file, targets, header)
            if failure:
                invalid.append((file, old, failure))
                verdict = failure
            else:
                verdict = run_tests(file, args.timeout, args.quick)
                tally = by_folder.setdefault(folder_of(file), [0, 0])
                tally[1] += 1
                if verdict == "survived":
                    survived.append((file, old, new))
                else:
                    killed += 1
                    tally[0] += 1
        finally:
            path.write_text(source)
            # A form is rebuilt at once, and must give its header back as it was, so that the next
            # mutation does not meet the mutated one.
            if path.suffix == ".ui" and (build(file, targets) or header_text(path) != header):
                raise SystemExit(f"the restored {file} does not build back to its header")
        log(f"[{i}/{len(chosen)}] {file}: {verdict} ({time.time() - started:.0f} s) :: {old.strip()[:70]}", out)
    quiet(["cmake", "--build", "."])  # the build matches the sources again

    counted = killed + len(survived)
    log("", out)
    for folder, (k, n) in sorted(by_folder.items()):
        log(f"{folder}: killed {k} of {n} ({100 * k / max(n, 1):.0f}%)", out)
    log(f"overall: killed {killed} of {counted} ({100 * killed / max(counted, 1):.0f}%)"
        f"{'' if not invalid else f'; not counted: {len(invalid)}'}", out)
    for file, old, new in survived:
        log(f"SURVIVED {file}: {old.strip()!r} -> {new.strip()!r}", out)
    for file, old, why in invalid:
        log(f"NOT COUNTED {file}: {old.strip()[:70]!r} ({why})", out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
