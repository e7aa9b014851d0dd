// The command line of dvio print.
#include "PrintCommand.h"

#include <CLI/CLI.hpp>

void AddPrintOptions(CLI::App* command, PrintRequest* request) {
    command->add_option("IN.dv", request->dvPath, "the raw DV file to print")->required();
    command->add_option("--wav", request->wavPath, "audio to print instead of the file's own (a 16-bit WAV file)");
    command->add_option("--start-tc", request->startTc,
                        "the timecode written with the first frame (plain print: default the tape's where it lands;\n"
                        "assemble: default In)");
    CLI::Option* insert = command->add_flag("--insert", request->insert, "an insert edit: the tape keeps its timecode");
    CLI::Option* assemble = command->add_flag("--assemble", request->assemble, "an assemble edit from In on");
    insert->excludes(assemble);
    command->add_option("--in", request->in, "the edit's In point (a plain print is cued to it)");
    command->add_option("--out", request->out, "the edit's Out point (default: In plus the file's frames)");
    command->add_option("--preroll", request->preroll, "frames of run-up before In (default 90)")
        ->check(CLI::NonNegativeNumber);
    CLI::Option* videoOnly = command->add_flag("--video-only", request->videoOnly, "print the pictures only");
    CLI::Option* audioOnly = command->add_flag("--audio-only", request->audioOnly, "print the sound only");
    videoOnly->excludes(audioOnly);
    command->footer(
        "Exits 1 when the print did not land exactly where and as it was sent (the report says where),\n"
        "2 for bad input (the cassette is then left as it was).");
}
