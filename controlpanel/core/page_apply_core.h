// What a property page stores when the sheet applies it: nothing unless
// the user changed the page; otherwise its settings in order until one of
// them cannot be stored. The page then reports that one setting with its
// error and stays changed (the sheet stays open, and the next Apply tries
// again); the executive hears of an apply only when something was stored.
// Pure C++ (no windows.h).
#pragma once

namespace qvn {

class PageApply {
 public:
  // A control of the page changed.
  void MarkChanged() { changed_ = true; }
  bool Changed() const { return changed_; }

  // Starts the apply of a changed page.
  void Begin();
  // The outcome of storing one setting; false once any store of this
  // apply has failed or its input was refused (the page then stores
  // nothing more).
  bool Record(bool stored, const wchar_t* setting, unsigned long error);
  // The page's input is not valid: nothing of it is stored.
  void Refuse() { refused_ = true; }
  // Ends the apply: true when the sheet may accept it (nothing failed or
  // was refused); the page is then unchanged.
  bool End();

  // Whether the page may store more (nothing failed or was refused).
  bool Proceed() const { return !Failed() && !refused_; }
  bool Failed() const { return failedSetting_ != nullptr; }
  bool AnyStored() const { return anyStored_; }
  const wchar_t* FailedSetting() const { return failedSetting_; }
  unsigned long Error() const { return error_; }

 private:
  bool changed_ = false;
  bool anyStored_ = false;
  bool refused_ = false;
  const wchar_t* failedSetting_ = nullptr;
  unsigned long error_ = 0;
};

}  // namespace qvn
