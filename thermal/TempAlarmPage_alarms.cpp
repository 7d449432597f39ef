// The alarm subscription from both tabs, the alarm callback with its
// pictures, and the rows of the alarm list.
#include "thermal/TempAlarmPage.h"
#include "ui_TempAlarmPage.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>

#include "common/DeviceCall.h"
#include "common/MsgBox.h"
#include "common/SdkMetaTypes.h"
#include "thermal/AlarmPage.h"

namespace {

// File prefix of each picture kind, in PictureKind order.
const char *const kPicturePrefixes[] = {
    "testPictureTemp_",  "testPictureFire_",    "testPictureTempDiff_",   "testPictureHighLight_",
    "testPictureRegion_", "testPictureLine_",   "testPictureObject_",     "testPictureDynamic_",
    "testPictureSmokeDetect_", "testPictureLocal_", "testPictureTrackState_", "testPictureTrackObject_",
    "testPictureLoginException_",
};

} // namespace

void TempAlarmPage::ConnectAlarmControls()
{
    static_assert(sizeof kPicturePrefixes / sizeof *kPicturePrefixes == kPictureKinds, "one prefix per kind");
    connect(ui->openAlarmCallbackBtn, SIGNAL(clicked()), this, SLOT(OnOpenAlarmCallbackBtnClicked()));
    connect(ui->openAtrAlarmCallbackBtn, SIGNAL(clicked()), this, SLOT(OnOpenAtrAlarmCallbackBtnClicked()));
    connect(ui->getAlarmDataBtn, SIGNAL(clicked()), this, SLOT(OnGetAlarmDataBtnClicked()));
    connect(ui->getAtrAlarmDataBtn, SIGNAL(clicked()), this, SLOT(OnGetAlarmDataBtnClicked()));

    // Automatic connections: emitted on the alarm thread, they queue.
    connect(this, &TempAlarmPage::GetTempAlarm, this, &TempAlarmPage::OnGetTempAlarm);
    connect(this, &TempAlarmPage::GetFireAlarm, this, &TempAlarmPage::OnGetFireAlarm);
    connect(this, &TempAlarmPage::GetTempDiffAlarm, this, &TempAlarmPage::OnGetTempDiffAlarm);
    connect(this, &TempAlarmPage::GetHighLightAlarm, this, &TempAlarmPage::OnGetHighLightAlarm);
    connect(this, &TempAlarmPage::GetRegionIntrusionAlarm, this, &TempAlarmPage::OnGetRegionIntrusionAlarm);
    connect(this, &TempAlarmPage::GetLineIntrusionAlarm, this, &TempAlarmPage::OnGetLineIntrusionAlarm);
    connect(this, &TempAlarmPage::GetObjectPulseAlarm, this, &TempAlarmPage::OnGetObjectPulseAlarm);
    connect(this, &TempAlarmPage::GetDynamicAlarm, this, &TempAlarmPage::OnGetDynamicAlarm);
    connect(this, &TempAlarmPage::GetSmokeDetectAlarm, this, &TempAlarmPage::OnGetSmokeDetectAlarm);
    connect(this, &TempAlarmPage::GetLocalAlarm, this, &TempAlarmPage::OnGetLocalAlarm);
    connect(this, &TempAlarmPage::GetTrackStateAlarm, this, &TempAlarmPage::OnGetTrackStateAlarm);
    connect(this, &TempAlarmPage::GetTrackObjectAlarm, this, &TempAlarmPage::OnGetTrackObjectAlarm);
    connect(this, &TempAlarmPage::GetLoginExceptionAlarm, this, &TempAlarmPage::OnGetLoginExceptionAlarm);
    connect(this, &TempAlarmPage::GetSdExceptionAlarm, this, &TempAlarmPage::OnGetSdExceptionAlarm);
}

void TempAlarmPage::OnOpenAlarmCallbackBtnClicked()
{
    ToggleSubscription(ui->openAlarmCallbackBtn, true);
}

void TempAlarmPage::OnOpenAtrAlarmCallbackBtnClicked()
{
    ToggleSubscription(ui->openAtrAlarmCallbackBtn, false);
}

