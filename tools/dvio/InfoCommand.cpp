#include "InfoCommand.h"

#include "InterfaceValueText.h"
#include "Json.h"

#include "interface/ControlIds.h"

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ControlName {
    LONG id;
    const char* name;
};

// The controls a host knows by id, in the order it shows them.
const ControlName kControls[] = {
    {kControlFramesToPrint, "VideoOut frames to print"},
    {kControlFrameDelay, "frame delay"},
    {kControlFourCC, "four-character code"},
    {kControl1000B, "control 0x1000b"},
    {kControlVideoOutUnderruns, "VideoOut underrun record"},
    {kControl30001, "control 0x30001"},
    {kControlVideoInOverruns, "VideoIn overruns"},
    {kControlErrorCount, "errors (all streams)"},
    {kControlLastError, "last error"},
    {kControlStartTimecode, "start timecode"},
    {kControlB00004, "control 0xb00004"},
    {kControlTraceSwitches, "trace switches"},
    {kControlAVDeviceCount, "AV devices"},
    {kControlDeviceFormat, "device format"},
    {kControlFormatList, "supported formats"},
    {kControlB0000A, "control 0xb0000a"},
    {kControlLibrarySeekOnly, "seek with the deck library only"},
    {kControlTrackSeekOffset, "track-number seek offset"},
    {kControlStartMissed, "start timecode missed"},
    {kControlAudioInMeasurement, "AudioIn rate measurement"},
    {kControlAudioInOverruns, "AudioIn overruns"},
    {kControlSignalPresent, "signal present"},
    {kControlTimecodeBreak, "timecode break record"},
    {kControlAudioOutUnderruns, "AudioOut underruns"},
    {kControlAudioOutFramesToPrint, "AudioOut frames to print"},
    {kControlFrameDelayOut, "frame delay (output)"},
    {kControlAudioLocked, "AudioOut audio locked"},
};

std::string FormatText(DIOFormat& format) {
    std::string text;
    char value[20];
    LONG key = 0;
    for (int i = 0; format.GetNthParameter(i, &key, value); ++i) {
        if (!text.empty()) text += "  ";
        text += FourCCText(key) + "=" + value;
    }
    return text.empty() ? "(none)" : text;
}

// Only the values, in keyword order: "NTSC DV25 48000 16".
std::string ValuesText(DIOFormat& format) {
    std::string text;
    char value[20];
    LONG key = 0;
    for (int i = 0; format.GetNthParameter(i, &key, value); ++i) text += (text.empty() ? "" : " ") + std::string(value);
    return text;
}

// A control's value as words, from the bytes a read or default wrote.
std::string ValueText(LONG id, LONG size, const unsigned char* bytes) {
    LONG number = 0;
    std::memcpy(&number, bytes, sizeof number);
    switch (id) {
    case kControlFourCC: return FourCCText(number);
    case kControlLastError: return "\"" + std::string(reinterpret_cast<const char*>(bytes)) + "\"";
    case kControlStartTimecode: {
        timecode_t tc;
        std::memcpy(&tc, bytes, sizeof tc);
        return TimecodeText(tc);
    }
    case kControlAudioLocked: return bytes[0] != 0 ? "yes" : "no";
    default: break;
    }
    if (size == 4 || size == 0) return std::to_string(number);
    std::string text;
    const LONG shown = size > 16 ? 16 : size;
    for (LONG offset = 0; offset + 4 <= shown; offset += 4) {
        std::memcpy(&number, bytes + offset, sizeof number);
        text += (text.empty() ? "" : " ") + std::to_string(number);
    }
    return text;
}

}  // namespace

