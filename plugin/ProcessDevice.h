// The one device the exports hand out per process.
#pragma once

class CDV1394;

namespace dv1394 {

// Called by the device's destructor: when `device` is the one the exports handed out,
// the next GetDIODevice makes a new one instead of returning a dangling pointer.
void ForgetProcessDevice(const CDV1394* device);

}  // namespace dv1394
