#pragma once
// The headless window model calls its procedures as plain functions.
#define USBDUP_CALLBACK
