// Test driver that fails the 1st, 2nd, 3rd ... allocation of an operation in turn,
// transient and persistent, until a run injects nothing; checks for leaks after each.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "toolbox/host/memory.h"

namespace testing_support {

/// One run of a sweep: which allocation fails and how. The body calls Arm()
/// right before the operation under test and Disarm() right after it, so the
/// allocations of its setup and checks are never failed.
class FaultRun {
 public:
  FaultRun(int failAt, toolbox::host::FailureMode mode) : failAt_(failAt), mode_(mode) {}

  void Arm() {
    before_ = toolbox::host::InjectedFailures();
    toolbox::host::FailAllocation(failAt_, mode_);
    armed_ = true;
  }
  void Disarm() {
    toolbox::host::ClearAllocationFailures();
    if (armed_) fired_ = toolbox::host::InjectedFailures() != before_;
    armed_ = false;
  }
  /// True when an allocation was failed between Arm and Disarm.
  bool Fired() const { return fired_; }
  bool Persistent() const { return mode_ == toolbox::host::FailureMode::kPersistent; }

 private:
  int failAt_;
  toolbox::host::FailureMode mode_;
  int before_ = 0;
  bool armed_ = false, fired_ = false;
};

/// Runs `body(FaultRun&)` for failAt = 1, 2, 3 ... in both modes until a run
/// fires no failure. After every run the live handle and pointer counts must be
/// back where they were before it. Returns the number of runs that fired.
template <class Body>
int SweepAllocationFailures(Body body, int maxRuns = 10000) {
  using toolbox::host::FailureMode;
  int fired = 0;
  for (FailureMode mode : {FailureMode::kTransient, FailureMode::kPersistent}) {
    for (int failAt = 1; failAt <= maxRuns; ++failAt) {
      FaultRun run(failAt, mode);
      SCOPED_TRACE(std::string(run.Persistent() ? "persistent" : "transient") + " failure of allocation " +
                   std::to_string(failAt));
      size_t handles = toolbox::host::LiveHandles(), pointers = toolbox::host::LivePointers();
      body(run);
      run.Disarm();
      EXPECT_EQ(handles, toolbox::host::LiveHandles()) << "handles leaked or freed twice";
      EXPECT_EQ(pointers, toolbox::host::LivePointers()) << "pointer blocks leaked or freed twice";
      if (!run.Fired()) break;
      ++fired;
      if (::testing::Test::HasFatalFailure()) return fired;
    }
  }
  return fired;
}

}  // namespace testing_support
