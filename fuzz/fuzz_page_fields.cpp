// Every number and text field the pages turn into records, and every record
// field they turn back into text. Records are heap blocks of exactly their
// size, so a write or read past a field's record is a report; a text field a
// conversion said it filled must keep its NUL inside the field.
#include "FuzzCheck.h"
#include "thermal/AlarmText.h"
#include "config/ConfigConvert.h"
#include "config/ConfigText.h"
#include "common/CopyField.h"
#include "common/CountClamp.h"
#include "config/PeripheralText.h"
#include "liveview/PictureSpace.h"
#include "ptz/PtzRecords.h"
#include "ptz/PtzText.h"
#include "config/RecognitionRecord.h"
#include "thermal/TempRuleText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringList>
#include <QVector>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// A typed text: UTF-8 bytes (invalid ones included), UTF-16 units, or a long
// run of one character.
QString TextOf(FuzzedDataProvider &input)
{
    switch (input.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
        return QString::fromUtf8(input.ConsumeRandomLengthString(600).c_str());
    case 1: {
        const std::string raw = input.ConsumeRandomLengthString(1200);
        QString text;
        for (size_t i = 0; i + 1 < raw.size(); i += 2)
            text += QChar(ushort(uint8_t(raw[i]) | uint8_t(raw[i + 1]) << 8));
        return text;
    }
    case 2: {
        const int count = input.ConsumeIntegralInRange<int>(0, 300);
        const ushort unit = input.ConsumeIntegral<ushort>();
        return QString(count, QChar(unit));
    }
    default: {
        // Raw bytes, NULs included.
        const std::vector<char> raw = input.ConsumeBytes<char>(input.ConsumeIntegralInRange<size_t>(0, 300));
        return QString::fromUtf8(raw.data(), int(raw.size()));
    }
    }
}

// A record on the heap with nothing around it, its bytes from the input.
template <class Record>
std::unique_ptr<Record> RecordOf(FuzzedDataProvider &input)
{
    std::unique_ptr<Record> record(new Record);
    std::memset(record.get(), 0, sizeof(Record));
    const std::vector<uint8_t> bytes = input.ConsumeBytes<uint8_t>(sizeof(Record));
    if (!bytes.empty())
        std::memcpy(record.get(), bytes.data(), bytes.size());
    return record;
}

// The field ends inside itself and holds exactly `text`.
template <size_t N>
void RequireHolds(const char (&field)[N], const QByteArray &text)
{
    require(std::memchr(field, '\0', N) != nullptr);
    require(FieldText(field) == text);
}

// The field holds a prefix of `text` cut at a character boundary.
template <size_t N>
void RequireCutOf(const char (&field)[N], const QByteArray &text)
{
    require(std::memchr(field, '\0', N) != nullptr);
    const QByteArray held = FieldText(field);
    const QByteArray whole = text.left(text.indexOf('\0') < 0 ? text.size() : text.indexOf('\0'));
    require(whole.startsWith(held));
    if (held.size() < whole.size())
        require((uint8_t(whole[held.size()]) & 0xC0) != 0x80);
}

ConfigConvert::OsdPosition PositionOf(FuzzedDataProvider &input)
{
    ConfigConvert::OsdPosition position;
    position.top = input.ConsumeIntegral<int32_t>();
    position.left = input.ConsumeIntegral<int32_t>();
    position.right = input.ConsumeIntegral<int32_t>();
    position.bottom = input.ConsumeIntegral<int32_t>();
    return position;
}

void ChannelTitle(FuzzedDataProvider &input)
{
    auto info = RecordOf<TMV_NET_OSD_CHANNEL_TITLE_INFO>(input);
    const QString title = TextOf(input);
    const bool enable = input.ConsumeBool();
    const ConfigConvert::OsdPosition position = PositionOf(input);
    const bool fits = ConfigConvert::FillChannelTitle(*info, enable, title, position);
    const QByteArray utf8 = title.toUtf8();
    require(fits == (utf8.size() < int(sizeof info->title) && !utf8.contains('\0')));
    if (fits)
        RequireHolds(info->title, utf8);
    else
        RequireHolds(info->title, QByteArray());
    require(info->enable == (enable ? 1 : 0) && info->top == position.top && info->bottom == position.bottom);
}

