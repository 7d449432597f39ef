#pragma once
// Readings of a device as it is now: the frame its thermal channel shows at
// this moment, the rules and masks of the preset the head stands at (and the
// whole frame's), in the device's temperature unit.
//
// A device with measurement switched off answers every reading with kFailed,
// as a radiometric camera whose measurement is off: it still shows a
// picture, but has no temperatures to give.
//
// Threading model: stateless; each call takes copies from the device's
// families under their own locks and measures a shared immutable frame.

#include "TMVNetSDK.h"
#include "measure/Measure.h"

#include <cstdint>
#include <vector>

namespace sim {

class Device;

int32_t frameReading(const Device &device, TMV_NET_TEMP_INFO *info);
// The pixel under a point of the 0..8191 picture space; kWrongParam outside.
int32_t pointReading(const Device &device, const TMV_NET_POINT &point, float *temp);
// The rules the key selects that apply now. Naming a rule that does not
// exist is kWrongParam; naming one of a preset the head is not at is
// kFailed, as the picture does not show what it was drawn on.
int32_t ruleReadings(const Device &device, const TMV_NET_TEMP_RULE_KEY &key, std::vector<TMV_NET_RULE_TEMP> *out);

}  // namespace sim
