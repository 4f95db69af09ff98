// The record that the tracking action procedures of sliders and little arrows
// find through their control's reference value, and the action cycle they run.
#include "Tracking.h"
#include "toolbox/resources.h"
#include "velkui/presentations.h"

namespace velkui {

namespace {

/// Makes a resource file current for its lifetime, then restores the former
/// one, also when the action cycle throws.
class UsingResFile {
 public:
  explicit UsingResFile(SInt16 file) : saved_(CurResFile()) { UseResFile(file); }
  ~UsingResFile() { UseResFile(saved_); }
  UsingResFile(const UsingResFile&) = delete;
  UsingResFile& operator=(const UsingResFile&) = delete;

 private:
  SInt16 saved_;
};

}  // namespace

void ControlActionRef::Capture(SInt16 itemNo) {
  dialogItemNo = SInt16(itemNo + UISystem::GetCurrentBaseNumber());
  resFile = CurResFile();
  system = UISystem::GetCurrentSystem();
}

void ControlActionRef::RunActionCycle() const {
  if (system == nullptr) return;
  UsingResFile using_(resFile);
  // ActionIPP may cancel the hit by writing 0 into it; the copy keeps that
  // from reaching the record, which serves every later step.
  SInt16 hit = dialogItemNo;
  system->ActionIPP(&hit);
  system->ThreadIPP(&hit);
}

const ControlActionRef* ControlActionRef::Of(ControlRef control) {
  return reinterpret_cast<const ControlActionRef*>(GetControlReference(control));
}

ControlActionUPP tracking::Install(ControlRef control, ControlActionRef& record, SInt16 itemNo,
                                   ControlActionProcPtr proc) {
  record.Capture(itemNo);
  SetControlReference(control, reinterpret_cast<SRefCon>(&record));
  ControlActionUPP action = NewControlActionUPP(proc);
  SetControlAction(control, action);
  return action;
}

}  // namespace velkui
