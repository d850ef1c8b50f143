#pragma once
// The progress bar steps once for a growing number of status messages: at the 1st, 3rd, 6th,
// 10th ... message, so that a long download does not fill the bar early.
namespace kt::bootstrap {

class ProgressThinning {
 public:
  // Counts one status message; true when the bar steps for it.
  bool Count() {
    if (count_ == threshold_) {
      ++threshold_;
      count_ = 1;
      return true;
    }
    ++count_;
    return false;
  }
  void Reset() { threshold_ = count_ = 1; }

 private:
  int threshold_ = 1;
  int count_ = 1;
};

}  // namespace kt::bootstrap
