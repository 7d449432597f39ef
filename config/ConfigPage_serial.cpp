// The serial transparent channel: hexadecimal bytes to the device's serial
// port and its reply back. One press of "Send" opens the port, sends, shows
// the reply and closes it; nothing is kept between presses.
#include "config/ConfigPage.h"
#include "ui_ConfigPage.h"

#include <cstring>

#include "common/DeviceCall.h"
#include "config/ConfigConvert.h"

namespace {

const int32_t kReplyCapacity = 256;
const int32_t kReplyTimeoutMs = 2000;

} // namespace

void ConfigPage::OnCmdSendBtnClicked()
{
    int32_t status = DeviceCall::run(TMV_NET_SetTransparentState, m_handle, 1);
    if (!Report(tr("SetTransparentState"), status))
        return;

    // The port is open from here on. Every way out closes it, before any
    // message so that it is not held while a box waits for the user; the
    // status of the close is not reported.
    QByteArray request;
    switch (ConfigConvert::ParseHexRequest(ui->sendCmdEdit->text(), &request)) {
    case ConfigConvert::HexRequest::Empty:
        DeviceCall::run(TMV_NET_SetTransparentState, m_handle, 0);
        return;
    case ConfigConvert::HexRequest::Invalid:
        DeviceCall::run(TMV_NET_SetTransparentState, m_handle, 0);
        Report(tr("Invalid input"), 1);
        return;
    case ConfigConvert::HexRequest::Ok:
        break;
    }

    uint8_t reply[kReplyCapacity];
    std::memset(reply, 0, sizeof reply);
    int32_t replyLength = 0;
    status = DeviceCall::run(TMV_NET_TransparentData, m_handle, reinterpret_cast<const uint8_t *>(request.constData()),
                                     int32_t(request.size()), reply, kReplyCapacity, &replyLength,
                                     kReplyTimeoutMs);
    if (status != 0) {
        DeviceCall::run(TMV_NET_SetTransparentState, m_handle, 0);
        Report(tr("SerialTransparent"), status);
        return;
    }
    // A length past the buffer is cut to it: nothing beyond is ever read.
    ui->recvCmdEdit->setText(ConfigConvert::ReplyText(reply, replyLength, kReplyCapacity));
    DeviceCall::run(TMV_NET_SetTransparentState, m_handle, 0);
}
