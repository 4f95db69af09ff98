// The toning engine as the tool uses it: validation, grey rows, RGB bands.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Settings.h"
#include "velkui/toning.h"

namespace monx {

/// The first field of `info` outside the engine's accepted values (the ranges
/// of velkui/toning.h), or nullptr when the whole record is accepted.
const ToningField* RefusedField(const MonxInfo& info);

/// Throws ToolError (usage) naming the option and its accepted values when a
/// field of `info` is refused. Callers check a record once, before toning.
void CheckRecord(const MonxInfo& info);

/// Tones rows with one record. Grey rows go through the three channel curves the
/// engine produces for a grey ramp (the engine maps each channel byte through its
/// own curve, so this gives exactly the engine's bytes); RGB rows go through the
/// engine itself. Safe to use from several threads at once.
class Toner {
 public:
  /// Takes a record that passed CheckRecord; throws ToolError when the engine fails.
  explicit Toner(const MonxInfo& info);

  const MonxInfo& info() const { return info_; }

  /// One grey row of `width` pixels into an RGB row.
  void ToneGrey(const std::uint8_t* grey, std::uint8_t* rgb, std::size_t width) const;

  /// `rows` packed RGB rows of `width` pixels from src into dst (separate buffers).
  void ToneRgb(const std::uint8_t* src, std::uint8_t* dst, int width, int rows) const;

 private:
  MonxInfo info_;
  std::uint8_t red_[256] = {};
  std::uint8_t green_[256] = {};
  std::uint8_t blue_[256] = {};
};

}  // namespace monx
