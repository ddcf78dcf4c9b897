#include "transport/capture_backend.h"

namespace zv {

const char* open_failure_text(OpenFailure failure) {
  switch (failure) {
    case OpenFailure::None:
      return "open";
    case OpenFailure::NotListed:
      return "not listed";
    case OpenFailure::NoPermission:
      return "no permission to capture (run as root or grant CAP_NET_RAW)";
    case OpenFailure::NoSuchDevice:
      return "no such device";
    case OpenFailure::FilterRejected:
      return "the management filter could not be installed";
    case OpenFailure::Other:
      return "could not be opened";
  }
  return "could not be opened";
}

}  // namespace zv
