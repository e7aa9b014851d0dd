// A fresh simulated world and a fresh device for each test, with the device's debug
// lines and the card calls it made at hand.
#pragma once

#include "device/CDV1394.h"
#include "sim/SimControl.h"
#include "Win32DebugSink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class DeviceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        cardsim::Reset();
        device_ = new CDV1394();
        log_.Clear();
        cardsim::ClearJournal();
    }

    void TearDown() override {
        delete device_;
        device_ = nullptr;
    }

    // Names of the card and deck-control functions called since the last ClearJournal.
    static std::vector<std::string> CardCalls() {
        std::vector<std::string> names;
        for (const cardsim::JournalEntry& entry : cardsim::JournalSince(0)) names.push_back(entry.function);
        return names;
    }

    // Card calls named `function`, in order.
    static std::vector<cardsim::JournalEntry> CallsTo(const std::string& function) {
        std::vector<cardsim::JournalEntry> calls;
        for (const cardsim::JournalEntry& entry : cardsim::JournalSince(0))
            if (entry.function == function) calls.push_back(entry);
        return calls;
    }

    CDV1394* device_ = nullptr;
    win32::DebugCapture log_;
};
