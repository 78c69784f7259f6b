// The device watch: a window procedure of our own in front of the main
// window's, which picks volume arrival and removal notices out of the message
// stream and hands their drive masks to two handlers.
#pragma once
#include <cstdint>

#include "common/text.h"
#include "platform/window_hook.h"

namespace usbdup {

using DriveHandler = void (*)(DriveMask mask);

// One for the whole program; only the UI thread touches it.
struct DeviceHook {
  WindowHandle window = nullptr;
  DriveHandler onArrival = nullptr;
  DriveHandler onRemoval = nullptr;
  WindowProc previousProc = nullptr;
};

enum : uint32_t {
  kWmDeviceChange = 0x0219,
  kDbtDeviceArrival = 0x8000,
  kDbtDeviceRemoveComplete = 0x8004,
  kDbtDevtypVolume = 2,
};

// Hooks `window`; answers the procedure that was in place (null when the
// window's procedure could not be replaced).
WindowProc installDeviceHook(WindowHandle window, DriveHandler onArrival, DriveHandler onRemoval);
// Gives the window its previous procedure back.
void removeDeviceHook();
// The replacement procedure: decodes volume notices, then always passes the
// message on to the previous procedure and answers its result.
intptr_t USBDUP_CALLBACK deviceWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// What a message means to the device watch.
enum class VolumeNotice { none, arrival, removal };
// Decodes one message; `mask` is set for an arrival or removal of a volume.
VolumeNotice decodeVolumeNotice(uint32_t message, uintptr_t wParam, intptr_t lParam, DriveMask& mask);

}  // namespace usbdup
