// Dialog service, alert part: the four parameter texts and the four alert kinds.
#pragma once

#include "toolbox/types.h"

typedef SInt16 DialogItemIndex;

/// Filter procedure of a modal dialog; the host toolbox never calls it.
struct OpaqueModalFilterProcPtr;
typedef OpaqueModalFilterProcPtr* ModalFilterUPP;

/// Standard item numbers of an alert's buttons.
enum : DialogItemIndex {
  kAlertItemOK = 1,
  kAlertItemCancel = 2,
};

extern "C" {

/// Keeps four length-prefixed texts that replace ^0 ^1 ^2 ^3 in later alerts.
/// A null parameter sets that text to the empty string.
TOOLBOX_EXPORT void ParamText(ConstStr255Param param0, ConstStr255Param param1,
                              ConstStr255Param param2, ConstStr255Param param3);

/// Shows the alert with that resource id and returns the item the user chose:
/// item 1 (the default button) unless the host queued another answer. Each
/// call appends a journal entry of kind "alert": "<kind> <id>: <text>", kind
/// being "alert", "stop", "note" or "caution". The text is the 'ALRT'
/// resource's bytes with ^0..^3 replaced by the parameter texts; without such
/// a resource it is the four texts quoted and separated by ", ".
TOOLBOX_EXPORT DialogItemIndex Alert(SInt16 alertID, ModalFilterUPP modalFilter);
TOOLBOX_EXPORT DialogItemIndex StopAlert(SInt16 alertID, ModalFilterUPP modalFilter);
TOOLBOX_EXPORT DialogItemIndex NoteAlert(SInt16 alertID, ModalFilterUPP modalFilter);
TOOLBOX_EXPORT DialogItemIndex CautionAlert(SInt16 alertID, ModalFilterUPP modalFilter);

}  // extern "C"
