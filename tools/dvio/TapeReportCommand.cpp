#include "DvFile.h"
#include "DvFrameFacts.h"
#include "ExitCodes.h"
#include "HealthReport.h"
#include "TapeCommands.h"

#include "digitalio/dv25/DifLayout.h"

int RunTapeReport(const std::string& path, const std::string& reportPath, std::ostream& out, std::ostream& err) {
    DvFileReader reader;
    std::string error;
    if (!reader.Open(path, &error)) {
        err << "dvio: " << error << "\n";
        return kExitFailed;
    }
    HealthReport health;
    DIO_VideoFormat standard = DIO_NoVideoFormat;
    std::vector<uint8_t> frame;
    DvFileReader::Result result;
    while ((result = reader.Next(&frame)) == DvFileReader::Result::Frame || result == DvFileReader::Result::Damaged) {
        if (result == DvFileReader::Result::Damaged) {
            // No header: nothing in it can be trusted, so every video block counts as lost.
            FrameHealth unreadable;
            unreadable.concealedBlocks = dv25::SequencesIn(standard == DIO_PAL ? DIO_PAL : DIO_NTSC) *
                                         dv25::kVideoBlocksPerSequence;
            health.AddHealth(unreadable);
            continue;
        }
        const DvFrameFacts facts = ReadFrameFacts(frame.data(), frame.size());
        if (standard == DIO_NoVideoFormat) standard = facts.standard;
        health.Add(frame.data(), frame.size(), facts);
    }
    if (reader.Index() == 0 && result != DvFileReader::Result::End) {
        err << "dvio: " << path << " is not a DV file: " << reader.Problem() << "\n";
        return kExitFailed;
    }
    if (!WriteHealthReport(health.ToJson(path, standard == DIO_PAL ? DIO_PAL : DIO_NTSC), reportPath, out, &error)) {
        err << "dvio: " << error << "\n";
        return kExitFailed;
    }
    if (result != DvFileReader::Result::End) {
        err << "dvio: " << reader.Problem() << "\n";
        return kExitFailed;
    }
    return kExitOk;
}
