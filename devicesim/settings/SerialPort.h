#pragma once
// The device's serial port as the transparent channel reaches it, and the
// peripheral wired to it: an enclosure controller answering Modbus RTU as
// slave 1.
//
// What a byte string sent over the channel gets back:
// - fewer than 4 bytes (shorter than the smallest RTU frame: address,
//   function, two CRC bytes): the same bytes, echoed by the port's loopback;
// - 4 bytes or more whose CRC does not match: nothing, as on a real bus a
//   corrupted frame is dropped by every slave;
// - a whole frame for another slave address: echoed by the loopback, as
//   nothing on the bus takes it up; one for the broadcast address 0: a
//   write is carried out, nothing is answered;
// - a frame for slave 1: the controller's answer. Function 3 reads holding
//   registers, function 6 writes one; any other function gets exception 01
//   (illegal function), an address outside the bank or a write to a
//   read-only register exception 02 (illegal data address), a count outside
//   1..125, a value the register does not take or a frame of the wrong
//   length for its function exception 03 (illegal data value).
// An empty answer is a silent bus: the call succeeds with no reply bytes.
//
// Threading model: the pure functions have no state. SerialPort is safe from
// any thread; mutex_ guards the open state and the register bank, so one
// request is answered against one consistent bank.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace sim {

using Bytes = std::vector<uint8_t>;

namespace modbus {

constexpr uint8_t kSlaveAddress = 1;
constexpr uint8_t kBroadcast = 0;
constexpr size_t kMinFrame = 4;

constexpr uint8_t kReadHolding = 3;
constexpr uint8_t kWriteSingle = 6;

constexpr uint8_t kIllegalFunction = 1;
constexpr uint8_t kIllegalAddress = 2;
constexpr uint8_t kIllegalValue = 3;

// CRC-16/MODBUS (polynomial 0xA001 reflected, initial 0xFFFF); the frame
// carries it low byte first.
uint16_t crc16(const uint8_t *data, size_t size);
inline uint16_t crc16(const Bytes &data) { return crc16(data.data(), data.size()); }

// `pdu` (address, function, data) with its CRC appended.
Bytes withCrc(Bytes pdu);

// A frame split into its parts; `valid` is false when it is too short or
// its CRC does not match.
struct Frame {
    bool valid = false;
    uint8_t address = 0;
    uint8_t function = 0;
    Bytes data;  // between the function and the CRC
};
Frame parse(const Bytes &frame);

Bytes exceptionReply(uint8_t address, uint8_t function, uint8_t code);

}  // namespace modbus

// The enclosure controller's holding registers.
class RegisterBank {
public:
    static constexpr int kCount = 16;
    enum Register : uint16_t {
        kEnclosureTemp = 0,   // 0.1 degC, signed
        kHumidity = 1,        // 0.1 %RH
        kFanSpeed = 2,        // rpm, follows the fan mode
        kHeaterOn = 3,        // 0/1, on below the heater set point
        kSupplyVoltage = 4,   // 0.1 V
        kSupplyCurrent = 5,   // mA
        kFanMode = 6,         // writable: 0 automatic, 1 on, 2 off
        kHeaterSetPoint = 7,  // writable: 0.1 degC, -400..400
        kFanSetPoint = 8,     // writable: 0.1 degC, 0..800
        kSlaveId = 9,         // the slave address
        kBaudCode = 10,       // 3 = 9600 baud
        kFirmware = 11,       // major << 8 | minor
        kAlarmFlags = 12,     // bit 0 over-temperature
        kRunHours = 13,
        kSerialHigh = 14,
        kSerialLow = 15,
    };

    RegisterBank();

    uint16_t read(int reg) const;
    // Exception code, 0 on success.
    uint8_t write(int reg, uint16_t value);

private:
    void update();  // the derived registers after a write
    uint16_t regs_[kCount];
};

// The answer of the bank to one byte string, by the rules above.
Bytes answer(RegisterBank &bank, const Bytes &request);

class SerialPort {
public:
    SerialPort() = default;

    void reset();

    bool open() const;
    void setOpen(bool open);

    // What the port hears back after sending `request` (see the rules above).
    Bytes transfer(const Bytes &request);

private:
    mutable std::mutex mutex_;  // protects the members below
    bool open_ = false;
    RegisterBank bank_;
};

}  // namespace sim
