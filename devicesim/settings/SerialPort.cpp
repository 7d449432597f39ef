#include "settings/SerialPort.h"

namespace sim {

namespace modbus {

uint16_t crc16(const uint8_t *data, size_t size)
{
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

Bytes withCrc(Bytes pdu)
{
    const uint16_t crc = crc16(pdu);
    pdu.push_back(uint8_t(crc & 0xFF));
    pdu.push_back(uint8_t(crc >> 8));
    return pdu;
}

Frame parse(const Bytes &frame)
{
    Frame f;
    if (frame.size() < kMinFrame)
        return f;
    const size_t body = frame.size() - 2;
    const uint16_t sent = uint16_t(frame[body] | (frame[body + 1] << 8));
    if (crc16(frame.data(), body) != sent)
        return f;
    f.valid = true;
    f.address = frame[0];
    f.function = frame[1];
    f.data.assign(frame.begin() + 2, frame.begin() + long(body));
    return f;
}

Bytes exceptionReply(uint8_t address, uint8_t function, uint8_t code)
{
    return withCrc({address, uint8_t(function | 0x80), code});
}

}  // namespace modbus

namespace {

uint16_t word(const Bytes &data, size_t at)
{
    return uint16_t((data[at] << 8) | data[at + 1]);
}

}  // namespace

RegisterBank::RegisterBank()
{
    regs_[kEnclosureTemp] = 312;  // 31.2 degC: a camera housing in the sun
    regs_[kHumidity] = 418;
    regs_[kFanSpeed] = 0;
    regs_[kHeaterOn] = 0;
    regs_[kSupplyVoltage] = 240;
    regs_[kSupplyCurrent] = 0;
    regs_[kFanMode] = 0;
    regs_[kHeaterSetPoint] = 50;
    regs_[kFanSetPoint] = 350;
    regs_[kSlaveId] = modbus::kSlaveAddress;
    regs_[kBaudCode] = 3;
    regs_[kFirmware] = 0x0102;
    regs_[kAlarmFlags] = 0;
    regs_[kRunHours] = 1742;
    regs_[kSerialHigh] = 0x0013;
    regs_[kSerialLow] = 0x2A5F;
    update();
}

uint16_t RegisterBank::read(int reg) const
{
    return reg >= 0 && reg < kCount ? regs_[reg] : 0;
}

uint8_t RegisterBank::write(int reg, uint16_t value)
{
    const int16_t v = int16_t(value);
    switch (reg) {
    case kFanMode:
        if (value > 2)
            return modbus::kIllegalValue;
        break;
    case kHeaterSetPoint:
        if (v < -400 || v > 400)
            return modbus::kIllegalValue;
        break;
    case kFanSetPoint:
        if (v < 0 || v > 800)
            return modbus::kIllegalValue;
        break;
    default:
        return modbus::kIllegalAddress;  // measured or fixed: read-only
    }
    regs_[reg] = value;
    update();
    return 0;
}

void RegisterBank::update()
{
    const int16_t temp = int16_t(regs_[kEnclosureTemp]);
    const bool fan = regs_[kFanMode] == 1 || (regs_[kFanMode] == 0 && temp >= int16_t(regs_[kFanSetPoint]));
    regs_[kFanSpeed] = fan ? 2400 : 0;
    regs_[kHeaterOn] = temp < int16_t(regs_[kHeaterSetPoint]) ? 1 : 0;
    regs_[kSupplyCurrent] = uint16_t(180 + (fan ? 95 : 0) + (regs_[kHeaterOn] ? 1250 : 0));
    regs_[kAlarmFlags] = temp >= 700 ? 1 : 0;
}

Bytes answer(RegisterBank &bank, const Bytes &request)
{
    if (request.size() < modbus::kMinFrame)
        return request;  // too short for a frame: the loopback echoes it
    const modbus::Frame f = modbus::parse(request);
    if (!f.valid)
        return {};
    const bool broadcast = f.address == modbus::kBroadcast;
    if (!broadcast && f.address != modbus::kSlaveAddress)
        return request;  // no slave of that address: the loopback echoes it
    switch (f.function) {
    case modbus::kReadHolding: {
        if (broadcast)
            return {};  // nobody answers a broadcast read
        if (f.data.size() != 4)
            return modbus::exceptionReply(f.address, f.function, modbus::kIllegalValue);
        const int start = word(f.data, 0);
        const int count = word(f.data, 2);
        if (count < 1 || count > 125)
            return modbus::exceptionReply(f.address, f.function, modbus::kIllegalValue);
        if (start + count > RegisterBank::kCount)
            return modbus::exceptionReply(f.address, f.function, modbus::kIllegalAddress);
        Bytes reply{f.address, f.function, uint8_t(count * 2)};
        for (int r = start; r < start + count; ++r) {
            const uint16_t v = bank.read(r);
            reply.push_back(uint8_t(v >> 8));
            reply.push_back(uint8_t(v & 0xFF));
        }
        return modbus::withCrc(std::move(reply));
    }
    case modbus::kWriteSingle: {
        if (f.data.size() != 4)
            return broadcast ? Bytes{} : modbus::exceptionReply(f.address, f.function, modbus::kIllegalValue);
        const uint8_t code = bank.write(word(f.data, 0), word(f.data, 2));
        if (broadcast)
            return {};
        if (code)
            return modbus::exceptionReply(f.address, f.function, code);
        return request;  // a write is confirmed by echoing it
    }
    default:
        return broadcast ? Bytes{} : modbus::exceptionReply(f.address, f.function, modbus::kIllegalFunction);
    }
}

void SerialPort::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = false;
    bank_ = RegisterBank();
}

bool SerialPort::open() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return open_;
}

void SerialPort::setOpen(bool open)
{
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = open;
}

Bytes SerialPort::transfer(const Bytes &request)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return answer(bank_, request);
}

}  // namespace sim
