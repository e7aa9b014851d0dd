// A format description: text values keyed by four-character codes, plus the
// "format change" and "format change break" flags.
//
// Keyword ids are 32-bit values whose bytes, most significant first, are the ASCII
// characters of the name ('VSIG' is 0x56534947). Values are at most 19 characters so
// that they fit a 20-byte buffer with its terminator. The constructor's integer is the
// advisory capacity that MaxParameters reports; adding keywords beyond it is allowed
// (callers create a format for 3 and give it 4), up to a hard cap of 64 that guards
// memory. Keywords keep their insertion order. Internally locked: a record may be read
// by one thread while another fills it.
#pragma once

#include "windows.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

constexpr LONG MakeFourCC(char a, char b, char c, char d) {
    return static_cast<LONG>((static_cast<ULONG>(static_cast<unsigned char>(a)) << 24) |
                             (static_cast<ULONG>(static_cast<unsigned char>(b)) << 16) |
                             (static_cast<ULONG>(static_cast<unsigned char>(c)) << 8) |
                             static_cast<ULONG>(static_cast<unsigned char>(d)));
}

class DIOFormat {
public:
    static constexpr int kMaxValueLength = 19;
    static constexpr int kHardCapacity = 64;

    explicit DIOFormat(int capacity = 0);
    DIOFormat(const DIOFormat& other);
    // Copies keywords, values and flags; keeps this object's MaxParameters.
    DIOFormat& operator=(const DIOFormat& other);
    // Out of line, so that the class's vtable and type information live only in this
    // library: a plug-in that carried weak copies could never be unloaded again.
    virtual ~DIOFormat();

    // Replaces or appends. Zero when the value is null or longer than 19 characters,
    // or when the hard capacity is reached.
    int SetKeywordParameter(LONG key, const char* value);
    // Copies the value (with its terminator) into `value`; zero when the key is absent.
    int GetKeywordParameter(LONG key, char* value) const;
    int NumParameters() const;
    int MaxParameters() const;
    // Nonzero for 0 <= index < NumParameters, writing the key and value; otherwise 0
    // with *key = 0 and `value` untouched.
    int GetNthParameter(int index, LONG* key, char* value) const;

    void SetFormatChange(unsigned char on);
    void SetFormatChangeBreak(unsigned char on);
    unsigned char GetFormatChange() const;
    unsigned char GetFormatChangeBreak() const;

private:
    mutable std::mutex mutex_;
    int capacity_;
    std::vector<std::pair<LONG, std::string>> parameters_;
    unsigned char formatChange_ = 0;
    unsigned char formatChangeBreak_ = 0;
};
