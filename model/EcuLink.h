// The ECU link: the object that the link library hands out and that every part
// of the program uses to talk to the ECU. Shared, unchanged, by the program and
// the link library; plain C++ with no dependency beyond the standard headers.
//
// The operations are declared in the fixed order of the object's virtual table;
// a replacement library must keep that order and the results documented here.
#pragma once

#include <cstdint>

namespace ecu {

// Parameter code: the word that names a parameter to the link.
//   bits 0..7   ECU address
//   bit 8       array flag
//   bit 9       passed through unchanged (set on one parameter only)
//   bits 12..19 element count of an array
constexpr std::uint32_t kCodeAddressMask = 0xFFu;
constexpr std::uint32_t kCodeArrayFlag = 0x100u;
constexpr std::uint32_t kCodePassThroughFlag = 0x200u;
constexpr int kCodeCountShift = 12;
constexpr std::uint32_t kCodeCountMask = 0xFFu;

constexpr int CodeAddress(std::uint32_t code) {
  return static_cast<int>(code & kCodeAddressMask);
}
constexpr bool CodeIsArray(std::uint32_t code) {
  return (code & kCodeArrayFlag) != 0;
}
constexpr int CodeElementCount(std::uint32_t code) {
  return static_cast<int>((code >> kCodeCountShift) & kCodeCountMask);
}
constexpr std::uint32_t MakeArrayCode(int address, int count) {
  return (static_cast<std::uint32_t>(count) << kCodeCountShift) | kCodeArrayFlag |
         (static_cast<std::uint32_t>(address) & kCodeAddressMask);
}

// Identification record filled by ReadIdentification, in wire order.
struct Identification {
  std::uint8_t typeCode = 0;
  std::uint8_t variant = 0;
  std::uint8_t featureFlags = 0;
  std::uint8_t version = 0;
};
static_assert(sizeof(Identification) == 4, "the identification record is four bytes");

// Why the last attempt to reach the ECU failed, as _GetLastFailureKind tells
// it; the details it names come with it. The numbers are part of the
// library's exports and never change; a caller that meets a number it does
// not know shows the library's own text instead.
enum FailureKind : int {
  kFailureNone = 0,                // the last attempt did not fail
  kFailureOther = 1,               // only the text says why
  kFailureNoSuchPort = 2,          // port: no such device
  kFailurePortBusy = 3,            // port: in use by another program
  kFailureCannotOpen = 4,          // port, number (the system's error number)
  kFailureNoPermissionJoin = 5,    // port, group: the user must join the group
  kFailureNoPermissionSession = 6, // port, group: joined after this session began
  kFailureNoPermissionDevice = 7,  // port, group: the group may not open the device
  kFailureNotSerialPort = 8,       // port: not a terminal
  kFailureNoAnswer = 9,            // port: nothing answered
  kFailureGarbledAnswer = 10,      // port: bytes, but never a valid reply
  kFailurePortLost = 11,           // port: stopped working while in use
  kFailureNoPortFound = 12,        // a search found no serial port
  kFailureNoEcuOnPorts = 13,       // number: the ports a search tried
  kFailureSlowAnswer = 14,         // port: valid answers, but too late
};

// Size of one live block (kind 0 fast, kind 1 slow).
constexpr int kLiveBlockSize = 20;

// Where the link reports connection changes. The link calls it after a
// successful Connect (connected = true) and when it loses the ECU (false); never
// after a Disconnect the caller asked for. It may be called from a thread of the
// link's own, so an implementation must only hand the news over (post it).
class ConnectionSink {
 public:
  virtual void ConnectionChanged(bool connected) = 0;

 protected:
  ~ConnectionSink() = default;
};

// The ECU link object. Returned by _CreateClassInstance, given back to
// _DestroyClassInstance; never deleted by the program itself.
class EcuLink {
 public:
  // 100 = a USB adapter; otherwise the 0-based serial port number.
  virtual int GetPortInUse() = 0;
  // Start-up options; the program always passes 0 and then 4.
  virtual void SetStartOptionA(int option) = 0;
  virtual void SetStartOptionB(int option) = 0;
  // Where connection changes are reported from now on (nullptr: nowhere).
  virtual void AttachScreen(ConnectionSink* sink) = 0;
  // Nonzero while connected.
  virtual int IsConnected() = 0;
  // Second step of connecting: true = connected.
  virtual bool Connect() = 0;
  // Closes the connection.
  virtual void Disconnect() = 0;
  // Reads a parameter into destination: one 32-bit value, or one per element
  // of an array code. On failure the destination is left untouched.
  virtual bool ReadParameter(std::uint32_t code, std::int32_t* destination) = 0;
  // Fills buffer with live block kind 0 or 1; length is kLiveBlockSize.
  virtual bool ReadLiveBlock(int kind, std::uint8_t* buffer, int length) = 0;
  // true = the ECU took the value.
  virtual bool WriteParameter(std::uint32_t code, std::int32_t value) = 0;
  // true = the ECU took the element. Code 0, index 0, value 0 erases the ECU's
  // parameter memory back to its factory values.
  virtual bool WriteParameterElement(std::uint32_t code, int index, std::int32_t value) = 0;
  // true = record filled.
  virtual bool ReadIdentification(Identification* record) = 0;
  // First step of connecting: true = link opened.
  virtual bool OpenLink() = 0;
  // Drives the car's own fuel gauge output; second is always -1.
  virtual void SetIndicatorOutput(int value, int second) = 0;

 protected:
  ~EcuLink() = default;
};

}  // namespace ecu

// The library's two factory exports, resolved by name at run time.
extern "C" {
typedef ecu::EcuLink* (*CreateClassInstanceFn)();
typedef void (*DestroyClassInstanceFn)(ecu::EcuLink*);
// Optional: a library may lack it. Copies the reason the last attempt to reach
// the ECU failed (UTF-8, zero-terminated, cut to size - 1 bytes) and returns
// its whole length; 0 when the last attempt did not fail.
typedef int (*GetLastFailureTextFn)(char* buffer, int size);
// Optional: the same failure as a kind (ecu::FailureKind), returned, with its
// details: the port and the group copied as the text is (any buffer may be
// null), and number (when not null) set as the kind says, else 0.
typedef int (*GetLastFailureKindFn)(char* port, int portSize, char* group, int groupSize,
                                    int* number);
}

// Exported symbol names and the library's file name.
#define ECU_LINK_CREATE_SYMBOL "_CreateClassInstance"
#define ECU_LINK_DESTROY_SYMBOL "_DestroyClassInstance"
#define ECU_LINK_FAILURE_SYMBOL "_GetLastFailureText"
#define ECU_LINK_FAILURE_KIND_SYMBOL "_GetLastFailureKind"
#if defined(_WIN32)
#define ECU_LINK_LIBRARY_FILE "SerOxtDL.dll"
#else
#define ECU_LINK_LIBRARY_FILE "libSerOxtDL.so"
#endif
