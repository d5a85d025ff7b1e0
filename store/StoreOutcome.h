#pragma once

// What a store operation did, for its caller to report: the store itself never talks to the
// user. A refusal carries the message the user is to be shown.

#include <filesystem>
#include <string>

struct StoreOutcome {
    enum class Status {
        Done,
        NoSuchPortfolio,
        NoSuchBond,
        DuplicateSerial,
        DuplicateName,
        UnstorableText,
        ControlCharacter,    // in a name or a field being entered
        RecordUnfitForBonds, // the portfolio's record read from the file cannot hold bonds
    };
    Status status = Status::Done;
    // Empty when done.
    std::string message;

    bool done() const { return status == Status::Done; }
    explicit operator bool() const { return done(); }

    static StoreOutcome refused(Status status, std::string message) {
        return {status, std::move(message)};
    }
};

// Title of the alert that shows a refusal's message.
inline constexpr const char* kStoreRefusalTitle = "Error";

// What a save of the portfolio file did.
struct SaveOutcome {
    bool saved = true;
    // The file written, or that could not be.
    std::filesystem::path file;
    // Why it could not be written; empty when saved.
    std::string reason;

    explicit operator bool() const { return saved; }
};
