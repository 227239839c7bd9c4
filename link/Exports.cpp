// The library's two exports, the only symbols it makes visible.
#include "EcuLink.h"
#include "SerialEcuLink.h"

extern "C" {

__attribute__((visibility("default"))) ecu::EcuLink* _CreateClassInstance() {
  return new (std::nothrow) serlink::SerialEcuLink();
}

__attribute__((visibility("default"))) void _DestroyClassInstance(ecu::EcuLink* link) {
  delete static_cast<serlink::SerialEcuLink*>(link);
}
}