void TempAlarmPage::ToggleSubscription(QPushButton *button, bool snapshotForm)
{
    if (button->text() == tr("Open")) {
        const int status =
            snapshotForm ? DeviceCall::run(TMV_NET_SubscribeAlarm_V2, m_handle, ui->alarmSnapEnableCheckBox->isChecked() ? 1 : 0,
                                                     &TempAlarmPage::AlarmCallback, this)
                         : DeviceCall::run(TMV_NET_SubscribeAlarm, m_handle, &TempAlarmPage::AlarmCallback, this);
        if (status != 0) {
            MsgBox::Instance()->ShowResult(tr("Subscribe alarm"), status);
            return;
        }
        m_alarmSubscribed = true;
        button->setText(tr("Close"));
    } else {
        DeviceCall::run(TMV_NET_UnsubscribeAlarm, m_handle);
        m_alarmSubscribed = false;
        button->setText(tr("Open"));
    }
}

void TempAlarmPage::OnGetAlarmDataBtnClicked()
{
    m_alarmPage->show();
}

template <class Record>
void TempAlarmPage::DispatchAlarm(int alarmType, const void *alarmInfo, void (TempAlarmPage::*signal)(int, Record),
                                  PictureKind pictures)
{
    Record record;
    std::memcpy(&record, alarmInfo, sizeof record);
    // The queued delivery takes its own copy of the record.
    emit(this->*signal)(alarmType, record);
    if constexpr (!std::is_same<Record, TMV_NET_SD_EXCEPTION_ALARM_INFO>::value) {
        if (pictures != kNoPictures)
            SavePictures(pictures, record.pictures);
    }
}

void TempAlarmPage::AlarmCallback(TMV_NET_HANDLE, int32_t alarmType, const void *alarmInfo, void *user)
{
    auto *page = static_cast<TempAlarmPage *>(user);
    if (!page || !alarmInfo)
        return;
    switch (alarmType) {
    case TMV_NET_ALARM_TEMP:
    case TMV_NET_ALARM_TEMP_RISE:
        page->DispatchAlarm(alarmType, alarmInfo, &TempAlarmPage::GetTempAlarm, kPictureTemp);
        break;
    case TMV_NET_ALARM_FIRE:
    case TMV_NET_ALARM_FIRE_PULSE:
        page->DispatchAlarm(alarmType, alarmInfo, &TempAlarmPage::GetFireAlarm, kPictureFire);
        break;
    case TMV_NET_ALARM_TEMP_DIFF:
        page->DispatchAlarm(alarmType, alarmInfo, &TempAlarmPage::GetTempDiffAlarm, kPictureTempDiff);
        break;
    case TMV_NET_ALARM_HIGH_LIGHT:
        page->DispatchAlarm(alarmType, alarmInfo, &TempAlarmPage::GetHighLightAlarm, kPictureHighLight);
        break;
    case TMV_NET_ALARM_REGION_INTRUSION:
        page->DispatchAlarm(alarmType, alarmInfo, &TempAlarmPage::GetRegionIntrusionAlarm, kPictureRegion);
        break;
    case TMV_NET_ALARM_LINE_INTRUSION:
        page->DispatchAlarm(alarmType, alarmInfo, &TempAlarmPage::GetLineIntrusionAlarm, kPictureLine);
        break;
    case TMV_NET_ALARM_OBJECT_PULSE:
        page->DispatchAlarm(alarmType, alarmInfo, &TempAlarmPage::GetObjectPulseAlarm, kPictureObject);
        break;
    case TMV_NET_ALARM_DYNAMIC:
        page->DispatchAlarm(alarmType, alarmInfo, &TempAlarmPage::GetDynamicAlarm, kPictureDynamic);
        break;
    case TMV_NET_ALARM_SMOKE_DETECT:
        page->DispatchAlarm(alarmType, alarmInfo, &TempAlarmPage::GetSmokeDetectAlarm, kPictureSmokeDetect);
        break;
    case TMV_NET_ALARM_LOCAL:
        page->DispatchAlarm(alarmType, alarmInfo, &TempAlarmPage::GetLocalAlarm, kPictureLocal);
        break;
    case TMV_NET_ALARM_TRACK_STATE:
        page->DispatchAlarm(alarmType, alarmInfo, &TempAlarmPage::GetTrackStateAlarm, kPictureTrackState);
        break;
    case TMV_NET_ALARM_TRACK_OBJECT:
        page->DispatchAlarm(alarmType, alarmInfo, &TempAlarmPage::GetTrackObjectAlarm, kPictureTrackObject);
        break;
    case TMV_NET_ALARM_LOGIN_EXCEPTION:
        page->DispatchAlarm(alarmType, alarmInfo, &TempAlarmPage::GetLoginExceptionAlarm, kPictureLoginException);
        break;
    case TMV_NET_ALARM_SD_EXCEPTION:
        page->DispatchAlarm(alarmType, alarmInfo, &TempAlarmPage::GetSdExceptionAlarm, kNoPictures);
        break;
    default:
        // Codes this client does not know are dropped.
        break;
    }
}