void IpConfig(FuzzedDataProvider &input)
{
    auto config = RecordOf<TMV_NET_IP_CONFIG>(input);
    const TMV_NET_IP_CONFIG before = *config;
    ConfigConvert::IpConfigTexts texts;
    texts.mac = TextOf(input);
    texts.ip = TextOf(input);
    texts.subnetMask = TextOf(input);
    texts.gateway = TextOf(input);
    texts.defaultDns = TextOf(input);
    texts.standbyDns = TextOf(input);
    const ConfigConvert::IpField result = ConfigConvert::FillIpConfig(*config, input.ConsumeBool(), texts);
    require(std::memcmp(config->name, before.name, sizeof before.name) == 0);
    require(std::memcmp(config->reserved, before.reserved, sizeof before.reserved) == 0);
    using ConfigConvert::IpField;
    const struct
    {
        IpField field;
        const QString &text;
        const char *held;
        size_t size;
    } fields[] = {
        {IpField::Mac, texts.mac, config->mac, sizeof config->mac},
        {IpField::Ip, texts.ip, config->ip, sizeof config->ip},
        {IpField::SubnetMask, texts.subnetMask, config->subnetMask, sizeof config->subnetMask},
        {IpField::Gateway, texts.gateway, config->gateway, sizeof config->gateway},
        {IpField::DefaultDns, texts.defaultDns, config->defaultDns, sizeof config->defaultDns},
        {IpField::StandbyDns, texts.standbyDns, config->standbyDns, sizeof config->standbyDns},
    };
    for (const auto &field : fields) {
        const QByteArray utf8 = field.text.toUtf8();
        const bool fits = utf8.size() < int(field.size) && !utf8.contains('\0');
        if (field.field == result) {
            require(!fits);
            break;
        }
        require(fits);
        require(std::memchr(field.held, '\0', field.size) != nullptr);
        require(FieldText(field.held, field.size) == utf8);
    }
    // The way back reads what went in.
    if (result == IpField::None) {
        const ConfigConvert::IpConfigTexts back = ConfigConvert::IpConfigTextsOf(*config);
        require(back.ip == QString::fromUtf8(texts.ip.toUtf8()) && back.mac == QString::fromUtf8(texts.mac.toUtf8()));
    }
}

void IpConfigBack(FuzzedDataProvider &input)
{
    auto config = RecordOf<TMV_NET_IP_CONFIG>(input);
    const ConfigConvert::IpConfigTexts texts = ConfigConvert::IpConfigTextsOf(*config);
    require(texts.mac.size() <= int(sizeof config->mac) && texts.ip.size() <= int(sizeof config->ip));
    require(texts.standbyDns.size() <= int(sizeof config->standbyDns));
}

void OsdRecords(FuzzedDataProvider &input)
{
    auto time = RecordOf<TMV_NET_OSD_TIME_TITLE_INFO>(input);
    ConfigConvert::FillTimeTitle(*time, input.ConsumeBool(), PositionOf(input));
    auto laser = RecordOf<TMV_NET_LASER_DISTANCE_OSD_PARAM>(input);
    ConfigConvert::FillLaserOsd(*laser, input.ConsumeBool(), input.ConsumeIntegral<int>(),
                                input.ConsumeIntegral<int>(), PositionOf(input));
}

