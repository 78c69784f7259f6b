#include <windows.h>

#include "platform/system.h"

namespace usbdup {

LocalTime localNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace usbdup
