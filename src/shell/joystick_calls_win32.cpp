#ifdef _WIN32
#include <windows.h>
#include <mmsystem.h>

#include <cwchar>
#include <string>

#include "shell/joystick_calls.h"

namespace velox::platform {

static_assert(kJoyNoError == JOYERR_NOERROR && kJoyNoDriver == MMSYSERR_NODRIVER && kJoyUnplugged == JOYERR_UNPLUGGED);

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 0, '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring RegistryText(const std::wstring& key, const std::wstring& value) {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    wchar_t text[256];
    DWORD size = sizeof text;
    if (RegGetValueW(root, key.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS) {
      return text;
    }
  }
  return {};
}

// The driver's own name is mostly a generic one ("Microsoft PC-joystick
// driver"); the pad's maker is named where the joystick settings point to it.
std::wstring OemName(unsigned id, const std::wstring& driverKey) {
  const std::wstring settings = std::wstring(L"System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\") +
                                driverKey + L"\\CurrentJoystickSettings";
  const std::wstring oem = RegistryText(settings, L"Joystick" + std::to_wstring(id + 1) + L"OEMName");
  if (oem.empty()) return {};
  return RegistryText(L"System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\" + oem,
                      L"OEMName");
}

class SystemCalls final : public JoystickCalls {
 public:
  unsigned DeviceCount() override { return joyGetNumDevs(); }

  unsigned ReadButtons(unsigned id, std::uint32_t& buttons) override {
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNBUTTONS;
    const MMRESULT result = joyGetPosEx(id, &info);
    if (result == JOYERR_NOERROR) buttons = info.dwButtons;
    return result;
  }

  unsigned Name(unsigned id, std::string& name) override {
    JOYCAPSW caps{};
    const MMRESULT result = joyGetDevCapsW(id, &caps, sizeof caps);
    if (result != JOYERR_NOERROR) return result;
    std::wstring text = OemName(id, std::wstring(caps.szRegKey, wcsnlen(caps.szRegKey, MAXPNAMELEN)));
    if (text.empty()) text.assign(caps.szPname, wcsnlen(caps.szPname, MAXPNAMELEN));
    name = Utf8(text);
    return result;
  }
};

}  // namespace

JoystickCalls& SystemJoystickCalls() {
  static SystemCalls calls;
  return calls;
}

}  // namespace velox::platform
#endif  // _WIN32