void ConfigNumbers(FuzzedDataProvider &input)
{
    const QString text = TextOf(input);
    const int32_t value = ConfigIntOf(text);
    bool ok = false;
    const int expected = text.toInt(&ok, 10);
    require(value == (ok ? expected : 0));
    require(ConfigIntOf(ConfigIntText(value)) == value);
    const float number = ConfigFloatOf(text);
    (void)ConfigFloatText(number);
    (void)ConfigFloatText(input.ConsumeFloatingPoint<float>());
    const int count = input.ConsumeIntegral<int>();
    const int index = ConfigComboIndex(input.ConsumeIntegral<int32_t>(), count);
    require(index == -1 || (index >= 0 && index < count));
    require(OsdShown(OsdStateFor(true)) && !OsdShown(OsdStateFor(false)));
    require(TempBarShown(TempBarStateFor(true)) && !TempBarShown(TempBarStateFor(false)));
    (void)SyncTimeText(QDateTime::fromSecsSinceEpoch(input.ConsumeIntegralInRange<int64_t>(-(int64_t(1) << 40),
                                                                                         int64_t(1) << 40)));

    auto info = RecordOf<TMV_NET_THERMAL_IMAGE_ENHANCE_INFO>(input);
    TMV_NET_THERMAL_IMAGE_ENHANCE_INFO expectedInfo;
    std::memcpy(&expectedInfo, info.get(), sizeof expectedInfo);
    EnhanceForm form;
    form.denoise2D = input.ConsumeBool();
    form.denoise2DLevel = input.ConsumeIntegral<int32_t>();
    form.denoise3D = input.ConsumeBool();
    form.denoise3DLevel = input.ConsumeIntegral<int32_t>();
    form.detailEnhance = input.ConsumeBool();
    form.detailEnhanceLevel = input.ConsumeIntegral<int32_t>();
    ApplyEnhanceForm(*info, form);
    expectedInfo.denoise2DEnable = form.denoise2D;
    expectedInfo.denoise2DLevel = form.denoise2DLevel;
    expectedInfo.denoise3DEnable = form.denoise3D;
    expectedInfo.denoise3DLevel = form.denoise3DLevel;
    expectedInfo.detailEnhanceEnable = form.detailEnhance;
    expectedInfo.detailEnhanceLevel = form.detailEnhanceLevel;
    require(std::memcmp(&expectedInfo, info.get(), sizeof expectedInfo) == 0);
}

void Peripheral(FuzzedDataProvider &input)
{
    const int32_t seconds = input.ConsumeIntegral<int32_t>();
    const QTime time = DayNightTime(seconds);
    require(time.isValid());
    const int32_t clamped = seconds <= 0 ? 0 : (seconds >= 86400 ? 86399 : seconds);
    require(DayNightSeconds(time) == clamped);
    const DayNightControls controls = DayNightControlsFor(input.ConsumeIntegral<int>());
    require(!(controls.sensitivity && controls.schedule));
    const QString text = TextOf(input);
    const int32_t mode = AutoManualMode(text, QStringLiteral("Auto"), QStringLiteral("Manual"));
    require(mode >= -1 && mode <= 1);
    const int count = input.ConsumeIntegral<int>();
    const int index = PeripheralItemIndex(input.ConsumeIntegral<int64_t>(), count);
    require(index == -1 || (index >= 0 && index < count));
}

void Recognition(FuzzedDataProvider &input)
{
    RecognitionForm form;
    form.enable = input.ConsumeBool();
    // Combo indexes: -1 (no item) up to a few items.
    form.targetType = input.ConsumeIntegralInRange<int>(-1, 64);
    form.mode = input.ConsumeIntegralInRange<int>(-1, 64);
    form.sensitivity = TextOf(input);
    form.snapDelay = TextOf(input);
    form.recordDelay = TextOf(input);
    form.trackTime = TextOf(input);
    form.lostTime = TextOf(input);
    form.snap = input.ConsumeBool();
    form.lrf = input.ConsumeBool();
    std::unique_ptr<TMV_NET_TARGET_RECOGNITION_CONFIG> record(new TMV_NET_TARGET_RECOGNITION_CONFIG);
    *record = RecognitionRecordFromForm(form);
    require(record->trackMode == form.mode + 1 && record->targetType == form.targetType);

    auto device = RecordOf<TMV_NET_TARGET_RECOGNITION_CONFIG>(input);
    const int typeCount = input.ConsumeIntegralInRange<int>(0, 64);
    const int modeCount = input.ConsumeIntegralInRange<int>(0, 64);
    const RecognitionForm shown = RecognitionFormFromRecord(*device, typeCount, modeCount);
    require(shown.targetType >= -1 && shown.targetType < typeCount);
    require(shown.mode >= -1 && shown.mode < modeCount);
}

