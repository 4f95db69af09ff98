// Control service: finding, reading and writing a window's controls, their data
// tags, reference values, keyboard focus, callback procedures and image wells.
#pragma once

#include <cstdint>

#include "toolbox/quickdraw.h"
#include "toolbox/types.h"
#include "toolbox/windows_fwd.h"

typedef SInt16 ControlPartCode;
typedef SInt16 ControlFocusPart;
typedef SInt16 ControlKeyFilterResult;
typedef UInt16 EventModifiers;
typedef SInt16 ControlContentType;
/// A control's reference value. Wide enough for an address: presentations
/// store pointers to their records here.
typedef intptr_t SRefCon;

/// The key by which a control is found in its window.
struct ControlID {
  OSType signature;
  SInt32 id;
};

/// What a control is: signature 'appl' and a kind such as 'cbox'.
struct ControlKind {
  OSType signature;
  OSType kind;
};

/// Selection of an edit-text control (tag 'sele').
struct ControlEditTextSelectionRec {
  SInt16 selStart;
  SInt16 selEnd;
};

/// Font style record of tag 'font' (24 bytes).
struct ControlFontStyleRec {
  SInt16 flags;
  SInt16 font;
  SInt16 size;
  SInt16 style;
  SInt16 mode;
  SInt16 just;
  RGBColor foreColor;
  RGBColor backColor;
};

/// Content of an image well: a 'PICT' resource id (kControlContentPictRes) or a
/// picture handle (kControlContentPictHandle).
struct ControlButtonContentInfo {
  ControlContentType contentType;
  union {
    SInt16 resID;
    PicHandle picture;
    Handle iconSuite;
  } u;
};
typedef ControlButtonContentInfo* ControlButtonContentInfoPtr;
typedef ControlButtonContentInfo ControlImageContentInfo;

typedef ControlKeyFilterResult (*ControlKeyFilterProcPtr)(ControlRef control, SInt16* keyCode,
                                                          SInt16* charCode,
                                                          EventModifiers* modifiers);
typedef void (*ControlActionProcPtr)(ControlRef control, ControlPartCode part);
typedef void (*ControlUserPaneDrawProcPtr)(ControlRef control, SInt16 part);

/// Procedure handles: made by New...UPP, released by Dispose...UPP. The host
/// face counts live ones (toolbox::host::LiveProcedureHandles).
typedef struct OpaqueControlKeyFilterUPP* ControlKeyFilterUPP;
typedef struct OpaqueControlActionUPP* ControlActionUPP;
typedef struct OpaqueControlUserPaneDrawUPP* ControlUserPaneDrawUPP;

/// Control kinds (signature 'appl').
enum : OSType {
  kControlKindSignatureApple = FOUR_CHAR_CODE("appl"),
  kControlKindCheckBox = FOUR_CHAR_CODE("cbox"),
  kControlKindRadioButton = FOUR_CHAR_CODE("rdio"),
  kControlKindPopupButton = FOUR_CHAR_CODE("popb"),
  kControlKindEditText = FOUR_CHAR_CODE("etxt"),
  kControlKindEditUnicodeText = FOUR_CHAR_CODE("eutx"),
  kControlKindCustom = FOUR_CHAR_CODE("cdef"),
  kControlKindLittleArrows = FOUR_CHAR_CODE("larr"),
  kControlKindBevelButton = FOUR_CHAR_CODE("bevl"),
  kControlKindSlider = FOUR_CHAR_CODE("sldr"),
  kControlKindRadioGroup = FOUR_CHAR_CODE("rgrp"),
  kControlKindStaticText = FOUR_CHAR_CODE("stxt"),
  kControlKindUserPane = FOUR_CHAR_CODE("upan"),
  kControlKindImageWell = FOUR_CHAR_CODE("well"),
  kControlKindPushButton = FOUR_CHAR_CODE("push"),
  kControlKindRoot = FOUR_CHAR_CODE("root"),
};

/// Data tags.
enum : ResType {
  kControlEditTextTextTag = FOUR_CHAR_CODE("text"),
  kControlStaticTextTextTag = FOUR_CHAR_CODE("text"),
  kControlEditTextSelectionTag = FOUR_CHAR_CODE("sele"),
  kControlFontStyleTag = FOUR_CHAR_CODE("font"),
  kControlEditTextKeyFilterTag = FOUR_CHAR_CODE("fltr"),
  kControlKeyFilterTag = FOUR_CHAR_CODE("fltr"),
  kControlUserPaneDrawProcTag = FOUR_CHAR_CODE("draw"),
  kControlPopupButtonMenuHandleTag = FOUR_CHAR_CODE("mhan"),
  kControlPopupButtonMenuRefTag = FOUR_CHAR_CODE("mhan"),
};

