#include "CaptureCommand.h"

#include "DeckCapture.h"
#include "ExitCodes.h"
#include "StopSignal.h"

std::string DefaultWavPath(const std::string& dvPath) {
    const size_t slash = dvPath.rfind('/');
    const size_t dot = dvPath.rfind('.');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (dot != std::string::npos && dot > nameStart) return dvPath.substr(0, dot) + ".wav";
    return dvPath + ".wav";
}

int RunCapture(PluginHost& host, const CaptureRequest& request, bool json, std::ostream& out, std::ostream& err) {
    StopSignal stopSignal;
    DeckCapture run(host, request);
    const std::optional<CaptureFailure> failure = run.Run();
    const CaptureReport& report = run.Report();
    const bool captured = !report.dvPath.empty() && (report.frames > 0 || !failure);
    if (captured) {
        if (json)
            out << report.ToJson().Dump() << "\n";
        else
            report.PrintText(out);
    }
    if (failure) {
        err << "dvio: " << failure->sentence << "\n";
        return failure->code;
    }
    return kExitOk;
}
