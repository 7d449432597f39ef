#pragma once
// The statuses every part of the library answers with: the contract's codes,
// named once. Model code returns these, never bare numbers.

#include "TMVNetSDK.h"

#include <cstdint>

namespace sim {

enum Status : int32_t {
    kOk = TMV_NET_SUCCESS,
    kFailed = TMV_NET_FAILED,
    kNotSupported = TMV_NET_NOT_SUPPORTED,
    kWrongParam = TMV_NET_PARAM_WRONG,
    kTempCallbackOff = TMV_NET_TEMP_CALLBACK_OFF,
    kBlackList = TMV_NET_BLACK_LIST,
    kNoSuchUser = TMV_NET_NO_SUCH_USER,
    kWrongPassword = TMV_NET_PASSWORD_WRONG,
    kDeviceNotSupported = TMV_NET_DEVICE_NOT_SUPPORTED,
    kAccountLocked = TMV_NET_ACCOUNT_LOCKED,
    kUserLimit = TMV_NET_USER_LIMIT,
    kSystemException = TMV_NET_SYSTEM_EXCEPTION,
    kRuleLimit = TMV_NET_RULE_LIMIT,
};

}  // namespace sim
