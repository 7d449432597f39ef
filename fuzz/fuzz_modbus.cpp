// The simulated enclosure controller's answer to any byte string on the
// serial bus: it must stay within the rules of settings/SerialPort.h.
#include "FuzzCheck.h"
#include "settings/SerialPort.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const sim::Bytes request(data, data + size);
    sim::RegisterBank bank;
    const sim::Bytes reply = sim::answer(bank, request);

    if (size < sim::modbus::kMinFrame) {
        require(reply == request);
        return 0;
    }
    const sim::modbus::Frame frame = sim::modbus::parse(request);
    if (!frame.valid) {
        require(reply.empty());
        return 0;
    }
    if (reply.empty() || reply == request)
        return 0;
    // Anything else is an answer of slave 1: a whole frame with its CRC.
    const sim::modbus::Frame answer = sim::modbus::parse(reply);
    require(answer.valid && answer.address == sim::modbus::kSlaveAddress);
    // Codes from 0x80 up are no functions; they get exception 01 like any
    // other unknown code.
    require((answer.function & 0x7F) == (frame.function & 0x7F));
    if (answer.function & 0x80)
        require(answer.data.size() == 1 && answer.data[0] >= 1 && answer.data[0] <= 3);
    else
        require(answer.data.size() >= 1 && answer.data.size() == size_t(answer.data[0]) + 1);
    // The bank keeps answering whatever a write did to it.
    require(sim::answer(bank, sim::modbus::withCrc({1, 3, 0, 0, 0, 16})).size() == 37);
    return 0;
}