enum : SInt16 {
  kControlNoPart = 0,
  kControlEntireControl = 0,
  kControlLabelPart = 1,
  kControlUpButtonPart = 20,
  kControlDownButtonPart = 21,
  kControlIndicatorPart = 129,
  kControlInactivePart = 255,
  kControlFocusNoPart = 0,
  kControlFocusNextPart = -1,
  kControlFocusPrevPart = -2,
  kControlKeyFilterBlockKey = 0,
  kControlKeyFilterPassKey = 1,
  kControlCheckBoxUncheckedValue = 0,
  kControlCheckBoxCheckedValue = 1,
  kControlCheckBoxMixedValue = 2,
  kControlContentTextOnly = 0,
  kControlNoContent = 0,
  kControlContentPictRes = 3,
  kControlContentPictHandle = 131,
};

enum : SInt16 {
  kControlUseFontMask = 0x0001,
  kControlUseSizeMask = 0x0004,
  kControlUseJustMask = 0x0040,
  kControlAddFontSizeMask = 0x0100,
  teFlushDefault = 0,
  teCenter = 1,
  teFlushRight = -1,
  teFlushLeft = -2,
};

enum : UInt16 { cmdKey = 0x0100, shiftKey = 0x0200, optionKey = 0x0800, controlKey = 0x1000 };

enum : OSErr {
  errMessageNotSupported = -30580,
  errDataNotSupported = -30581,
  errControlDoesntSupportFocus = -30582,
  errCouldntSetFocus = -30585,
  errNoRootControl = -30586,
  errInvalidPartCode = -30588,
  errControlIsNotEmbedder = -30590,
  errDataSizeMismatch = -30591,
  errControlHiddenOrDisabled = -30592,
  errItemNotControl = -30596,
  controlPropertyNotFoundErr = -5603,
};