void TempAlarmPage::SavePictures(PictureKind kind, const TMV_NET_ALARM_PICTURE (&pictures)[2])
{
    std::atomic<bool> &flag = m_pictureFlags[size_t(kind)];
    // Claimed by one alarm at a time: a second alarm of the kind arriving
    // meanwhile saves nothing.
    if (!flag.exchange(false))
        return;
    bool saved = false;
    for (int index = 0; index < 2; ++index) {
        const TMV_NET_ALARM_PICTURE &picture = pictures[index];
        if (!picture.data || picture.size <= 0 || picture.size > kMaxAlarmPictureBytes)
            continue;
        const std::string name = kPicturePrefixes[kind] + std::to_string(index) + ".jpg";
        FILE *file = std::fopen(name.c_str(), "wb");
        if (!file)
            break;
        std::fwrite(picture.data, 1, size_t(picture.size), file);
        std::fclose(file);
        saved = true;
    }
    // Nothing saved: the next alarm of the kind tries again.
    if (!saved)
        flag.store(true);
}

void TempAlarmPage::OnGetTempAlarm(int alarmType, TMV_NET_TEMP_ALARM_INFO alarmInfo)
{
    m_alarmPage->AddAlarmRow(alarmType, alarmInfo);
}

void TempAlarmPage::OnGetFireAlarm(int alarmType, TMV_NET_FIRE_ALARM_INFO alarmInfo)
{
    m_alarmPage->AddAlarmRow(alarmType, alarmInfo);
}

void TempAlarmPage::OnGetTempDiffAlarm(int alarmType, TMV_NET_TEMP_DIFF_ALARM_INFO alarmInfo)
{
    m_alarmPage->AddAlarmRow(alarmType, alarmInfo);
}

void TempAlarmPage::OnGetHighLightAlarm(int alarmType, TMV_NET_HIGH_LIGHT_ALARM_INFO alarmInfo)
{
    m_alarmPage->AddAlarmRow(alarmType, alarmInfo);
}

void TempAlarmPage::OnGetRegionIntrusionAlarm(int alarmType, TMV_NET_REGION_INTRUSION_ALARM_INFO alarmInfo)
{
    m_alarmPage->AddAlarmRow(alarmType, alarmInfo);
}

void TempAlarmPage::OnGetLineIntrusionAlarm(int alarmType, TMV_NET_LINE_INTRUSION_ALARM_INFO alarmInfo)
{
    m_alarmPage->AddAlarmRow(alarmType, alarmInfo);
}

void TempAlarmPage::OnGetObjectPulseAlarm(int alarmType, TMV_NET_OBJECT_PULSE_ALARM_INFO alarmInfo)
{
    m_alarmPage->AddAlarmRow(alarmType, alarmInfo);
}

void TempAlarmPage::OnGetDynamicAlarm(int alarmType, TMV_NET_DYNAMIC_ALARM_INFO alarmInfo)
{
    m_alarmPage->AddAlarmRow(alarmType, alarmInfo);
}

void TempAlarmPage::OnGetSmokeDetectAlarm(int alarmType, TMV_NET_SMOKE_DETECT_ALARM_INFO alarmInfo)
{
    m_alarmPage->AddAlarmRow(alarmType, alarmInfo);
}

void TempAlarmPage::OnGetLocalAlarm(int alarmType, TMV_NET_LOCAL_ALARM_INFO alarmInfo)
{
    m_alarmPage->AddAlarmRow(alarmType, alarmInfo);
}

void TempAlarmPage::OnGetTrackStateAlarm(int alarmType, TMV_NET_TRACK_STATE_ALARM_INFO alarmInfo)
{
    m_alarmPage->AddAlarmRow(alarmType, alarmInfo);
}

void TempAlarmPage::OnGetTrackObjectAlarm(int alarmType, TMV_NET_TRACK_OBJECT_ALARM_INFO alarmInfo)
{
    m_alarmPage->AddAlarmRow(alarmType, alarmInfo);
}

void TempAlarmPage::OnGetLoginExceptionAlarm(int alarmType, TMV_NET_LOGIN_EXCEPTION_ALARM_INFO alarmInfo)
{
    m_alarmPage->AddAlarmRow(alarmType, alarmInfo);
}

void TempAlarmPage::OnGetSdExceptionAlarm(int alarmType, TMV_NET_SD_EXCEPTION_ALARM_INFO alarmInfo)
{
    m_alarmPage->AddAlarmRow(alarmType, alarmInfo);
}
