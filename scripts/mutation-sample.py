#!/usr/bin/env python3
"""Measures how many realistic one-line mutations of the source the tests catch.

Each mutation replaces the first occurrence of a text in one source file. For
each: apply it, rebuild the test programs incrementally, run the affected
programs (stopping at the first failure, within a time limit), restore the file.
A mutation is killed when a test fails, crashes or times out; one that does not
build is not counted.

Usage: scripts/mutation-sample.py [--only SUBSTRING] [--timeout SECONDS]
Run from the repository with a configured build/default (cmake --preset default).
"""
import argparse
import pathlib
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
BUILD = ROOT / "build" / "default"
CORE, UI = "velox_core_tests", "velox_ui_tests"

# (file, text, replacement). Files of windows are tested by the window tests only.
MUTATIONS = [
    # shell
    ("src/shell/line_file.cpp", "} else if (bytes[end - 1] == '\\r') {", "} else if (false) {"),
    ("src/shell/line_file.cpp", "while (end < bytes.size() && bytes[end] != '\\n' && bytes[end] != '\\r') ++end;", "while (end < bytes.size() && bytes[end] != '\\n') ++end;"),
    ("src/shell/line_file.h", "if (stop < end && *stop == '\\r' && stop + 1 < end && stop[1] == '\\n') ++stop;", "if (stop < end && *stop == '\\r' && stop + 1 < end) ++stop;"),
    ("src/shell/text_encoding.cpp", "if (b >= 0x80 && b < 0xA0 && kHighControls[b - 0x80] != 0)", "if (b >= 0x80 && b < 0x9F && kHighControls[b - 0x80] != 0)"),
    ("src/shell/text_encoding.cpp", "if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {", "if (c < 0x80 || (c > 0xA0 && c <= 0xFF)) {"),
    ("src/shell/safe_file.cpp", "if (IsReadOnly(target)) return FileError{target, \"is read-only\"};", ";"),
    ("src/shell/safe_file.cpp", "if (!error && ::fsync(fd) != 0) error = errno;", ";"),
    ("src/shell/safe_file.cpp", "if (IsReadOnly(file)) return FileError{file, \"is read-only\"};", ";"),
    ("src/shell/safe_file.cpp", "if (fs::is_directory(st)) return FileError{file, \"is a folder, not a file\"};", ";"),
    ("src/shell/install_layout.cpp", "if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');", ";"),
    ("src/shell/install_layout.cpp", "if (fs::exists(folder / level, ec)) {", "if (false) {"),
    ("src/shell/program_start.cpp", "if (name.size() < 4) return false;", "if (name.size() < 5) return false;"),
    ("src/shell/program_start.cpp", "return in.gcount() >= 2 && head[0] == '#' && head[1] == '!';", "return in.gcount() >= 2 && head[0] == '#';"),
    ("src/shell/file_status.cpp", "case ENOSPC: cause = \"the disk is full\"; break;", ""),
    ("src/shell/launcher_window.cpp", "if (actions_.quit) actions_.quit();", ";"),
    ("src/shell/launcher_window.cpp", "if (!FileExists(help)) {", "if (false) {"),
    # settings
    ("src/settings/emulator_ini.cpp", "bool OpensDefault(std::string_view header) { return header.starts_with(\"[default]\"); }", "bool OpensDefault(std::string_view header) { return header == \"[default]\"; }"),
    ("src/settings/emulator_ini.cpp", "if (sourceEnd - end >= 2 && end[0] == '\\r' && end[1] == '\\n') {", "if (sourceEnd - end >= 2 && end[0] == '\\r') {"),
    ("src/settings/emulator_ini.cpp", "} else if (line.starts_with(kSound) && settings.sound == SoundSetting::kUnset) {", "} else if (line.starts_with(kSound)) {"),
    ("src/settings/emulator_ini.cpp", "settings.sound = line.starts_with(\"sound=1\") ? SoundSetting::kOn : SoundSetting::kOff;", "settings.sound = line.starts_with(\"sound=0\") ? SoundSetting::kOff : SoundSetting::kOn;"),
    ("src/settings/emulator_ini.cpp", "if (name && !name->empty() && *name != \"default\") names.emplace_back(*name);", "if (name && *name != \"default\") names.emplace_back(*name);"),
    ("src/settings/emulator_ini.cpp", "if (game && game->title.empty()) game->title = game->name;", ";"),
    ("src/settings/emulator_ini.cpp", "if (on) return std::string(entry.size() >= 2 ? entry.substr(2) : std::string_view());", "if (on) return std::string(entry.size() >= 2 ? entry.substr(1) : std::string_view());"),
    ("src/settings/emulator_ini.cpp", "if (c == '\\n') return \"a line feed (LF)\";", ";"),
    ("src/settings/emulator_ini.cpp", "if (c == '\\0') return \"a NUL character\";", ";"),
    ("src/settings/emulator_ini.cpp", "if (where == kInside) where = kAfter;", ";"),
    ("src/settings/emulator_ini.cpp", "\"//viewport =\",  \"// viewport =\",", "\"//viewport =\",  \"// viewport=\","),
    ("src/settings/form5_window.cpp", "if (combo->currentIndex() < 0) return {};", "if (combo->currentIndex() <= 0) return {};"),
    ("src/settings/form5_window.cpp", "if (!read_ && text == folder.shown) continue;", ";"),
    ("src/settings/form5_window.cpp", "for (QLineEdit* box : {ui_->Text1, ui_->Text2}) box->setMaxLength(std::numeric_limits<int>::max());", ";"),
    ("src/settings/form5_window.cpp", "if (index >= 0) combo->setCurrentIndex(index);", "if (index > 0) combo->setCurrentIndex(index);"),
    ("src/settings/form5_window.cpp", "if (settings.sound == SoundSetting::kOff) ui_->Check2->setChecked(true);", ";"),
    ("src/settings/form5_window.cpp", "void Form5Window::Form5_Check2_Click() { ui_->Check1->setChecked(!ui_->Check2->isChecked()); }", "void Form5Window::Form5_Check2_Click() {}"),
    ("src/settings/form1_window.cpp", "constexpr size_t kShownLength = 400;", "constexpr size_t kShownLength = 1 << 30;"),
    ("src/settings/form1_window.cpp", "    case EntryState::kSwitchable:\n      ui_->Command1->setEnabled(true);", "    case EntryState::kSwitchable:\n      ui_->Command2->setEnabled(true);"),
    ("src/settings/form1_window.cpp", "  ui_->Label3->setText(Shown(game->title));", ""),
    ("src/settings/folder_picker_window.cpp", "if (!OpenFolder(box ? box->text() : QString())) FallBack();", "OpenFolder(box ? box->text() : QString());"),
    ("src/settings/folder_picker_window.cpp", "    if (!folder.contains(QChar(c))) continue;", "    continue;"),
    ("src/settings/folder_picker_window.cpp", "    box->setText(CurrentFolder());", ""),
    # controllers
    ("src/controllers/gamepad_mapping.cpp", "if (chosen >= 1 && chosen <= kJoystickButtonCount) table[chosen - 1] = button.mask;", "if (chosen >= 1 && chosen < kJoystickButtonCount) table[chosen - 1] = button.mask;"),
    ("src/controllers/gamepad_mapping.cpp", "if (joystickButton <= 0 || joystickButton > kJoystickButtonCount) return kNoJoystickButton;", "if (joystickButton < 0 || joystickButton > kJoystickButtonCount) return kNoJoystickButton;"),
    ("src/controllers/gamepad_mapping.cpp", "    if (!choice) break;", "    if (!choice) continue;"),
    ("src/controllers/keyboard_mapping.cpp", "for (char c = 'A'; c <= 'Z'; ++c) n[i++] = c;", "for (char c = 'A'; c < 'Z'; ++c) n[i++] = c;"),
    ("src/controllers/keyboard_mapping.cpp", "if (k >= fields.size() || !IsKeyName(fields[k])) break;", "if (k >= fields.size()) break;"),
    ("src/controllers/controller_mode.cpp", "if (!line || line->empty()) return ControllerMode::Default;", "if (!line) return ControllerMode::Default;"),
    ("src/controllers/mapping_fields.cpp", "    start = end + 1;", "    start = end + 2;"),
    ("src/controllers/profile_writer.cpp", "    {0x402FD7, \"E0 01 00 00\"},", "    {0x402FD7, \"E0 02 00 00\"},"),
    ("src/controllers/profile_writer.cpp", "    {0x4435F4, \"CD CC 0C 3F\"},", "    {0x4435F4, \"CD CC 0C 3E\"},"),
    ("src/controllers/profile_writer.cpp", "    \"F6 C1 08 74 17 BA 40 00 00 00 66 09 15 84 26 58 \"", "    \"F6 C1 08 74 17 BA 40 00 00 00 66 09 15 84 26 59 \""),
    ("src/controllers/profile_writer.cpp", "if (value > 255) return std::nullopt;", "if (value > 256) return std::nullopt;"),
    ("src/controllers/profile_writer.cpp", "out.push_back(static_cast<char>((target >> 16) & 0xFF));", "out.push_back(static_cast<char>((target >> 15) & 0xFF));"),
    ("src/controllers/profile_writer.cpp", "if (kind == ProfileKind::TwoPlayer) AppendAll(out, t.twoPlayer);", ";"),
    ("src/controllers/profile_writer.cpp", "if (!FileExists(file)) {", "if (false) {"),
    ("src/controllers/form8_window.cpp", "  ui_->Command1->setEnabled(false);", ""),
    ("src/controllers/form8_window.cpp", "    case ControllerMode::TwoGamepads: return ui_->Option4;", "    case ControllerMode::TwoGamepads: return ui_->Option2;"),
    ("src/controllers/form4_window.cpp", "  for (size_t k = 0; k < combos_.size(); ++k) combos_[k]->setCurrentText(QString(QLatin1Char(mapping.keys[k])));", ""),
    ("src/controllers/form2_window.cpp", "  for (size_t k = 0; k < combos_.size(); ++k) combos_[k]->setCurrentIndex(mapping.buttons[k]);", ""),
    ("src/controllers/joystick_sdl.cpp", "    g_sdl.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, \"1\");", ""),
    ("src/controllers/joystick_sdl.cpp", "  for (int i = 0; i < count && i < 32; ++i) {", "  for (int i = 1; i < count && i < 32; ++i) {"),
    # video
    ("src/video/video_choice.cpp", "if (!line || line->empty()) return WrapperCatalogue::kDefaultChoice;", "if (!line) return WrapperCatalogue::kDefaultChoice;"),
    ("src/video/video_choice.cpp", "const bool keepsCompanions = entry && !entry->companions.empty();", "const bool keepsCompanions = !entry || !entry->companions.empty();"),
    ("src/video/video_choice.cpp", "    if (source && variant == library) continue;", ""),
    ("src/video/video_choice.cpp", "      steps.configIniDeleted = true;", ""),
    ("src/video/video_choice.cpp", "    if (Status readable = CheckReadable(*source); !readable) return readable;", ";"),
    ("src/video/wrapper_catalogue.cpp", "{2, \"Option2\", \"Boost Wrapper 166\",", "{2, \"Option2\", \"Boost Wrapper 16\","),
    ("src/video/principal_window.cpp", "    ReportInstallFailure(choice, installed.error(), done);\n    return;", "    ReportInstallFailure(choice, installed.error(), done);"),
    ("src/video/principal_window.cpp", "  if (done.openGlideIniDeleted) changed << QStringLiteral(\"OpenGLide.ini was deleted\");", ""),
    ("src/video/principal_window.cpp", "               ? QStringLiteral(\" The choice file still holds the earlier choice.\")", "               ? QStringLiteral(\" \")"),
    ("src/video/principal_window.cpp", "  return id > 0 ? VideoChoice(id) : std::nullopt;", "  return id > 1 ? VideoChoice(id) : std::nullopt;"),
    # ui
    ("src/ui/velox_dialog.cpp", "        if (button->isEnabled()) button->click();", ""),
    ("src/ui/messages.cpp", "  box->setTextFormat(Qt::PlainText);", ""),
    ("src/ui/messages.cpp", "    if (quoted.size() > kQuotedLength) {", "    if (false) {"),
    ("src/ui/messages.cpp", "  if (!message.unchanged.isEmpty()) text += QStringLiteral(\"\\n\\n\") + message.unchanged;", ""),
    ("src/ui/single_window.h", "    if (window_ && !window_->isVisible()) window_ = nullptr;", ""),
    ("src/app/default_actions.cpp", "  actions.showSettings = [] { Form5Window::Instance().Show(); };", "  actions.showSettings = [] { Form1Window::Instance().Show(); };"),
]