extern "C" {

// ------------------------------------------------------------------- finding

/// The control of `window` whose ID equals `id` (signature and number), searched
/// depth-first in embedding order, into *outControl. errUnknownControl and null
/// when none has it; paramErr for null arguments; errInvalidWindowRef (-5600) for
/// an unknown window.
TOOLBOX_EXPORT OSStatus GetControlByID(WindowRef window, const ControlID* id,
                                       ControlRef* outControl);
TOOLBOX_EXPORT OSStatus GetControlID(ControlRef control, ControlID* outID);
TOOLBOX_EXPORT OSStatus SetControlID(ControlRef control, const ControlID* id);
/// Signature 'appl' and the control's kind. errUnknownControl for null/unknown.
TOOLBOX_EXPORT OSStatus GetControlKind(ControlRef control, ControlKind* outKind);
/// The control's rectangle in window coordinates; `bounds` is returned. An
/// unknown control gives an empty rectangle.
TOOLBOX_EXPORT Rect* GetControlBounds(ControlRef control, Rect* bounds);
TOOLBOX_EXPORT void SetControlBounds(ControlRef control, const Rect* bounds);
/// Embedded controls: the count (0 for controls that embed none), the one at a
/// 1-based index (paramErr and null for an index outside 1..count), and the
/// embedding parent (errUnknownControl and null for the root).
TOOLBOX_EXPORT OSErr CountSubControls(ControlRef control, UInt16* outCount);
TOOLBOX_EXPORT OSErr GetIndexedSubControl(ControlRef control, UInt16 index,
                                          ControlRef* outSubControl);
TOOLBOX_EXPORT OSErr GetSuperControl(ControlRef control, ControlRef* outParent);
TOOLBOX_EXPORT OSErr GetRootControl(WindowRef window, ControlRef* outControl);
/// The window the control belongs to; null for unknown controls.
TOOLBOX_EXPORT WindowRef GetControlOwner(ControlRef control);

// -------------------------------------------------------------------- values

/// Values and limits are kept as 32-bit numbers. The 16-bit calls give the
/// low 16 bits read as signed and take 16-bit numbers. Setting a value clamps it
/// into minimum..maximum; setting a limit clamps the value and raises (lowers)
/// the other limit when they would cross. Changes show at the next drawing
/// (Draw1Control, DrawControls, or the host's render). Radio groups keep their
/// buttons' values in step (value k = the k-th button on, 0 none); a popup
/// button's range becomes 1..entries when its menu is set.
TOOLBOX_EXPORT SInt16 GetControlValue(ControlRef control);
TOOLBOX_EXPORT void SetControlValue(ControlRef control, SInt16 value);
TOOLBOX_EXPORT SInt16 GetControlMinimum(ControlRef control);
TOOLBOX_EXPORT void SetControlMinimum(ControlRef control, SInt16 minimum);
TOOLBOX_EXPORT SInt16 GetControlMaximum(ControlRef control);
TOOLBOX_EXPORT void SetControlMaximum(ControlRef control, SInt16 maximum);
TOOLBOX_EXPORT SInt32 GetControl32BitValue(ControlRef control);
TOOLBOX_EXPORT void SetControl32BitValue(ControlRef control, SInt32 value);
TOOLBOX_EXPORT SInt32 GetControl32BitMinimum(ControlRef control);
TOOLBOX_EXPORT void SetControl32BitMinimum(ControlRef control, SInt32 minimum);
TOOLBOX_EXPORT SInt32 GetControl32BitMaximum(ControlRef control);
TOOLBOX_EXPORT void SetControl32BitMaximum(ControlRef control, SInt32 maximum);

/// The control's reference value (0 until set); 0 for null or unknown
/// controls, which SetControlReference ignores. Setting draws nothing.
TOOLBOX_EXPORT SRefCon GetControlReference(ControlRef control);
TOOLBOX_EXPORT void SetControlReference(ControlRef control, SRefCon data);

/// Title as a length-prefixed string (at most 255 bytes) into a 256-byte buffer;
/// an unknown control gives the empty string.
TOOLBOX_EXPORT void GetControlTitle(ControlRef control, Str255 title);
TOOLBOX_EXPORT void SetControlTitle(ControlRef control, ConstStr255Param title);

// ------------------------------------------------------- visibility and state

/// Shows (and draws) or hides the control; embedded controls follow. Hiding
/// invalidates the control's rectangle (journal "inval") and drops the
/// keyboard focus if it was inside.
TOOLBOX_EXPORT void ShowControl(ControlRef control);
TOOLBOX_EXPORT void HideControl(ControlRef control);
/// Visible itself and every embedding parent visible.
TOOLBOX_EXPORT Boolean IsControlVisible(ControlRef control);
TOOLBOX_EXPORT OSErr SetControlVisibility(ControlRef control, Boolean visible, Boolean draw);
/// Activates or deactivates the control and its embedded controls; inactive
/// controls are drawn dimmed and take no clicks or keys.
TOOLBOX_EXPORT OSErr ActivateControl(ControlRef control);
TOOLBOX_EXPORT OSErr DeactivateControl(ControlRef control);
/// Active itself and every parent active.
TOOLBOX_EXPORT Boolean IsControlActive(ControlRef control);
/// Highlights a part: 0 normal, 255 (kControlInactivePart) dimmed, else that
/// part pressed.
TOOLBOX_EXPORT void HiliteControl(ControlRef control, ControlPartCode part);
TOOLBOX_EXPORT ControlPartCode GetControlHilite(ControlRef control);
/// True when the control is drawn dimmed: inactive, or hilite 255.
TOOLBOX_EXPORT Boolean IsControlEnabled(ControlRef control);
/// Draws the control (and its embedded controls) into its window when visible,
/// user panes through their draw procedure; records "draw" in the journal with
/// "<kind> <signature>/<id>" whether or not it is visible. Nothing for null.
TOOLBOX_EXPORT void Draw1Control(ControlRef control);
/// Draws every control of the window after erasing it to its background.
TOOLBOX_EXPORT void DrawControls(WindowRef window);

// ----------------------------------------------------------------- data tags

/// Writes tag data. Tags by kind: 'text' (edit and static text, bytes without
/// length), 'sele' (edit text, ControlEditTextSelectionRec, clamped to the
/// text), 'font' (every kind, ControlFontStyleRec), 'fltr' (edit text, a
/// ControlKeyFilterUPP), 'draw' (user panes, a ControlUserPaneDrawUPP), 'mhan'
/// (popup buttons, a MenuRef; the popup takes it over). For the procedure and
/// menu tags `data` points at the handle and `size` is 4 or the size of a
/// pointer; the full pointer is read either way. Result: noErr;
/// errUnknownControl; errDataNotSupported for a tag the kind lacks;
/// errDataSizeMismatch for a wrong size of a fixed record; paramErr for null data
/// with a non-zero size.
TOOLBOX_EXPORT OSErr SetControlData(ControlRef control, ControlPartCode part, ResType tag,
                                    Size size, const void* data);
/// Reads tag data into `buffer` (at most `bufferSize` bytes; text is cut, fixed
/// records need their full size or errDataSizeMismatch). *actualSize, when given,
/// receives the full size of the data. Procedure and menu tags write a whole
/// pointer and need bufferSize equal to the pointer size (8 here).
TOOLBOX_EXPORT OSErr GetControlData(ControlRef control, ControlPartCode part, ResType tag,
                                    Size bufferSize, void* buffer, Size* actualSize);
TOOLBOX_EXPORT OSErr GetControlDataSize(ControlRef control, ControlPartCode part, ResType tag,
                                        Size* size);

/// Installs the action procedure that tracking calls (slider drags, little
/// arrows held); null removes it. The control does not own it.
TOOLBOX_EXPORT void SetControlAction(ControlRef control, ControlActionUPP action);
TOOLBOX_EXPORT ControlActionUPP GetControlAction(ControlRef control);

/// The popup button's menu, or null (also for other kinds and unknown controls).
TOOLBOX_EXPORT MenuRef GetControlPopupMenuHandle(ControlRef control);
/// Gives the popup a new menu (freeing the former one; null or an invalid menu
/// leaves it without) and sets its range to 1..entries. Ignored for other kinds.
TOOLBOX_EXPORT void SetControlPopupMenuHandle(ControlRef control, MenuRef menu);

// -------------------------------------------------------------- image wells

/// The image well's content. errDataNotSupported for other kinds,
/// errUnknownControl for null/unknown, paramErr for a null record.
TOOLBOX_EXPORT OSErr GetImageWellContentInfo(ControlRef control, ControlButtonContentInfo* info);
/// Replaces the content; redraws when drawing is on. Same errors.
TOOLBOX_EXPORT OSErr SetImageWellContentInfo(ControlRef control,
                                             ControlButtonContentInfo* info);

// ------------------------------------------------------------ keyboard focus

/// Focuses an edit-text control: part -1 or -2 (or any non-zero part) focuses it
/// and selects all its text; part 0 clears the window's focus. errUnknownControl,
/// errControlDoesntSupportFocus for kinds other than edit text,
/// errControlHiddenOrDisabled when it is hidden or inactive.
TOOLBOX_EXPORT OSErr SetKeyboardFocus(WindowRef window, ControlRef control,
                                      ControlFocusPart part);
/// The focused control, or null.
TOOLBOX_EXPORT OSErr GetKeyboardFocus(WindowRef window, ControlRef* outControl);
TOOLBOX_EXPORT OSErr ClearKeyboardFocus(WindowRef window);
/// Moves the focus to the next visible, active edit-text control (wrapping).
TOOLBOX_EXPORT OSErr AdvanceKeyboardFocus(WindowRef window);
TOOLBOX_EXPORT OSErr ReverseKeyboardFocus(WindowRef window);

// ------------------------------------------------------- procedure handles

TOOLBOX_EXPORT ControlKeyFilterUPP NewControlKeyFilterUPP(ControlKeyFilterProcPtr proc);
TOOLBOX_EXPORT void DisposeControlKeyFilterUPP(ControlKeyFilterUPP upp);
TOOLBOX_EXPORT ControlKeyFilterResult InvokeControlKeyFilterUPP(ControlRef control,
                                                                SInt16* keyCode,
                                                                SInt16* charCode,
                                                                EventModifiers* modifiers,
                                                                ControlKeyFilterUPP upp);
TOOLBOX_EXPORT ControlActionUPP NewControlActionUPP(ControlActionProcPtr proc);
TOOLBOX_EXPORT void DisposeControlActionUPP(ControlActionUPP upp);
TOOLBOX_EXPORT void InvokeControlActionUPP(ControlRef control, ControlPartCode part,
                                           ControlActionUPP upp);
TOOLBOX_EXPORT ControlUserPaneDrawUPP NewControlUserPaneDrawUPP(ControlUserPaneDrawProcPtr proc);
TOOLBOX_EXPORT void DisposeControlUserPaneDrawUPP(ControlUserPaneDrawUPP upp);
TOOLBOX_EXPORT void InvokeControlUserPaneDrawUPP(ControlRef control, SInt16 part,
                                                 ControlUserPaneDrawUPP upp);

}  // extern "C"
