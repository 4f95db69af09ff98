// Host face of the text utilities: the system script's number parts.
#pragma once

#include "toolbox/text.h"

namespace toolbox {
namespace host {

/// Replaces the system script's number-parts table (what GetIntlResourceTable
/// hands out), e.g. to use a decimal comma.
TOOLBOX_EXPORT void SetSystemNumberParts(const NumberParts& parts);
/// Removes the table: GetIntlResourceTable then answers a null handle.
TOOLBOX_EXPORT void RemoveSystemNumberParts();
/// Restores the default table: '.' decimal point, ',' thousands, ';' separator,
/// '-' and '+' signs, '%', 'E+'/'E-' exponents, '#' '0' '^' digit placers.
TOOLBOX_EXPORT void ResetSystemNumberParts();
/// The default table.
TOOLBOX_EXPORT NumberParts DefaultNumberParts();

}  // namespace host
}  // namespace toolbox
