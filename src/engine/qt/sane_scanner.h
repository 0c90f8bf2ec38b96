#pragma once
// Scanning one page through SANE, without any user interface.
#include <functional>
#include <string>
#include <vector>

#include "engine/core/error.h"
#include "engine/core/picture.h"

namespace zelmar::qt {

struct ScannerInfo {
  std::string name;   // what sane_open takes
  std::string label;  // vendor and model, for people
};

enum class ScanMode { DeviceDefault, Color, Gray, BlackAndWhite };

struct ScanSettings {
  std::string device;
  ScanMode mode = ScanMode::DeviceDefault;
  int dpi = 0;  // 0 keeps the device's resolution
};

// Called after every chunk with the part done (0..1, or -1 when the page
// length is unknown); returning false cancels the scan.
using ScanProgress = std::function<bool(double)>;

// SANE initialised for the life of the object. Devices and scans need one.
class SaneSession {
 public:
  SaneSession();
  ~SaneSession();
  SaneSession(const SaneSession&) = delete;
  SaneSession& operator=(const SaneSession&) = delete;

  // DeviceFailed when SANE could not start.
  const Status& status() const { return status_; }
  // The scanners SANE knows; NoDevice when there are none.
  Status devices(std::vector<ScannerInfo>& out) const;
  // Resolutions worth offering for a device, smallest first.
  Status resolutions(const std::string& device, std::vector<int>& out) const;
  // One page: 24-bit colour, 8-bit grey or 1-bit black and white.
  // Errors: NoDevice, DeviceFailed (with SANE's reason), Cancelled,
  // Unsupported for frame layouts we cannot read, and the size checks.
  Status scan(const ScanSettings& settings, const ScanProgress& progress, Picture& out) const;

 private:
  Status status_;
};

}  // namespace zelmar::qt
