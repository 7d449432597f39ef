#include "config/RecognitionRecord.h"

#include <cstdint>
#include <cstring>

namespace {

int32_t Int32Of(const QString &text)
{
    return text.toInt(nullptr, 10);
}

// Widened before the arithmetic: a device may send any int32, the least
// included.
int IndexOf(int64_t value, int count)
{
    return value >= 0 && value < count ? int(value) : -1;
}

} // namespace

TMV_NET_TARGET_RECOGNITION_CONFIG RecognitionRecordFromForm(const RecognitionForm &form)
{
    TMV_NET_TARGET_RECOGNITION_CONFIG record;
    std::memset(&record, 0, sizeof record);
    record.enable = form.enable ? 1 : 0;
    record.sensitivity = Int32Of(form.sensitivity);
    record.snapLinkage.enable = form.snap ? 1 : 0;
    record.snapLinkage.channels[0] = form.snapCh1 ? 1 : 0;
    record.snapLinkage.channels[1] = form.snapCh2 ? 1 : 0;
    record.snapLinkage.delay = int64_t(Int32Of(form.snapDelay));
    record.recordLinkage.enable = form.record ? 1 : 0;
    record.recordLinkage.channels[0] = form.recordCh1 ? 1 : 0;
    record.recordLinkage.channels[1] = form.recordCh2 ? 1 : 0;
    record.recordLinkage.delay = int64_t(Int32Of(form.recordDelay));
    record.trackEnable = form.track ? 1 : 0;
    record.trackParam1 = 1;
    record.trackParam2 = 1;
    record.trackTime = Int32Of(form.trackTime);
    record.trackMode = form.mode + 1;
    record.lostTime = Int32Of(form.lostTime);
    record.lrfEnable = form.lrf ? 1 : 0;
    record.targetType = form.targetType;
    return record;
}

RecognitionForm RecognitionFormFromRecord(const TMV_NET_TARGET_RECOGNITION_CONFIG &record, int typeCount,
                                          int modeCount)
{
    RecognitionForm form;
    form.enable = record.enable != 0;
    form.targetType = IndexOf(record.targetType, typeCount);
    form.sensitivity = QString::number(record.sensitivity);
    form.snap = record.snapLinkage.enable != 0;
    form.snapCh1 = record.snapLinkage.channels[0] != 0;
    form.snapCh2 = record.snapLinkage.channels[1] != 0;
    form.snapDelay = QString::number(qint64(record.snapLinkage.delay));
    form.record = record.recordLinkage.enable != 0;
    form.recordCh1 = record.recordLinkage.channels[0] != 0;
    form.recordCh2 = record.recordLinkage.channels[1] != 0;
    form.recordDelay = QString::number(qint64(record.recordLinkage.delay));
    form.track = record.trackEnable != 0;
    form.trackTime = QString::number(record.trackTime);
    form.lostTime = QString::number(record.lostTime);
    form.mode = IndexOf(int64_t(record.trackMode) - 1, modeCount);
    form.lrf = record.lrfEnable != 0;
    return form;
}
