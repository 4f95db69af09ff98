// Opaque references to the toolbox's windows and dialogs, for headers that pass them around.
#pragma once

/// A window of the host toolbox; only the window service looks inside.
typedef struct OpaqueWindowPtr* WindowRef;
/// A dialog of the host toolbox; only the dialog service looks inside.
typedef struct OpaqueDialogPtr* DialogRef;