void PtzTexts(FuzzedDataProvider &input)
{
    (void)PtzTwoDecimals(input.ConsumeFloatingPoint<float>());
    (void)PtzFieldOfView(input.ConsumeFloatingPoint<float>(), input.ConsumeFloatingPoint<float>());
    (void)PtzReading(input.ConsumeFloatingPoint<float>());
    (void)PtzStartTime(input.ConsumeIntegral<int64_t>());
    const int count = input.ConsumeIntegral<int>();
    const int row = PtzListRow(input.ConsumeIntegral<int>(), count);
    require(row == -1 || (row >= 0 && row < count));
}

void PtzLists(FuzzedDataProvider &input)
{
    using namespace PtzRecords;
    const QString name = TextOf(input);
    std::unique_ptr<TMV_NET_PRESET_INFO> preset(new TMV_NET_PRESET_INFO);
    *preset = PresetRecord(input.ConsumeIntegral<int32_t>(), name);
    RequireCutOf(preset->name, name.toUtf8());
    if (NameFits(name) && !name.toUtf8().contains('\0'))
        RequireHolds(preset->name, name.toUtf8());

    std::unique_ptr<TMV_NET_TOUR_INFO> tour(new TMV_NET_TOUR_INFO);
    QVector<TourStop> stops(input.ConsumeIntegralInRange<int>(0, TMV_NET_MAX_TOUR_POINTS + 4));
    for (TourStop &stop : stops) {
        stop.presetId = input.ConsumeIntegral<int32_t>();
        if (input.ConsumeIntegralInRange<int>(0, 15) == 0)
            stop.presetName = TextOf(input);
        else
            stop.presetName = QString::number(stop.presetId);
        stop.residence = input.ConsumeBool() ? TextOf(input) : QString::number(input.ConsumeIntegral<int>());
    }
    const QString tourName = input.ConsumeBool() ? name : TextOf(input);
    const TourFit fit = BuildTour(input.ConsumeIntegral<int32_t>(), tourName, stops, tour.get());
    if (fit == TourFit::Fits) {
        require(stops.size() <= TMV_NET_MAX_TOUR_POINTS && tour->count == stops.size());
        RequireCutOf(tour->name, tourName.toUtf8());
        for (int k = 0; k < stops.size(); ++k)
            RequireCutOf(tour->points[k].preset.name, stops[k].presetName.toUtf8());
    }

    auto device = RecordOf<TMV_NET_TOUR_INFO>(input);
    const int shown = ShownStops(*device);
    require(shown >= 0 && shown <= TMV_NET_MAX_TOUR_POINTS);

    const size_t scanCount = input.ConsumeIntegralInRange<size_t>(0, 40);
    std::unique_ptr<TMV_NET_REGION_SCAN_INFO[]> scans(new TMV_NET_REGION_SCAN_INFO[scanCount ? scanCount : 1]);
    for (size_t i = 0; i < scanCount; ++i) {
        scans[i] = TMV_NET_REGION_SCAN_INFO();
        scans[i].id = input.ConsumeIntegral<int32_t>();
        scans[i].enable = input.ConsumeIntegral<uint8_t>();
    }
    require(OfferedAreaScans(scans.get(), scanCount).size() <= kAreaScanChoices);

    const auto action = Action(input.ConsumeIntegralInRange<int>(0, 6));
    const QString number = TextOf(input);
    const TMV_NET_BOOT_ACTION_INFO boot = BootRecord(action, number, input.ConsumeBool());
    const TMV_NET_PARK_ACTION_INFO park = ParkRecord(action, number, TextOf(input), input.ConsumeBool());
    (void)NumberOfAction(boot, ActionOfType(boot.type));
    (void)NumberOfAction(park, ActionOfType(input.ConsumeIntegral<int32_t>()));
    QStringList items;
    for (int i = input.ConsumeIntegralInRange<int>(0, 8); i > 0; --i)
        items << TextOf(input);
    const ListPick pick = PickNumber(items, input.ConsumeIntegral<int32_t>());
    require(pick.index >= -1 && pick.index < items.size());
    (void)AreaScanRecord(TextOf(input), input.ConsumeBool(), TextOf(input), TextOf(input), TextOf(input),
                         TextOf(input));
}

