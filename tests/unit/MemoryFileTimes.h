// An in-memory file system for the run: it keeps creation times (which Wine on Linux does not),
// knows folders, locked and read-only files, and can fail a read or a write on demand.
#pragma once

#include <cstdint>
#include <map>

#include "stamp/ApplyRun.h"

class MemoryFileTimes : public FileTimes {
  public:
    static constexpr std::uint32_t kFileNotFound = 2;
    static constexpr std::uint32_t kAccessDenied = 5;
    static constexpr std::uint32_t kSharingViolation = 32;
    static constexpr std::uint32_t kInvalidFunction = 1;

    struct Entry {
        FILETIME creation{};
        FILETIME access{};
        FILETIME write{};
        bool readOnly = false;
        bool locked = false;
        int failGetOnCall = 0;  // the n-th GetTimes on this entry fails (1 = the first)
        bool failSet = false;
        int getCalls = 0;
        int setCalls = 0;
    };

    std::map<WideString, Entry> entries;
    int openCount = 0;
    int opens = 0;

    Handle OpenForWrite(const WideString& path) override {
        ++opens;
        auto it = entries.find(path);
        if (it == entries.end()) return Fail(kFileNotFound);
        if (it->second.readOnly) return Fail(kAccessDenied);
        if (it->second.locked) return Fail(kSharingViolation);
        ++openCount;
        const Handle handle = nextHandle_++;
        handles_[handle] = path;
        return handle;
    }

    bool GetTimes(Handle handle, FILETIME* creation, FILETIME* access, FILETIME* write) override {
        Entry& e = entries.at(handles_.at(handle));
        if (++e.getCalls == e.failGetOnCall) {
            Fail(kInvalidFunction);
            return false;
        }
        *creation = e.creation;
        *access = e.access;
        *write = e.write;
        return true;
    }

    bool SetTimes(Handle handle, const FILETIME* creation, const FILETIME* access,
                  const FILETIME* write) override {
        Entry& e = entries.at(handles_.at(handle));
        ++e.setCalls;
        if (e.failSet) {
            Fail(kAccessDenied);
            return false;
        }
        if (creation != nullptr) e.creation = *creation;
        if (access != nullptr) e.access = *access;
        if (write != nullptr) e.write = *write;
        return true;
    }

    void Close(Handle handle) override {
        handles_.erase(handle);
        --openCount;
        lastError_ = 0;  // as a real close would, on success
    }

    std::uint32_t LastError() override { return lastError_; }

    WideString ErrorText(std::uint32_t code) override {
        switch (code) {
            case kFileNotFound:
                return WIDE("The file was not found.\r\n");
            case kAccessDenied:
                return WIDE("Access is denied.\r\n");
            case kSharingViolation:
                return WIDE("The file is in use.\r\n");
            default:
                return WIDE("(null)");
        }
    }

  private:
    Handle Fail(std::uint32_t code) {
        lastError_ = code;
        return kInvalidHandle;
    }

    std::map<Handle, WideString> handles_;
    Handle nextHandle_ = 100;
    std::uint32_t lastError_ = 0;
};
