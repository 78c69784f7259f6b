#pragma once
// Window procedures are __stdcall on 32-bit Windows (CALLBACK).
#define USBDUP_CALLBACK __stdcall