template <class Record>
void Cells(FuzzedDataProvider &input, int alarmType)
{
    auto record = RecordOf<Record>(input);
    const QStringList cells = AlarmText::Cells(alarmType, *record);
    require(cells.size() == 8);
    // The region name cell comes from a 256-byte field at most.
    require(cells[4].size() <= 256);
}

void Alarms(FuzzedDataProvider &input)
{
    const int alarmType = input.ConsumeBool() ? input.ConsumeIntegral<int>()
                                              : input.PickValueInArray({10001, 10002, 10003, 10004, 10005, 10006,
                                                                        20001, 20002, 20003, 20004, 30001, 40001,
                                                                        50001, 50002, 60001, 70001});
    switch (input.ConsumeIntegralInRange<int>(0, 13)) {
    case 0: Cells<TMV_NET_TEMP_ALARM_INFO>(input, alarmType); break;
    case 1: Cells<TMV_NET_FIRE_ALARM_INFO>(input, alarmType); break;
    case 2: Cells<TMV_NET_REGION_INTRUSION_ALARM_INFO>(input, alarmType); break;
    case 3: Cells<TMV_NET_LINE_INTRUSION_ALARM_INFO>(input, alarmType); break;
    case 4: Cells<TMV_NET_SMOKE_DETECT_ALARM_INFO>(input, alarmType); break;
    case 5: Cells<TMV_NET_TEMP_DIFF_ALARM_INFO>(input, alarmType); break;
    case 6: Cells<TMV_NET_DYNAMIC_ALARM_INFO>(input, alarmType); break;
    case 7: Cells<TMV_NET_LOCAL_ALARM_INFO>(input, alarmType); break;
    case 8: Cells<TMV_NET_HIGH_LIGHT_ALARM_INFO>(input, alarmType); break;
    case 9: Cells<TMV_NET_OBJECT_PULSE_ALARM_INFO>(input, alarmType); break;
    case 10: Cells<TMV_NET_TRACK_STATE_ALARM_INFO>(input, alarmType); break;
    case 11: Cells<TMV_NET_TRACK_OBJECT_ALARM_INFO>(input, alarmType); break;
    case 12: Cells<TMV_NET_LOGIN_EXCEPTION_ALARM_INFO>(input, alarmType); break;
    default: Cells<TMV_NET_SD_EXCEPTION_ALARM_INFO>(input, alarmType); break;
    }
    (void)AlarmText::TypeName(input.ConsumeIntegral<int>());
    (void)AlarmText::StateName(input.ConsumeIntegral<int>());
    (void)AlarmText::RegionText(input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>());
    auto temp = RecordOf<TMV_NET_TEMP_INFO>(input);
    (void)AlarmText::TempText(input.ConsumeIntegral<int>(), *temp, input.ConsumeIntegral<int>());
    (void)AlarmText::DiffThresholdText(input.ConsumeFloatingPoint<float>());
    (void)AlarmText::DateText(input.ConsumeIntegral<int64_t>());
}

void TempRules(FuzzedDataProvider &input)
{
    using namespace TempRuleText;
    const TMV_NET_TEMP_RULE_KEY key = AllRulesKey(input.ConsumeIntegral<int>());
    require(key.ruleType == -1 && key.ruleId == -1);
    const QString text = RuleListText(input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>());
    const int type = RuleTypeOfText(input.ConsumeBool() ? text : TextOf(input));
    require(type >= 0 && type <= 2);
    (void)PointRuleAlarmRule(input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>());
    auto preset = RecordOf<TMV_NET_PRESET_INFO>(input);
    (void)PresetText(*preset);
    const QByteArray name = PresetName(*preset);
    require(name.size() <= int(sizeof preset->name) && !name.contains('\0'));
    require(PositionOfSwitch(SwitchOfPosition(input.ConsumeIntegralInRange<int>(0, 3))) >= 0);
    TieredTexts tiered;
    for (QString *field : {&tiered.lowTemp, &tiered.lowLevel1, &tiered.lowLevel2, &tiered.lowLevel3, &tiered.highTemp,
                           &tiered.highLevel1, &tiered.highLevel2, &tiered.highLevel3, &tiered.delay})
        *field = input.ConsumeBool() ? QString::number(input.ConsumeFloatingPoint<float>()) : TextOf(input);
    (void)TieredThresholdsValid(tiered);
}

