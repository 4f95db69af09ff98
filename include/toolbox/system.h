// System services: debugger messages, the beep, the system-facts table, ticks.
#pragma once

#include "toolbox/types.h"

enum : OSErr {
  gestaltUndefSelectorErr = -5551,
};

/// Gestalt selector for the system version (BCD, for example 0x1049).
constexpr OSType gestaltSystemVersion = FOUR_CHAR_CODE("sysv");

extern "C" {

/// Sends a length-prefixed message to the debugger: here it is appended to the
/// journal as kind "debug" with the string's characters as the text (a null
/// string gives an empty text).
TOOLBOX_EXPORT void DebugStr(ConstStr255Param debuggerMsg);
/// Sounds the alert sound: a journal entry of kind "beep" whose text is the
/// duration in ticks, in decimal.
TOOLBOX_EXPORT void SysBeep(SInt16 duration);
/// Answers a fact about the system: noErr and *response for a known selector,
/// gestaltUndefSelectorErr (response untouched) otherwise; paramErr for a null
/// response. Known by default: 'sysv' = 0x1049; hosts change the table.
TOOLBOX_EXPORT OSErr Gestalt(OSType selector, SInt32* response);
/// Sixtieths of a second since the toolbox started (or the host's fixed value).
TOOLBOX_EXPORT UInt32 TickCount(void);

}  // extern "C"
