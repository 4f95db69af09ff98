// The toning fields as command-line options, and the named presets.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "velkui/toning.h"

namespace monx {

/// A field of the toning record and a value for it.
using FieldValue = std::pair<SInt32 MonxInfo::*, int>;

/// One field of the toning record as the tool presents it.
struct ToningField {
  const char* option;     ///< long option without dashes ("colour-x")
  const char* alias;      ///< second spelling or nullptr ("color-x")
  char shortName;         ///< one-letter option or 0
  const char* accepted;   ///< accepted values as the user reads them
  const char* meaning;    ///< one line for --help
  SInt32 MonxInfo::*member;
  int min;                ///< smallest accepted value
  int max;                ///< largest accepted value
  int step;               ///< distance between accepted values
};

/// The nine fields in record order.
const std::vector<ToningField>& Fields();
/// The field whose option (either spelling) is `name`, or nullptr.
const ToningField* FindField(const std::string& name);

/// A named set of toning values.
struct Preset {
  const char* name;
  const char* description;
  MonxInfo info;
};

const std::vector<Preset>& Presets();
/// The preset called `name`, or nullptr.
const Preset* FindPreset(const std::string& name);

/// The record that leaves every colour byte as it is.
MonxInfo NeutralInfo();

/// "x 30  y 56  tone 160": the fields that differ from neutral, or "no change".
std::string DescribeChanges(const MonxInfo& info);

/// Every accepted value of a field when it has few (tone: 6, white shift: 2);
/// otherwise `steps` values spread evenly from min to max.
std::vector<int> SpreadOf(const ToningField& field, int steps);

}  // namespace monx