void Fields(FuzzedDataProvider &input)
{
    // A field of any size from 0, with or without a NUL.
    const size_t size = input.ConsumeIntegralInRange<size_t>(0, 300);
    std::unique_ptr<char[]> field(new char[size ? size : 1]);
    const std::vector<char> bytes = input.ConsumeBytes<char>(size);
    std::memset(field.get(), 'x', size);
    if (!bytes.empty())
        std::memcpy(field.get(), bytes.data(), bytes.size());
    const QByteArray back = FieldText(field.get(), size);
    require(size_t(back.size()) <= size && !back.contains('\0'));
    require(std::memcmp(back.constData(), field.get(), size_t(back.size())) == 0);

    const QByteArray text = TextOf(input).toUtf8();
    const FieldFit fit = input.ConsumeBool() ? FieldFit::Refuse : FieldFit::CutAtCharacter;
    const bool whole = CopyText(field.get(), size, text, fit);
    const QByteArray wanted = text.left(text.indexOf('\0') < 0 ? text.size() : text.indexOf('\0'));
    require(whole == (size > 0 && size_t(wanted.size()) < size));
    if (whole || (fit == FieldFit::CutAtCharacter && size > 0)) {
        require(std::memchr(field.get(), '\0', size) != nullptr);
        const QByteArray held = FieldText(field.get(), size);
        require(wanted.startsWith(held));
        if (whole)
            require(held == wanted);
        else
            require((uint8_t(wanted[held.size()]) & 0xC0) != 0x80);
        for (size_t i = size_t(held.size()); i < size; ++i)
            require(field[i] == '\0');
    }
}

void Counts(FuzzedDataProvider &input)
{
    const int returned = input.ConsumeIntegral<int>();
    const int capacity = input.ConsumeIntegral<int>();
    const int count = ClampCount(returned, capacity);
    require(count >= 0 && count <= (capacity > 0 ? capacity : 0) && (count == 0 || count <= returned));
    const int32_t claimed = input.ConsumeIntegral<int32_t>();
    require(ListCapacity<TMV_NET_TOUR_INFO>(claimed) <= MaxListRecords<TMV_NET_TOUR_INFO>());
    require(ListCapacity<TMV_NET_PRESET_INFO>(claimed) <= size_t(claimed > 0 ? claimed : 0));
}

void Picture(FuzzedDataProvider &input)
{
    // A mouse position on or far beyond the label: within a million pixels.
    const int limit = 1 << 20;
    const QPoint p(input.ConsumeIntegralInRange<int>(-limit, limit), input.ConsumeIntegralInRange<int>(-limit, limit));
    const QSize label(input.ConsumeIntegralInRange<int>(-8, 8192), input.ConsumeIntegralInRange<int>(-8, 8192));
    const auto use = PictureSpace::Use(input.ConsumeIntegralInRange<int>(0, 2));
    const QPoint q = PictureSpace::ToPicture(p, label, use);
    if (use == PictureSpace::Use::Measure) {
        require(q.x() >= 0 && q.x() <= 8191 && q.y() >= 0 && q.y() <= 8191);
    }
    QList<QPoint> points;
    for (int i = input.ConsumeIntegralInRange<int>(0, 4); i > 0; --i)
        points << q;
    const PictureSpace::Ends ends = PictureSpace::TieredEnds(input.ConsumeIntegral<int>(), points);
    (void)ends;
    require(PictureSpace::RectangleCorners(p, q).size() == 4);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange<int>(0, 14)) {
    case 0: ChannelTitle(input); break;
    case 1: IpConfig(input); break;
    case 2: IpConfigBack(input); break;
    case 3: OsdRecords(input); break;
    case 4: ConfigNumbers(input); break;
    case 5: Peripheral(input); break;
    case 6: Recognition(input); break;
    case 7: PtzTexts(input); break;
    case 8: PtzLists(input); break;
    case 9: Alarms(input); break;
    case 10: TempRules(input); break;
    case 11: Fields(input); break;
    case 12: Counts(input); break;
    default: Picture(input); break;
    }
    return 0;
}
