#include "digitalio/DIOFormat.h"

#include <cstring>

DIOFormat::DIOFormat(int capacity) : capacity_(capacity) {}

DIOFormat::~DIOFormat() = default;

DIOFormat::DIOFormat(const DIOFormat& other) : capacity_(other.MaxParameters()) {
    *this = other;
}

DIOFormat& DIOFormat::operator=(const DIOFormat& other) {
    if (this == &other) return *this;
    std::vector<std::pair<LONG, std::string>> parameters;
    unsigned char change, changeBreak;
    {
        std::lock_guard<std::mutex> lock(other.mutex_);
        parameters = other.parameters_;
        change = other.formatChange_;
        changeBreak = other.formatChangeBreak_;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    parameters_ = std::move(parameters);
    formatChange_ = change;
    formatChangeBreak_ = changeBreak;
    return *this;
}

int DIOFormat::SetKeywordParameter(LONG key, const char* value) {
    if (value == nullptr || std::strlen(value) > static_cast<size_t>(kMaxValueLength)) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& parameter : parameters_) {
        if (parameter.first == key) {
            parameter.second = value;
            return 1;
        }
    }
    if (parameters_.size() >= static_cast<size_t>(kHardCapacity)) return 0;
    parameters_.emplace_back(key, value);
    return 1;
}

int DIOFormat::GetKeywordParameter(LONG key, char* value) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& parameter : parameters_) {
        if (parameter.first == key) {
            if (value != nullptr) std::memcpy(value, parameter.second.c_str(), parameter.second.size() + 1);
            return 1;
        }
    }
    return 0;
}

int DIOFormat::NumParameters() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(parameters_.size());
}

int DIOFormat::MaxParameters() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return capacity_;
}

int DIOFormat::GetNthParameter(int index, LONG* key, char* value) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (index < 0 || static_cast<size_t>(index) >= parameters_.size()) {
        if (key != nullptr) *key = 0;
        return 0;
    }
    const auto& parameter = parameters_[static_cast<size_t>(index)];
    if (key != nullptr) *key = parameter.first;
    if (value != nullptr) std::memcpy(value, parameter.second.c_str(), parameter.second.size() + 1);
    return 1;
}

void DIOFormat::SetFormatChange(unsigned char on) {
    std::lock_guard<std::mutex> lock(mutex_);
    formatChange_ = on != 0 ? 1 : 0;
}

void DIOFormat::SetFormatChangeBreak(unsigned char on) {
    std::lock_guard<std::mutex> lock(mutex_);
    formatChangeBreak_ = on != 0 ? 1 : 0;
}

unsigned char DIOFormat::GetFormatChange() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return formatChange_;
}

unsigned char DIOFormat::GetFormatChangeBreak() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return formatChangeBreak_;
}
