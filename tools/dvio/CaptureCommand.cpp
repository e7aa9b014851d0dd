#include "CaptureCommand.h"

#include "DeckCapture.h"
#include "ExitCodes.h"
#include "HealthReport.h"
#include "OutputFiles.h"
#include "StopSignal.h"

std::string DefaultWavPath(const std::string& dvPath) {
    const size_t slash = dvPath.rfind('/');
    const size_t dot = dvPath.rfind('.');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (dot != std::string::npos && dot > nameStart) return dvPath.substr(0, dot) + ".wav";
    return dvPath + ".wav";
}

std::string WavPathOf(const CaptureRequest& request) {
    if (!request.wavPath.empty()) return request.wavPath;
    if (request.dvPath == "-" || request.format != OutputFormat::Dv || WavsFollowFiles(request)) return "";
    return DefaultWavPath(request.dvPath);
}

bool WavsFollowFiles(const CaptureRequest& request) {
    return request.format == OutputFormat::Dv && request.wavPath.empty() &&
           (request.split.Active() || !request.name.empty());
}

int RunCapture(PluginHost& host, const CaptureRequest& request, const OutputFiles& outputs, bool json,
               std::ostream& out, std::ostream& err) {
    StopSignal stopSignal;
    DeckCapture run(host, request);
    run.SetRemoveCreated([&outputs] { outputs.RemoveCreated(); });
    std::optional<HealthReport> health;
    DIO_VideoFormat standard = DIO_NoVideoFormat;
    if (!request.reportPath.empty()) {
        run.SetFrameObserver([&](const uint8_t* frame, size_t size, const DvFrameFacts& facts) {
            // Made at the first frame, when the start the deck was cued to is known.
            if (!health) health.emplace(run.Report().start);
            if (standard == DIO_NoVideoFormat) standard = facts.standard;
            health->Add(frame, size, facts);
        });
    }
    std::optional<CaptureFailure> failure = run.Run();
    const CaptureReport& report = run.Report();
    std::string error;
    if (health && !WriteHealthReport(health->ToJson(request.dvPath, standard), request.reportPath, out, &error) &&
        !failure)
        failure = CaptureFailure{error};
    // Nothing captured is a failure, unless the user stopped it so.
    if (!failure && report.frames == 0 && !report.dvPath.empty() && !StopSignal::Requested())
        failure = CaptureFailure{"nothing was captured: " + report.ended};
    if (report.frames == 0) outputs.RemoveCreated();
    std::ostream& summary = request.dvPath == "-" ? err : out;
    if (!report.dvPath.empty() && (report.frames > 0 || !failure)) {
        if (json)
            summary << report.ToJson().Dump() << "\n";
        else
            report.PrintText(summary);
    }
    if (failure) {
        err << "dvio: " << failure->sentence << "\n";
        return failure->code;
    }
    return kExitOk;
}
