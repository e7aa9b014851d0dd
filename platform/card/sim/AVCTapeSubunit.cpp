#include "sim/AVCTapeSubunit.h"

#include "sim/AVCFrame.h"

namespace cardsim {

namespace {

constexpr uint8_t kOpTimecode = 0x51;
constexpr uint8_t kOpAbsoluteTrack = 0x52;
constexpr uint8_t kOpSmpteTimecode = 0x59;
constexpr uint8_t kOpMediumInfo = 0xDA;
constexpr uint8_t kOperandStatus = 0x71;
constexpr uint8_t kOperandSeek = 0x20;
constexpr uint8_t kNoCassette = 0x60;

std::vector<uint8_t> Echo(const std::vector<uint8_t>& command, uint8_t code) {
    std::vector<uint8_t> response = command;
    response[0] = code;
    return response;
}

uint8_t ToBcd(int value) { return static_cast<uint8_t>(((value / 10) << 4) | (value % 10)); }

bool FromBcd(uint8_t bcd, int* value) {
    if ((bcd & 0x0F) > 9 || (bcd >> 4) > 9) return false;
    *value = (bcd >> 4) * 10 + (bcd & 0x0F);
    return true;
}

std::vector<uint8_t> TimecodeStatus(const std::vector<uint8_t>& command, const Cassette* cassette,
                                    int64_t timecodePosition) {
    if (cassette == nullptr) return Echo(command, kAVCRejected);
    std::vector<uint8_t> response = {kAVCStable, kAVCTapeSubunit, command[2], kOperandStatus, 0, 0, 0, 0};
    TimecodeBytes(timecodePosition >= 0 ? cassette : nullptr, timecodePosition, &response[4]);
    return response;
}

std::vector<uint8_t> TrackStatus(const std::vector<uint8_t>& command, const Cassette* cassette,
                                 const DeckTransport& deck) {
    if (cassette == nullptr) return Echo(command, kAVCRejected);
    const int64_t position = deck.Position();
    // Two times the track number, plus the flag for "recorded here, no discontinuity".
    const uint64_t value = static_cast<uint64_t>(cassette->TrackOf(position)) * 2 + (cassette->IsBlank(position) ? 0 : 1);
    return {kAVCStable,
            kAVCTapeSubunit,
            kOpAbsoluteTrack,
            kOperandStatus,
            static_cast<uint8_t>(value & 0xFF),
            static_cast<uint8_t>((value >> 8) & 0xFF),
            static_cast<uint8_t>((value >> 16) & 0xFF),
            0xFF};
}

std::vector<uint8_t> MediumInfo(const Cassette* cassette, const DeckModel& model) {
    if (cassette == nullptr) return {kAVCStable, kAVCTapeSubunit, kOpMediumInfo, kNoCassette, 0x00};
    return {kAVCStable, kAVCTapeSubunit, kOpMediumInfo, model.cassetteType,
            static_cast<uint8_t>(cassette->WriteProtected() ? 0x01 : 0x00)};
}

bool Earlier(const TapeTimecode& a, const TapeTimecode& b) {
    if (a.hours != b.hours) return a.hours < b.hours;
    if (a.minutes != b.minutes) return a.minutes < b.minutes;
    if (a.seconds != b.seconds) return a.seconds < b.seconds;
    return a.frames < b.frames;
}

// Target position of a search, or -1 when the tape does not hold it; then *direction
// is the way a deck winds to look for it (-2 when the command names no place).
int64_t SearchTarget(const std::vector<uint8_t>& command, const Cassette* cassette, int64_t position,
                     int* direction) {
    *direction = -2;
    if (command[2] == kOpTimecode) {
        TapeTimecode label;
        if (!FromBcd(command[4] & 0x3F, &label.frames) || !FromBcd(command[5], &label.seconds) ||
            !FromBcd(command[6], &label.minutes) || !FromBcd(command[7], &label.hours))
            return -1;
        TapeTimecode here;
        *direction = cassette->TimecodeAt(position, &here) && Earlier(label, here) ? -1 : 1;
        return cassette->FindTimecode(label);
    }
    const int64_t value = command[4] | (command[5] << 8) | (command[6] << 16);
    *direction = (value >> 1) < cassette->TrackOf(position) ? -1 : 1;
    return cassette->PositionOfTrack(value >> 1);
}

AVCAnswer Search(const std::vector<uint8_t>& command, DeckTransport* deck, const Cassette* cassette,
                 const DeckModel& model, SimTime now) {
    AVCAnswer answer;
    switch (model.searchAnswer) {
    case SearchAnswer::InTransition:
        answer.response = Echo(command, kAVCInTransition);
        return answer;
    case SearchAnswer::StatusOperand:
        // A deck that treats the search as a status query: it reports where it is.
        answer.response = {kAVCStable, kAVCTapeSubunit, command[2], kOperandStatus, 0xFF, 0xFF, 0xFF, 0xFF};
        if (cassette != nullptr && command[2] == kOpTimecode) TimecodeBytes(cassette, deck->Position(), &answer.response[4]);
        return answer;
    default:
        break;
    }
    int direction = -2;
    const int64_t target =
        cassette != nullptr && command.size() >= 8 ? SearchTarget(command, cassette, deck->Position(), &direction) : -1;
    if (target < 0 && !(model.lateSearchFailure && direction != -2)) {
        answer.response = Echo(command, kAVCRejected);
        return answer;
    }
    if (target >= 0) deck->Command(DeckCommand::Seek, target, now);
    else deck->Command(DeckCommand::SeekMissing, direction, now);
    if (model.searchAnswer == SearchAnswer::Interim) {
        answer.response = Echo(command, kAVCInterim);
        answer.finalPending = true;
        answer.finalResponse = Echo(command, kAVCAccepted);
    } else {
        answer.response = Echo(command, kAVCAccepted);
    }
    return answer;
}

}  // namespace

void TimecodeBytes(const Cassette* cassette, int64_t position, uint8_t out[4]) {
    TapeTimecode tc;
    if (cassette == nullptr || !cassette->TimecodeAt(position, &tc)) {
        out[0] = out[1] = out[2] = out[3] = 0xFF;
        return;
    }
    out[0] = static_cast<uint8_t>(ToBcd(tc.frames) | (tc.dropFrame ? 0x40 : 0x00));
    out[1] = ToBcd(tc.seconds);
    out[2] = ToBcd(tc.minutes);
    out[3] = ToBcd(tc.hours);
}

AVCAnswer AnswerAVCCommand(const std::vector<uint8_t>& command, DeckTransport* deck, const Cassette* cassette,
                           const DeckModel& model, int64_t timecodePosition, SimTime now) {
    AVCAnswer answer;
    if (command.size() < 3 || command[1] != kAVCTapeSubunit) {
        answer.response = command;
        if (!answer.response.empty()) answer.response[0] = kAVCNotImplemented;
        return answer;
    }
    if (deck->InTransition()) {
        answer.response = Echo(command, kAVCInTransition);
        return answer;
    }
    const uint8_t ctype = command[0];
    const uint8_t opcode = command[2];
    const uint8_t operand = command.size() > 3 ? command[3] : 0;
    const bool quadletOperands = command.size() >= 8;
    if (ctype == kAVCStatus) {
        if (opcode == kOpTimecode && operand == kOperandStatus && quadletOperands)
            answer.response = TimecodeStatus(command, cassette, timecodePosition);
        else if (opcode == kOpSmpteTimecode && operand == kOperandStatus && quadletOperands && model.smpteTimecode)
            answer.response = TimecodeStatus(command, cassette, timecodePosition);
        else if (opcode == kOpAbsoluteTrack && operand == kOperandStatus && quadletOperands)
            answer.response = TrackStatus(command, cassette, *deck);
        else if (opcode == kOpMediumInfo && command.size() >= 5)
            answer.response = MediumInfo(cassette, model);
        else
            answer.response = Echo(command, kAVCNotImplemented);
        return answer;
    }
    if (ctype == kAVCControl && (opcode == kOpTimecode || opcode == kOpAbsoluteTrack) && operand == kOperandSeek &&
        quadletOperands)
        return Search(command, deck, cassette, model, now);
    answer.response = Echo(command, kAVCNotImplemented);
    return answer;
}

}  // namespace cardsim
