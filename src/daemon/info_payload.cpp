// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/info_payload.h"

#include <cstdio>

#include "daemon/json_writer.h"
#include "panel/panel_model.h"
#include "tk358_version.h"

namespace tk358 {

namespace {

std::string Firmware(int32_t version) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d", version / 100, version % 100);
    return text;
}

void WriteProbe(JsonWriter& w, const PanelInfo& info) {
    w.Key("probe");
    if (info.valid == 0) {
        w.Null();
        return;
    }
    char calibration[32];
    std::snprintf(calibration, sizeof calibration, "%04d-%02d", info.calibrationYear,
                  info.calibrationMonth);
    w.BeginObject();
    w.Key("serial").Int(info.probeSerialNumber);
    w.Key("calibration").String(calibration);
    w.Key("calibrationError").Bool(info.probeCalibrationError != 0);
    w.EndObject();
}

}  // namespace

std::string BuildInfoPayload(const InfoSource& source) {
    const PanelIdentity& id = source.identity;
    const bool identified = id.identified != 0;
    JsonWriter w;
    w.BeginObject();
    w.Key("name").String(source.name);
    w.Key("port").String(source.port);
    w.Key("program").String("tk358d " TK358_VERSION);
    w.Key("identified").Bool(identified);
    if (identified) {
        w.Key("kind").Int(id.deviceType);
        w.Key("model").String(PanelModelName(id.deviceType));
        w.Key("serial");
        id.noNumber == 0 ? w.Int(id.serialNumber) : w.Null();
        w.Key("firmware").String(Firmware(id.firmwareVersion));
        w.Key("hardwareVariant").Int(id.hardwareVariant);
        WriteProbe(w, source.info);
    }
    w.EndObject();
    return w.Text();
}

}  // namespace tk358
