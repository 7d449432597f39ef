#ifndef RECOGNITIONRECORD_H
#define RECOGNITIONRECORD_H

#include <QString>

#include "TMVNetSDK.h"

// The "Intelligent" page's form as plain values, and its conversion to and
// from the device's target-recognition record.
struct RecognitionForm
{
    bool enable = false;
    int targetType = 0; // combo index, the value sent
    QString sensitivity;
    bool snap = false;
    bool snapCh1 = false;
    bool snapCh2 = false;
    QString snapDelay;
    bool record = false;
    bool recordCh1 = false;
    bool recordCh2 = false;
    QString recordDelay;
    bool track = false;
    QString trackTime;
    QString lostTime;
    int mode = 0; // combo index; the device counts modes from 1
    bool lrf = false;
};

// The record a set sends: zeroed, every field from the form, numbers parsed
// as base-10 int32 (text that does not parse, or is out of the int32 range,
// gives 0; the delays are widened from that), 1 in the two track parameters.
TMV_NET_TARGET_RECOGNITION_CONFIG RecognitionRecordFromForm(const RecognitionForm &form);

// What a get shows. A target type or mode the combo boxes (of `typeCount`
// and `modeCount` items) do not have gives index -1, no current item.
RecognitionForm RecognitionFormFromRecord(const TMV_NET_TARGET_RECOGNITION_CONFIG &record, int typeCount,
                                          int modeCount);

#endif // RECOGNITIONRECORD_H