int RunInfo(PluginHost& host, bool json, std::ostream& out) {
    DigitalDevice& device = *host.Device();
    Json report = Json::Object();
    std::ostringstream text;
    text << "plug-in        " << host.Path() << "\n";
    text << "version        " << host.Major() << "." << host.Minor() << "\n";
    report.Set("plugin", host.Path());
    report.Set("version", std::to_string(host.Major()) + "." + std::to_string(host.Minor()));

    char adapterName[64] = "";
    const LONG adapters = device.GetNumberHostAdapters();
    device.GetHostAdapterName(0, adapterName);
    text << "adapters       " << adapters << " (" << adapterName << ", attributes "
         << device.GetHostAdapterAttributes() << ")\n";
    report.Set("adapters", Json::Object()
                               .Set("count", static_cast<int>(adapters))
                               .Set("name", std::string(adapterName))
                               .Set("attributes", static_cast<int>(device.GetHostAdapterAttributes())));
    const bool present = device.HasAVDevice(0, 0) != 0, writable = device.HasAVWritableDevice(0, 0) != 0;
    text << "AV device      " << (present ? "present" : "none") << " on node 0" << (writable ? ", writable" : "")
         << "\n";
    report.Set("av_device", Json::Object().Set("present", present).Set("writable", writable));
    int node = -1;
    device.GetIONode(&node);
    text << "nodes          " << device.GetMaxNodes() << " (I/O node " << node << ")\n";
    report.Set("nodes", Json::Object().Set("max", static_cast<int>(device.GetMaxNodes())).Set("io_node", node));

    unsigned char dropFrame = 0;
    LONG rate = 0;
    const LONG rateError = device.DeviceGetFrameRate(&dropFrame, &rate);
    if (rateError == 0) {
        text << "deck rate      " << rate << " fps" << (dropFrame ? ", drop-frame" : "") << "\n";
        report.Set("deck_rate", Json::Object().Set("fps", static_cast<int>(rate)).Set("drop_frame", dropFrame != 0));
    } else {
        text << "deck rate      unavailable: " << DDCErrorText(rateError) << "\n";
        report.Set("deck_rate", Json::Object().Set("error", DDCErrorText(rateError)));
    }
    LONG unitType = 0, vendor = 0;
    char vendorText[64] = "", modelText[64] = "";
    const LONG unitError = device.DeviceUnitInfo(&unitType, &vendor, vendorText, modelText);
    if (unitError == 0) {
        text << "unit           " << vendorText << " " << modelText << " (type " << unitType << ")\n";
        report.Set("unit", Json::Object()
                               .Set("vendor", std::string(vendorText))
                               .Set("model", std::string(modelText))
                               .Set("type", static_cast<int>(unitType)));
    } else {
        text << "unit           unavailable: " << DDCErrorText(unitError) << "\n";
        report.Set("unit", Json::Object().Set("error", DDCErrorText(unitError)));
    }

    DIOFormat supported(4);
    for (const char* key : {"VSIG", "VCMP", "ASRT", "ASSZ"}) supported.SetKeywordParameter(FourCC(key), "");
    const bool haveFormats = device.GetControl(kControlFormatList, &supported) != 0;
    text << "formats        " << (haveFormats ? FormatText(supported) : "(unavailable)") << "\n";
    report.Set("formats", haveFormats ? Json(FormatText(supported)) : Json());

    text << "\ncontrols\n";
    char header[128];
    std::snprintf(header, sizeof header, "  %-10s %-34s %4s %-3s  %-18s %s\n", "id", "name", "size", "set",
                  "default", "current");
    text << header;
    Json controls = Json::Array();
    for (const ControlName& control : kControls) {
        const LONG size = device.GetControlSize(control.id);
        std::string defaultText = "-";
        std::string currentText = "-";
        if (control.id == kControlDeviceFormat || control.id == kControlFormatList) {
            DIOFormat format(4);
            if (control.id == kControlDeviceFormat && device.GetControlDefault(control.id, &format)) defaultText = ValuesText(format);
            DIOFormat current(4);
            if (control.id == kControlDeviceFormat && device.GetControl(control.id, &current)) currentText = ValuesText(current);
            if (control.id == kControlFormatList) currentText = "(see formats)";
        } else if (control.id == kControlLibrarySeekOnly || control.id == kControlTrackSeekOffset) {
            unsigned char unused[8] = {};
            defaultText = std::to_string(device.GetControlDefault(control.id, unused));
            currentText = std::to_string(device.GetControl(control.id, unused));
        } else {
            std::vector<unsigned char> value(300, 0);
            if (device.GetControlDefault(control.id, value.data())) defaultText = ValueText(control.id, size, value.data());
            std::fill(value.begin(), value.end(), 0);
            if (device.GetControl(control.id, value.data())) currentText = ValueText(control.id, size, value.data());
        }
        const bool settable = device.CanSetControl(control.id) != 0;
        char line[256];
        std::snprintf(line, sizeof line, "  0x%08x %-34s %4d %-3s  %-18s %s\n", static_cast<unsigned>(control.id),
                      control.name, static_cast<int>(size), settable ? "yes" : "no", defaultText.c_str(),
                      currentText.c_str());
        text << line;
        char id[16];
        std::snprintf(id, sizeof id, "0x%08x", static_cast<unsigned>(control.id));
        controls.Push(Json::Object()
                          .Set("id", std::string(id))
                          .Set("name", control.name)
                          .Set("size", static_cast<int>(size))
                          .Set("settable", settable)
                          .Set("default", defaultText)
                          .Set("current", currentText));
    }
    report.Set("controls", controls);
    if (json)
        out << report.Dump() << "\n";
    else
        out << text.str();
    return 0;
}