QT_ONLY = ("_window.", "src/ui/", "joystick_sdl")


def run(cmd, timeout):
    try:
        return subprocess.run(cmd, cwd=BUILD, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout, env={**__import__("os").environ, "QT_QPA_PLATFORM": "offscreen"}).returncode
    except subprocess.TimeoutExpired:
        return "timeout"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--only", default="")
    parser.add_argument("--timeout", type=int, default=240)
    args = parser.parse_args()
    chosen = [m for m in MUTATIONS if args.only in m[0]]
    killed, survived, invalid = 0, [], []
    for i, (file, old, new) in enumerate(chosen, 1):
        path = ROOT / file
        source = path.read_text()
        if old not in source:
            invalid.append((file, old, "text not found"))
            print(f"[{i}/{len(chosen)}] {file}: text not found", flush=True)
            continue
        binaries = [UI] if any(part in file for part in QT_ONLY) else [CORE, UI]
        started = time.time()
        try:
            path.write_text(source.replace(old, new, 1))
            if subprocess.run(["cmake", "--build", ".", "--target", *binaries], cwd=BUILD,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode != 0:
                invalid.append((file, old, "does not build"))
                verdict = "does not build"
            else:
                verdict = "survived"
                for binary in binaries:
                    code = run([f"tests/{binary}", "--gtest_fail_fast", "--gtest_brief=1"], args.timeout)
                    if code != 0:
                        verdict = f"killed by {binary} ({code})"
                        break
                if verdict == "survived":
                    survived.append((file, old, new))
                else:
                    killed += 1
        finally:
            path.write_text(source)
        print(f"[{i}/{len(chosen)}] {file}: {verdict} ({time.time() - started:.0f} s) :: {old.strip()[:70]}", flush=True)
    # Rebuild the restored tree so that the build matches the sources again.
    subprocess.run(["cmake", "--build", "."], cwd=BUILD, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    counted = killed + len(survived)
    print(f"\nkilled {killed} of {counted} ({100 * killed / max(counted, 1):.0f}%); not counted: {len(invalid)}")
    for file, old, new in survived:
        print(f"SURVIVED {file}: {old.strip()!r} -> {new.strip()!r}")
    for file, old, why in invalid:
        print(f"NOT COUNTED {file}: {old.strip()[:70]!r} ({why})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
