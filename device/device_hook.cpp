#include "device/device_hook.h"

#include <cstring>

#include "app/program.h"

namespace usbdup {

namespace {
// The notice record is DEV_BROADCAST_HDR followed by the volume fields; read
// byte-wise so that no alignment is assumed about the sender's buffer.
uint32_t readField(intptr_t lParam, size_t offset) {
  uint32_t value = 0;
  std::memcpy(&value, reinterpret_cast<const unsigned char*>(lParam) + offset, sizeof value);
  return value;
}
}  // namespace

VolumeNotice decodeVolumeNotice(uint32_t message, uintptr_t wParam, intptr_t lParam, DriveMask& mask) {
  if (message != kWmDeviceChange) return VolumeNotice::none;
  if (wParam != kDbtDeviceArrival && wParam != kDbtDeviceRemoveComplete) return VolumeNotice::none;
  // A notice without its record carries no device type: nothing to decode.
  if (lParam == 0) return VolumeNotice::none;
  if (readField(lParam, 4) != kDbtDevtypVolume) return VolumeNotice::none;
  mask = readField(lParam, 12);
  return wParam == kDbtDeviceArrival ? VolumeNotice::arrival : VolumeNotice::removal;
}

WindowProc installDeviceHook(WindowHandle window, DriveHandler onArrival, DriveHandler onRemoval) {
  DeviceHook& hook = deviceHook();
  hook.window = window;
  hook.onArrival = onArrival;
  hook.onRemoval = onRemoval;
  hook.previousProc = replaceWindowProc(window, deviceWindowProc);
  return hook.previousProc;
}

void removeDeviceHook() {
  DeviceHook& hook = deviceHook();
  // When the hook never got in, putting "nothing" back would break the window.
  if (hook.previousProc == nullptr) return;
  replaceWindowProc(hook.window, hook.previousProc);
  hook.previousProc = nullptr;
}

intptr_t USBDUP_CALLBACK deviceWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  // Copy what is needed first: a handler may run a census that processes
  // messages, and the hook may be removed meanwhile.
  const DeviceHook hook = deviceHook();
  DriveMask mask = 0;
  switch (decodeVolumeNotice(message, wParam, lParam, mask)) {
    case VolumeNotice::arrival:
      if (hook.onArrival) hook.onArrival(mask);
      break;
    case VolumeNotice::removal:
      if (hook.onRemoval) hook.onRemoval(mask);
      break;
    case VolumeNotice::none:
      break;
  }
  if (hook.previousProc == nullptr) return 0;
  return callWindowProc(hook.previousProc, window, message, wParam, lParam);
}

}  // namespace usbdup
